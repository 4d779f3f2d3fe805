// The data sheet's page: header, fuel map, linearisation rows, parameters, comment and footer
// at their fixed places.
#include "print/data_sheet.h"

#include <functional>

#include "data/firmware_table.h"
#include "data/text_file.h"
#include "print/text_metrics.h"
#include "text/date_format.h"
#include "text/point_format.h"

namespace zv {

namespace {

// Places on the page, in 0.01 mm.
constexpr int kFrameLeft = 2000;
constexpr int kFrameTop = 1000;
constexpr int kFrameWidth = 17000;
constexpr int kTitleOffset = 100;
constexpr int kHeaderTop = 1700;
constexpr int kSeparatorMap = 3200;
constexpr int kSeparatorRows = 10000;
constexpr int kSeparatorComment = 17000;
constexpr int kBelowSeparator = 300;
constexpr int kFramePen = 50;
constexpr int kLabelX = 2500;
constexpr int kTextSize = 30;
constexpr int kTitleSize = 50;
// The comment is broken so that it ends inside the frame's right edge.
constexpr int kCommentX = 2800;
constexpr int kCommentRight = kFrameLeft + kFrameWidth - kBelowSeparator;

// German first, English second.
const TextPair kTitle = {"ZEVRIN Datenblatt", "ZEVRIN Data sheet"};
const TextPair kFileLabel = {"Datei:", "File:"};
const TextPair kDateLabel = {"Druckdatum:", "Date of Print:"};
const TextPair kInputLabel = {"Konfiguration Eingänge", "Input configuration"};
const TextPair kInputOnF = {"Lambdaregelung. Lambdasone an Temperatureingang[F]",
                            "Lambda control. O2 sensor on Temperature input[F]"};
const TextPair kInputOnE = {"Lambdaregelung. Lambdasone an Allgemeinem Eingang[E]",
                            "Lambda control. O2 sensor on General purpose input[E]"};
const TextPair kNoLambda = {"Keine Verwendung der Lambdasonde", "No Lambda control"};
const TextPair kLampLabel = {"ShiftLight-Konfiguration", "ShiftLight configuration"};
const TextPair kLampsRpm = {"ShiftLights als Drehzahlschwellenanzeige",
                            "ShiftLights as Rpm level indicators"};
const TextPair kLampsLambda = {"ShiftLights als Lambda-Tendenzanzeige",
                               "ShiftLights as Fuel Ratio (reach/lean) indicators"};
const TextPair kSerialLabel = {"Serien Nr.:", "Serial No.:"};
const char* const kVersionLabel = "Version:";
const char* const kNotConnected = "Device not connected";
const TextPair kMapLabel = {"Kennfeld:", "Fuel Map:"};
const TextPair kRpmLabel = {"U/min", "Rpm"};
const TextPair kThrottleLabel = {"Last %", "Load %"};
const TextPair kActive = {"Aktiv", "Active"};
const TextPair kOff = {"Aus", "Off"};
const TextPair kAddition = {"Addition", "Addition"};
const TextPair kMultiplication = {"Multiplikation", "Multiplication"};
const TextPair kCommentLabel = {"Kommentar:", "Comment:"};

const TextPair kLinNames[5] = {
    {"Drosselklappenpot. Skalierung", "TPS scale map"},
    {"LDR Eingang (ShiftLights)", "LDR Input line data (ShiftLights)"},
    {"Allgemeiner Eingang", "General Purpose Input line data"},
    {"Temperatureingang", "Temperature Input line data"},
    {"Kennlinie Leerlaufsteller", "Idle control line data"},
};

const TextPair kParameterNames[44] = {
    {"Pulse pro U", "Pulses per Rev."},
    {"Max Drehzahl", "Max Rpm"},
    {"UPIntDel", "UPIntDel"},
    {"Lambda 1 Regelung", "Narrow band Lambda Control"},
    {"Digital Ausgang L Funktion", "Digital Output L function"},
    {"Analoger Eingang F als Lambdaeingang", "Analog Input F as Lambda input"},
    {"Analoger Eingang F altern. Funktion", "Analog Input F alternative function"},
    {"Analoger Eingang E als Lambdaeingang", "Analog Input E as Lambda input"},
    {"Analoger Eingang E altern. Funktion", "Analog Input E alternative function"},
    {"LampAsSelect", "LampAsSelect"},
    {"Temp. Eingang Modifizierungsart", "Temp Input type of modification"},
    {"Allg. Eingang Modifizierungsart", "Genral Purpose Input type of modification"},
    {"Leerlaufregelung", "Idle control"},
    {"Leerlaufkontakt", "Idle Contact"},
    {"Vollastkontakt", "Full Contact"},
    {"Grüne Led", "Green Led"},
    {"Gelbe Led", "Yellow Led"},
    {"Rote Led", "Red Led"},
    {"Lambda Trimmen", "Oxygen Trim"},
    {"Lambda Sprungwert", "LambdaJump"},
    {"LambdaInt", "LambdaInt"},
    {"LambdaIntLim", "LambdaIntLim"},
    {"LambdaRotSetIn", "LambdaRotSetIn"},
    {"LambdaPotiLim", "LambdaPotiLim"},
    {"LambdaStartup", "LambdaStartup"},
    {"OutValAtZeroRpm", "OutValAtZeroRpm"},
    {"TpsAccelFact", "TpsAccelFact"},
    {"TpsDecelFact", "TpsDecelFact"},
    {"TpsAccelRetSpeed", "TpsAccelRetSpeed"},
    {"TpsDecelRetSpeed", "TpsDecelRetSpeed"},
    {"MaxOutValue", "MaxOutValue"},
    {"Lambda Breitbandregelung", "WBO2 Control"},
    {"WBO2MessDevice", "WBO2MessDevice"},
    {"WBO2AfrAt0V", "WBO2AfrAt0V"},
    {"WBO2AfrAt5V", "WBO2AfrAt5V"},
    {"dtWBO2AfrOffset", "dtWBO2AfrOffset"},
    {"dtWBO2ControllerKp", "dtWBO2ControllerKp"},
    {"dtWBO2ControllerKi", "dtWBO2ControllerKi"},
    {"dtWBO2ControllerIntLimUp", "dtWBO2ControllerIntLimUp"},
    {"dtWBO2ControllerIntLimDown ", "dtWBO2ControllerIntLimDown"},
    {"dtWBO2StartupCounter", "dtWBO2StartupCounter"},
    {"dtWBO2ErrorDetLimLow ", "dtWBO2ErrorDetLimLow"},
    {"dtWBO2ErrorDetLimHigh", "dtWBO2ErrorDetLimHigh"},
    {"dtWBO2SetErrorOnIntegrator", "dtfWBO2SetErrorOnIntegrator"},
};

// Parameter indexes the sheet treats specially.
enum : int {
    kNarrowBand = 3,
    kTempInAsLambda = 5,
    kGPInAsLambda = 7,
    kLampAsSelect = 9,
    kTempAddMultSel = 10,
    kGpAddMultSel = 11,
    kIdleControl = 12,
};

std::string Number(long long value) {
    return std::to_string(value);
}

std::string Fixed2(double value) {
    return FormatFixed(value, 1, 2);
}

// Collects the drawing commands in page order.
class SheetWriter {
  public:
    explicit SheetWriter(const TDataSheetInput& in) : in_(in), d_(*in.Data), lang_(in.Lang) {}

    TDataSheet Build() {
        sheet_.JobTitle = "Zevrin Data printout";
        const bool german = lang_ == Language::German;
        frameHeight_ = german ? 27000 : 25000;
        Frame();
        Add(kLabelX, kFrameTop + kTitleOffset, kTitle.Pick(lang_), {kTitleSize, true, false});
        Header();
        FuelMap();
        int row = LinRows();
        Parameters(row + 1);
        Comment();
        Footer();
        return std::move(sheet_);
    }

  private:
    const char* T(const TextPair& pair) const { return pair.Pick(lang_); }
    int Detail(int n) const { return d_.Detail[static_cast<std::size_t>(n)]; }

    void Add(int x, int y, std::string text, TSheetFont font) {
        TSheetItem item;
        item.X = x;
        item.Y = y;
        item.Text = std::move(text);
        item.Font = font;
        sheet_.Items.push_back(std::move(item));
    }
    void Bold(int x, int y, std::string text) {
        Add(x, y, std::move(text), {kTextSize, true, false});
    }
    void Plain(int x, int y, std::string text) {
        Add(x, y, std::move(text), {kTextSize, false, false});
    }
    void Progress(int percent) {
        TSheetItem item;
        item.Kind = TSheetItemKind::Progress;
        item.Progress = percent;
        sheet_.Items.push_back(item);
    }
    void Rule(int y) {
        TSheetItem item;
        item.Kind = TSheetItemKind::Line;
        item.X = kFrameLeft;
        item.Y = y;
        item.X2 = kFrameLeft + kFrameWidth;
        item.Y2 = y;
        sheet_.Items.push_back(item);
    }

    void Frame() {
        TSheetItem frame;
        frame.Kind = TSheetItemKind::Frame;
        frame.X = kFrameLeft;
        frame.Y = kFrameTop;
        frame.X2 = kFrameLeft + kFrameWidth;
        frame.Y2 = kFrameTop + frameHeight_;
        frame.PenWidth = kFramePen;
        sheet_.Items.push_back(frame);
        for (int y : {kSeparatorMap, kSeparatorRows, kSeparatorComment, frameHeight_})
            Rule(y);
        Progress(10);
    }

    void Header() {
        const int h = SheetFontHeight(kTextSize);
        const int y0 = kHeaderTop + kTitleOffset;
        const std::string version =
            in_.Connected ? FirmwareName(d_.DeviceData.Firmware) : kNotConnected;
        const std::string serial = in_.Connected ? d_.DeviceData.Ident.SerialNo : kNotConnected;
        Bold(kLabelX, y0, T(kFileLabel));
        Plain(5500, y0, d_.FileName);
        Bold(kLabelX, y0 + h, T(kDateLabel));
        Plain(5500, y0 + h, FormatPrintDateTime(in_.Now, lang_));
        if (in_.Connected) {
            Bold(kLabelX, y0 + 2 * h, kVersionLabel);
            Plain(4500, y0 + 2 * h, version);
        }
        const bool onF = Detail(kTempInAsLambda) >= 1;
        const bool onE = Detail(kGPInAsLambda) >= 1;
        Bold(kLabelX, y0 + 3 * h, T(kInputLabel));
        Plain(5500, y0 + 3 * h, T(onF ? kInputOnF : onE ? kInputOnE : kNoLambda));
        Bold(12000, y0 + 3 * h, T(kSerialLabel));
        Plain(14000, y0 + 3 * h, serial);
        const bool lambdaLamps = Detail(kLampAsSelect) != 0 &&
                                 (Detail(kTempInAsLambda) != 0 || Detail(kGPInAsLambda) != 0);
        Bold(kLabelX, y0 + 4 * h, T(kLampLabel));
        Plain(5500, y0 + 4 * h, T(lambdaLamps ? kLampsLambda : kLampsRpm));
        Bold(12000, y0 + 4 * h, kVersionLabel);
        Plain(14000, y0 + 4 * h, version);
        Progress(20);
    }

    // Row r of a block that starts below a separator: 1.2 font heights per row, cut to whole
    // units (in integers, so that 1.2 x 3 x 125 is 450 and not a binary 449.99...).
    static int RowY(int separator, int r) {
        return separator + kBelowSeparator + 12 * r * SheetFontHeight(kTextSize) / 10;
    }

    void FuelMap() {
        const auto& rpm = d_.Lin[lin::RpmSites];
        const auto& tps = d_.Lin[lin::TpsSites];
        Bold(kLabelX, RowY(kSeparatorMap, 0), T(kMapLabel));
        Plain(2700, RowY(kSeparatorMap, 2), T(kRpmLabel));
        for (int i = 0; i < 16; ++i)
            Plain(15600 - 800 * i, RowY(kSeparatorMap, 2),
                  Number(rpm[std::size_t(i)] * 10000 / 255));
        Plain(2300, RowY(kSeparatorMap, 3), T(kThrottleLabel));
        for (int j = 0; j < 16; ++j) {
            const int y = RowY(kSeparatorMap, 4 + j);
            Bold(kLabelX, y, Number(tps[std::size_t(15 - j)] * 100 / 255));
            for (int i = 0; i < 16; ++i)
                Plain(3600 + 800 * i, y, Number(d_.Map[std::size_t(j)][std::size_t(i)]));
        }
        Progress(30);
    }

    void LinRow(int r, int row, const std::string& unit,
                const std::function<std::string(int)>& value) {
        const int y = RowY(kSeparatorRows, r);
        Bold(kLabelX, y, std::string(T(kLinNames[row])) + ":");
        for (int i = 0; i < 16; ++i)
            Plain(17300 - 620 * i, y, value(d_.Lin[std::size_t(row)][std::size_t(i)]));
        if (!unit.empty())
            Plain(18000, y, unit);
    }

    // A correction curve adds percent or multiplies by a factor, as its parameter says.
    void CorrectionRow(int r, int row, bool adds) {
        if (adds) {
            LinRow(r, row, "[%]", [](int b) { return Number(b * 100 / 255); });
        } else {
            LinRow(r, row, "[F]", [](int b) { return Fixed2(3.0 * b / 191.0 + 1.0); });
        }
    }

    // Returns the row after the last printed one.
    int LinRows() {
        int r = 0;
        const auto plain = [](int b) { return Number(b); };
        LinRow(r++, lin::TpsScale, "", plain);
        LinRow(r++, lin::FotoControl, "", plain);
        if (Detail(kGPInAsLambda) == 0)
            CorrectionRow(r++, lin::GeneralPurposeControl, Detail(kGpAddMultSel) != 0);
        if (Detail(kTempInAsLambda) == 0)
            CorrectionRow(r++, lin::TempControl, Detail(kTempAddMultSel) != 0);
        LinRow(r++, lin::IdleControl, "[%]", [](int b) { return Number(b * 200 / 255 - 100); });
        Progress(50);
        return r;
    }

    std::string ParameterValue(int n) const {
        const int v = Detail(n);
        switch (n) {
            case kNarrowBand:
            case kIdleControl:
                return T(v != 0 ? kActive : kOff);
            case kTempAddMultSel:
            case kGpAddMultSel:
                return T(v != 0 ? kAddition : kMultiplication);
            default:
                return Number(v);
        }
    }

    void Parameters(int r) {
        for (int n = 0; n < 44; ++n) {
            if (n == 1 || n == 2 || n == kTempInAsLambda || n == kGPInAsLambda ||
                n == kLampAsSelect)
                continue;
            if (n == kNarrowBand && Detail(kTempInAsLambda) < 1 && Detail(kGPInAsLambda) < 1)
                continue;
            const int y = RowY(kSeparatorRows, r++);
            Bold(kLabelX, y, std::string(T(kParameterNames[n])) + ":");
            Plain(8700, y, ParameterValue(n));
        }
        Progress(70);
    }

    void Comment() {
        Bold(kLabelX, kSeparatorComment + kBelowSeparator, T(kCommentLabel));
        const int em = SheetFontHeight(kTextSize);
        const int pitch = 10 * kTextSize;
        int y = kSeparatorComment + 800;
        for (const auto& line : in_.Comment) {
            for (auto& piece : WrapWords(line, kCommentRight - kCommentX, em)) {
                // Lines that would run into the footer are left off rather than printed over it.
                if (y + em > frameHeight_)
                    return;
                Plain(kCommentX, y, std::move(piece));
                y += pitch;
            }
        }
    }

    void Footer() {
        const int y1 = frameHeight_ + kBelowSeparator;
        Add(2500, y1, "ZEVRIN Control", {50, false, true});
        Add(6000, y1, "V3.28#00", {50, false, false});
        Add(16900, y1 - 280, "Brenvik", {80, true, false});
        Add(16930, y1 + 310, "REDIVIRUDO", {35, false, false});
        Progress(100);
    }

    const TDataSheetInput& in_;
    const TZVDataClass& d_;
    Language lang_;
    TDataSheet sheet_;
    int frameHeight_ = 27000;
};

}  // namespace

int SheetFontHeight(int size) {
    return (size * 300 + 36) / 72;
}

bool UnitCountsAsConnected(int linkState) {
    return (linkState >= 5 && linkState <= 37) || linkState >= 40;
}

TDataSheet BuildDataSheet(const TDataSheetInput& input) {
    return SheetWriter(input).Build();
}

std::string DataSheetPdfPath(const std::string& dataFile, const std::string& folder) {
    if (dataFile.empty())
        return JoinPath(folder, "Zevrin data sheet.pdf");
    std::string name = dataFile.substr(FolderOf(dataFile).size());
    while (!name.empty() && (name.front() == '/' || name.front() == '\\'))
        name.erase(0, 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return JoinPath(FolderOf(dataFile), name + " data sheet.pdf");
}

const TextPair& DataSheetPdfWritten() {
    static const TextPair text = {
        "Kein Drucker vorhanden. Das Datenblatt wurde als PDF gespeichert:\r\n%s\r\n\r\nJetzt "
        "öffnen?",
        "No printer is installed. The data sheet was saved as a PDF file:\r\n%s\r\n\r\nOpen it "
        "now?"};
    return text;
}

const TextPair& DataSheetPdfFailed() {
    static const TextPair text = {"Das Datenblatt konnte nicht gespeichert werden:\r\n%s",
                                  "The data sheet could not be saved:\r\n%s"};
    return text;
}

}  // namespace zv
