// The data sheet: header, fuel map, linearisation rows, parameters and comment, flowed down the
// printable area; the footer closes every page.
#include "print/data_sheet.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "data/firmware_table.h"
#include "data/text_file.h"
#include "print/sheet_flow.h"
#include "print/text_metrics.h"
#include "text/item_names.h"
#include "text/date_format.h"
#include "text/point_format.h"

namespace zv {

namespace {

// Gaps in 0.01 mm: between a label and its value, and between the header's two blocks.
constexpr int kGap = 300;
constexpr int kBlockGap = 800;
constexpr int kCommentIndent = 300;
constexpr int kColumns = 16;

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

// Parameter indexes the sheet treats specially.
enum : int {
    kNarrowBand = 3,
    kTempInAsLambda = 5,
    kGPInAsLambda = 7,
    kLampAsSelect = 9,
    kTempAddMultSel = 10,
    kGpAddMultSel = 11,
    kIdleControl = 12,
    kLambdaRef = 18,
};

std::string Number(long long value) {
    return std::to_string(value);
}

std::string Fixed2(double value) {
    return FormatFixed(value, 1, 2);
}

const TSheetFont kBody = {kSheetBodyPoints, false, false};
const TSheetFont kBodyBold = {kSheetBodyPoints, true, false};
const TSheetFont kHeading = {kSheetHeadingPoints, true, false};
const TSheetFont kTitleFont = {kSheetTitlePoints, true, false};

int Width(const std::string& text, const TSheetFont& font) {
    return TextWidth(text, SheetEm(font.Points), font.Bold);
}

struct TPair {
    std::string Label;
    std::string Value;
};

int WidestLabel(const std::vector<TPair>& pairs) {
    int w = 0;
    for (const auto& p : pairs)
        w = std::max(w, Width(p.Label, kBodyBold));
    return w;
}

int WidestValue(const std::vector<TPair>& pairs) {
    int w = 0;
    for (const auto& p : pairs)
        w = std::max(w, Width(p.Value, kBody));
    return w;
}

// Collects the drawing commands in page order.
class SheetWriter {
  public:
    explicit SheetWriter(const TDataSheetInput& in) : in_(in), d_(*in.Data), lang_(in.Lang) {}

    TDataSheet Build() {
        sheet_.JobTitle = "Zevrin Data printout";
        sheet_.PageWidth = in_.PageWidth;
        sheet_.PageHeight = in_.PageHeight;
        SheetFlow flow(sheet_, [this](SheetFlow& f) { Furnish(f); });
        flow.Progress(10);
        Header(flow);
        flow.Rule();
        FuelMap(flow);
        flow.Rule();
        LinRows(flow);
        flow.Skip(kSheetBodyPoints);
        Parameters(flow);
        flow.Rule();
        Comment(flow);
        flow.Progress(100);
        return std::move(sheet_);
    }

  private:
    const char* T(const TextPair& pair) const { return pair.Pick(lang_); }
    int Detail(int n) const { return d_.Detail[static_cast<std::size_t>(n)]; }

    // Every page: frame, footer and the title, so that a second page is known for what it is.
    void Furnish(SheetFlow& f) {
        f.Frame();
        Footer(f);
        f.Text(f.Left(), f.Row(kSheetTitlePoints), T(kTitle), kTitleFont);
    }

    void Footer(SheetFlow& f) {
        const TSheetFont name = {12, false, true};
        const TSheetFont version = {12, false, false};
        const TSheetFont maker = {18, true, false};
        const TSheetFont brand = {kSheetBodyPoints, false, false};
        const int y = f.FooterRule() + 400;
        f.Text(f.Left(), y, "ZEVRIN Control", name);
        f.Text(f.Left() + Width("ZEVRIN Control", name) + 1000, y, "V3.28#00", version);
        const int makerY = f.FooterRule() + 200;
        f.Text(f.Right(), makerY, "Brenvik", maker, TSheetAlign::Right);
        f.Text(f.Right(), makerY + SheetEm(maker.Points), "REDIVIRUDO", brand, TSheetAlign::Right);
    }

    // Label and value pairs down the page; the value column starts after the widest label.
    void Pairs(SheetFlow& f, const std::vector<TPair>& pairs, int x, int valueX) {
        for (const auto& p : pairs) {
            const int y = f.Row(kSheetBodyPoints);
            f.Text(x, y, p.Label, kBodyBold);
            f.Text(valueX, y, p.Value, kBody);
        }
    }

    // The file name is a full path and may be wider than the page: it is broken, never cut.
    void FileRow(SheetFlow& f, int valueX) {
        const auto pieces =
            WrapWords(d_.FileName, f.Right() - valueX, SheetEm(kSheetBodyPoints));
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const int y = f.Row(kSheetBodyPoints);
            if (k == 0)
                f.Text(f.Left(), y, T(kFileLabel), kBodyBold);
            f.Text(valueX, y, pieces[k], kBody);
        }
    }

    void Header(SheetFlow& f) {
        const std::string version =
            in_.Connected ? FirmwareName(d_.DeviceData.Firmware) : kNotConnected;
        const std::string serial = in_.Connected ? d_.DeviceData.Ident.SerialNo : kNotConnected;
        const bool onF = Detail(kTempInAsLambda) >= 1;
        const bool onE = Detail(kGPInAsLambda) >= 1;
        const bool lambdaLamps = Detail(kLampAsSelect) != 0 &&
                                 (Detail(kTempInAsLambda) != 0 || Detail(kGPInAsLambda) != 0);
        std::vector<TPair> top = {{T(kDateLabel), FormatPrintDateTime(in_.Now, lang_)}};
        if (in_.Connected)
            top.push_back({kVersionLabel, version});
        const std::vector<TPair> config = {
            {T(kInputLabel), T(onF ? kInputOnF : onE ? kInputOnE : kNoLambda)},
            {T(kLampLabel), T(lambdaLamps ? kLampsLambda : kLampsRpm)}};
        const std::vector<TPair> unit = {{T(kSerialLabel), serial}, {kVersionLabel, version}};

        // The unit's serial number and version stand beside the configuration where the page is
        // wide enough, else below it.
        int labels = std::max({Width(T(kFileLabel), kBodyBold), WidestLabel(top),
                               WidestLabel(config)});
        const int unitLabels = WidestLabel(unit);
        const int unitX = f.Right() - (unitLabels + kGap + WidestValue(unit));
        const bool beside = f.Left() + labels + kGap + WidestValue(config) + kBlockGap <= unitX;
        if (!beside)
            labels = std::max(labels, unitLabels);
        const int valueX = f.Left() + labels + kGap;

        FileRow(f, valueX);
        Pairs(f, top, f.Left(), valueX);
        if (beside) {
            f.Keep(2, kSheetBodyPoints);
            for (std::size_t k = 0; k < config.size(); ++k) {
                const int y = f.Row(kSheetBodyPoints);
                f.Text(f.Left(), y, config[k].Label, kBodyBold);
                f.Text(valueX, y, config[k].Value, kBody);
                f.Text(unitX, y, unit[k].Label, kBodyBold);
                f.Text(unitX + unitLabels + kGap, y, unit[k].Value, kBody);
            }
        } else {
            Pairs(f, config, f.Left(), valueX);
            Pairs(f, unit, f.Left(), valueX);
        }
        f.Progress(20);
    }

    // The map's sixteen columns, shared by the linearisation rows below it: the right edge of
    // column c (0 leftmost) after a label column wide enough for the row heads.
    int ColumnRight(const SheetFlow& f, int c) const {
        const int pitch = (f.Right() - f.Left() - labelColumn_) / kColumns;
        return f.Left() + labelColumn_ + (c + 1) * pitch;
    }

    void FuelMap(SheetFlow& f) {
        const auto& rpm = d_.Lin[lin::RpmSites];
        const auto& tps = d_.Lin[lin::TpsSites];
        labelColumn_ = std::max({Width(T(kRpmLabel), kBody), Width(T(kThrottleLabel), kBody),
                                 Width("100", kBodyBold)}) +
                       kGap;
        // The map is read as one table: its heading, site rows and 16 rows stay on one page.
        f.Keep(1, kSheetHeadingPoints);
        f.Text(f.Left(), f.Row(kSheetHeadingPoints), T(kMapLabel), kHeading);
        f.Keep(2 + kColumns, kSheetBodyPoints);
        int y = f.Row(kSheetBodyPoints);
        f.Text(f.Left(), y, T(kRpmLabel), kBody);
        // Engine-speed sites are stored highest first: the highest stands rightmost.
        for (int c = 0; c < kColumns; ++c)
            f.Text(ColumnRight(f, c), y, Number(rpm[std::size_t(15 - c)] * 10000 / 255), kBody,
                   TSheetAlign::Right);
        f.Text(f.Left(), f.Row(kSheetBodyPoints), T(kThrottleLabel), kBody);
        for (int j = 0; j < kColumns; ++j) {
            y = f.Row(kSheetBodyPoints);
            f.Text(f.Left() + labelColumn_ - kGap, y, Number(tps[std::size_t(15 - j)] * 100 / 255),
                   kBodyBold, TSheetAlign::Right);
            for (int c = 0; c < kColumns; ++c)
                f.Text(ColumnRight(f, c), y, Number(d_.Map[std::size_t(j)][std::size_t(c)]), kBody,
                       TSheetAlign::Right);
        }
        f.Progress(30);
    }

    // A row's name above its sixteen values, which line up under the map's columns; the
    // stored first byte stands rightmost.
    void LinRow(SheetFlow& f, int row, const std::string& unit,
                const std::function<std::string(int)>& value) {
        f.Keep(2, kSheetBodyPoints);
        f.Text(f.Left(), f.Row(kSheetBodyPoints), std::string(T(CurveName(row))) + ":", kBodyBold);
        const int y = f.Row(kSheetBodyPoints);
        if (!unit.empty())
            f.Text(f.Left(), y, unit, kBody);
        for (int c = 0; c < kColumns; ++c)
            f.Text(ColumnRight(f, c), y, value(d_.Lin[std::size_t(row)][std::size_t(15 - c)]),
                   kBody, TSheetAlign::Right);
    }

    // A correction curve adds percent or multiplies by a factor, as its parameter says.
    void CorrectionRow(SheetFlow& f, int row, bool adds) {
        if (adds) {
            LinRow(f, row, "[%]", [](int b) { return Number(b * 100 / 255); });
        } else {
            LinRow(f, row, "[F]", [](int b) { return Fixed2(3.0 * b / 191.0 + 1.0); });
        }
    }

    void LinRows(SheetFlow& f) {
        const auto plain = [](int b) { return Number(b); };
        LinRow(f, lin::TpsScale, "", plain);
        LinRow(f, lin::FotoControl, "", plain);
        if (Detail(kGPInAsLambda) == 0)
            CorrectionRow(f, lin::GeneralPurposeControl, Detail(kGpAddMultSel) != 0);
        if (Detail(kTempInAsLambda) == 0)
            CorrectionRow(f, lin::TempControl, Detail(kTempAddMultSel) != 0);
        LinRow(f, lin::IdleControl, "[%]", [](int b) { return Number(b * 200 / 255 - 100); });
        f.Progress(50);
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
            case kLambdaRef:
                // From the trim firmware on the byte is a signed trim, shown as its page shows it.
                if (d_.DeviceData.Firmware >= kFirstTrimFirmware)
                    return Number(static_cast<std::int8_t>(v));
                return Number(v);
            default:
                return Number(v);
        }
    }

    std::vector<TPair> PrintedParameters() const {
        std::vector<TPair> pairs;
        for (int n = 0; n < 44; ++n) {
            if (n == 1 || n == 2 || n == kTempInAsLambda || n == kGPInAsLambda ||
                n == kLampAsSelect)
                continue;
            if (n == kNarrowBand && Detail(kTempInAsLambda) < 1 && Detail(kGPInAsLambda) < 1)
                continue;
            pairs.push_back({std::string(T(ParameterName(n))) + ":", ParameterValue(n)});
        }
        return pairs;
    }

    // Two columns, read down the left one first, where the page is wide enough; else one.
    void Parameters(SheetFlow& f) {
        const std::vector<TPair> all = PrintedParameters();
        const std::size_t half = (all.size() + 1) / 2;
        const std::vector<TPair> first(all.begin(), all.begin() + std::ptrdiff_t(half));
        const std::vector<TPair> second(all.begin() + std::ptrdiff_t(half), all.end());
        const auto width = [](const std::vector<TPair>& pairs) {
            return WidestLabel(pairs) + kGap + WidestValue(pairs);
        };
        const int secondX = f.Left() + width(first) + kBlockGap;
        if (secondX + width(second) > f.Right()) {
            Pairs(f, all, f.Left(), f.Left() + WidestLabel(all) + kGap);
            f.Progress(70);
            return;
        }
        const int firstValueX = f.Left() + WidestLabel(first) + kGap;
        const int secondValueX = secondX + WidestLabel(second) + kGap;
        for (std::size_t k = 0; k < half; ++k) {
            const int y = f.Row(kSheetBodyPoints);
            f.Text(f.Left(), y, first[k].Label, kBodyBold);
            f.Text(firstValueX, y, first[k].Value, kBody);
            if (k < second.size()) {
                f.Text(secondX, y, second[k].Label, kBodyBold);
                f.Text(secondValueX, y, second[k].Value, kBody);
            }
        }
        f.Progress(70);
    }

    // Long lines are broken at words; what does not fit continues on the next page under the
    // label again.
    void Comment(SheetFlow& f) {
        const auto label = [&] {
            f.Text(f.Left(), f.Row(kSheetHeadingPoints), T(kCommentLabel), kHeading);
        };
        f.Keep(2, kSheetHeadingPoints);
        label();
        const int x = f.Left() + kCommentIndent;
        const int em = SheetEm(kSheetBodyPoints);
        for (const auto& line : in_.Comment) {
            for (auto& piece : WrapWords(line, f.Right() - x, em)) {
                if (!f.Fits(1, kSheetBodyPoints)) {
                    f.NewPage();
                    label();
                }
                const int y = f.Row(kSheetBodyPoints);
                if (!piece.empty())
                    f.Text(x, y, std::move(piece), kBody);
            }
        }
    }

    const TDataSheetInput& in_;
    const TZVDataClass& d_;
    Language lang_;
    TDataSheet sheet_;
    int labelColumn_ = 0;
};

}  // namespace

int SheetEm(int points) {
    return (points * 2540 + 36) / 72;
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
