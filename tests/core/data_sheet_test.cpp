// The data sheet's page: which rows and parameters print, their values and places.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <tuple>

#include "german_locale.h"
#include "print/data_sheet.h"
#include "print/text_metrics.h"

namespace zv {
namespace {

class DataSheet : public ::testing::Test {
  protected:
    DataSheet() {
        std::tm tm{};
        tm.tm_year = 2024 - 1900;
        tm.tm_mon = 2;
        tm.tm_mday = 7;
        tm.tm_hour = 14;
        tm.tm_min = 5;
        tm.tm_isdst = -1;
        in.Now = std::mktime(&tm);
        in.Data = &data;
        data.FileName = "car.zvt";
    }

    TDataSheet Build() { return BuildDataSheet(in); }

    // The sheet's texts row by row: texts on one page at one height, left to right.
    struct TLine {
        int Page;
        int Y;
        std::vector<std::string> Texts;
    };
    std::vector<TLine> Lines() {
        std::vector<TSheetItem> texts;
        for (const auto& item : Build().Items) {
            if (item.Kind == TSheetItemKind::Text)
                texts.push_back(item);
        }
        std::stable_sort(texts.begin(), texts.end(), [](const TSheetItem& a, const TSheetItem& b) {
            return std::tie(a.Page, a.Y, a.X) < std::tie(b.Page, b.Y, b.X);
        });
        std::vector<TLine> lines;
        for (const auto& t : texts) {
            if (lines.empty() || lines.back().Page != t.Page || lines.back().Y != t.Y)
                lines.push_back({t.Page, t.Y, {}});
            lines.back().Texts.push_back(t.Text);
        }
        return lines;
    }
    // The line that begins with this text, and the one after it.
    std::vector<std::string> LineOf(const std::string& first, int after = 0) {
        const auto lines = Lines();
        for (std::size_t k = 0; k < lines.size(); ++k) {
            if (lines[k].Texts.front() == first && k + std::size_t(after) < lines.size())
                return lines[k + std::size_t(after)].Texts;
        }
        return {"(no line " + first + ")"};
    }
    // The text that follows this one on its line.
    std::string After(const std::string& label) {
        for (const auto& line : Lines()) {
            for (std::size_t k = 0; k + 1 < line.Texts.size(); ++k) {
                if (line.Texts[k] == label)
                    return line.Texts[k + 1];
            }
        }
        return "(nothing after " + label + ")";
    }
    bool Printed(const std::string& text) {
        const auto items = Build().Items;
        return std::any_of(items.begin(), items.end(),
                           [&](const TSheetItem& i) { return i.Text == text; });
    }
    // Index of a line beginning with this text, in reading order; -1 when there is none.
    int IndexOf(const std::string& first) {
        const auto lines = Lines();
        for (std::size_t k = 0; k < lines.size(); ++k) {
            if (lines[k].Texts.front() == first)
                return int(k);
        }
        return -1;
    }

    TZVDataClass data;
    TDataSheetInput in;
};

std::vector<std::string> Zeros(int n) {
    return std::vector<std::string>(std::size_t(n), "0");
}

TEST_F(DataSheet, MapSitesAndCurvesPrintInTheirUnits) {
    data.Map[0][0] = 255;
    data.Map[0][15] = 7;
    data.Lin[lin::TpsSites][15] = 255;  // the lowest throttle site heads map row 0
    data.Lin[lin::TpsSites][0] = 128;   // the highest heads the last row: 128 x 100 div 255
    data.Lin[lin::RpmSites][0] = 255;   // the highest engine-speed site stands rightmost
    data.Lin[lin::RpmSites][15] = 128;  // the lowest leftmost: 128 x 10000 div 255
    data.Lin[lin::IdleControl][0] = 0;
    data.Lin[lin::IdleControl][1] = 255;
    data.Lin[lin::IdleControl][2] = 128;  // 128 x 200 div 255 - 100
    data.Detail[10] = 0;  // the temperature curve multiplies
    data.Lin[lin::TempControl][0] = 191;
    data.Lin[lin::TempControl][1] = 0;
    data.Lin[lin::TempControl][2] = 100;  // 3 x 100 / 191 + 1 = 2.5706...
    data.Detail[11] = 1;  // the general purpose curve adds
    data.Lin[lin::GeneralPurposeControl][0] = 255;
    data.Lin[lin::GeneralPurposeControl][1] = 128;  // 50.19...

    auto rpm = Zeros(14);
    rpm.insert(rpm.begin(), {"Rpm", "5019"});
    rpm.push_back("10000");
    EXPECT_EQ(LineOf("Rpm"), rpm);
    auto row0 = Zeros(14);
    row0.insert(row0.begin(), {"100", "255"});
    row0.push_back("7");
    EXPECT_EQ(LineOf("Load %", 1), row0) << "throttle site, then the map's first row";
    EXPECT_EQ(LineOf("Load %", 16).front(), "50");
    EXPECT_EQ(LineOf("Load %", 16).size(), 17u);

    // Below the map: TPS scale, LDR, general purpose, temperature, idle, each name above its
    // values, the stored first byte rightmost.
    const auto gp = LineOf("General Purpose Input line data:", 1);
    ASSERT_EQ(gp.size(), 17u);
    EXPECT_EQ(gp[0], "[%]");
    EXPECT_EQ(gp[16], "100");
    EXPECT_EQ(gp[15], "50");
    const auto temp = LineOf("Temperature Input line data:", 1);
    ASSERT_EQ(temp.size(), 17u);
    EXPECT_EQ(temp[0], "[F]");
    EXPECT_EQ(temp[16], "4.00");
    EXPECT_EQ(temp[15], "1.00");
    EXPECT_EQ(temp[14], "2.57");
    const auto idle = LineOf("Idle control line data:", 1);
    ASSERT_EQ(idle.size(), 17u);
    EXPECT_EQ(idle[16], "-100");
    EXPECT_EQ(idle[15], "100");
    EXPECT_EQ(idle[14], "0");
    EXPECT_EQ(LineOf("TPS scale map:", 1), Zeros(16)) << "no unit on the TPS scale";

    const int tps = IndexOf("TPS scale map:");
    EXPECT_GT(tps, IndexOf("Load %") + 16);
    EXPECT_EQ(IndexOf("LDR Input line data (ShiftLights):"), tps + 2);
    EXPECT_EQ(IndexOf("General Purpose Input line data:"), tps + 4);
    EXPECT_EQ(IndexOf("Temperature Input line data:"), tps + 6);
    EXPECT_EQ(IndexOf("Idle control line data:"), tps + 8);
    const auto lines = Lines();
    const auto pulses = std::size_t(IndexOf("Pulses per Rev.:"));
    EXPECT_EQ(pulses, std::size_t(tps + 10));
    EXPECT_GT(lines[pulses].Y - lines[pulses - 1].Y, lines[pulses - 1].Y - lines[pulses - 2].Y)
        << "one empty row before the parameters";
}

TEST_F(DataSheet, LambdaOnInputEDropsItsCurveAndNamesTheInput) {
    EXPECT_TRUE(Printed("General Purpose Input line data:"));
    EXPECT_FALSE(Printed("Narrow band Lambda Control:")) << "no lambda input: no narrowband line";
    EXPECT_EQ(After("Input configuration"), "No Lambda control");

    data.Detail[7] = 1;
    EXPECT_FALSE(Printed("General Purpose Input line data:"));
    EXPECT_TRUE(Printed("Temperature Input line data:"));
    EXPECT_FALSE(Printed("Analog Input E as Lambda input:"));
    EXPECT_EQ(After("Input configuration"),
              "Lambda control. O2 sensor on General purpose input[E]");
    EXPECT_EQ(After("Narrow band Lambda Control:"), "Off");
    EXPECT_EQ(After("ShiftLight configuration"), "ShiftLights as Rpm level indicators");
    data.Detail[9] = 1;
    EXPECT_EQ(After("ShiftLight configuration"),
              "ShiftLights as Fuel Ratio (reach/lean) indicators");

    data.Detail[5] = 1;  // input F takes precedence in the header
    EXPECT_EQ(After("Input configuration"), "Lambda control. O2 sensor on Temperature input[F]");
}

TEST_F(DataSheet, ParametersPrintTheirWordsAndNumbersInOrder) {
    data.Detail[5] = 1;  // a lambda input, so that the narrowband line prints
    data.Detail[3] = 1;
    data.Detail[12] = 1;
    data.Detail[10] = 1;
    data.Detail[11] = 0;
    data.Detail[39] = 15;
    data.Detail[43] = 1;
    in.Lang = Language::German;
    // Name and value pairs in reading order: down the first column, then the second.
    std::vector<TSheetItem> labels;
    const auto items = Build().Items;
    const int first = IndexOf("Pulse pro U:");
    ASSERT_GE(first, 0);
    const int top = Lines()[std::size_t(first)].Y;
    for (const auto& item : items) {
        if (item.Font.Bold && item.Y >= top && item.Text.back() == ':' &&
            item.Text != "Kommentar:")
            labels.push_back(item);
    }
    std::stable_sort(labels.begin(), labels.end(), [](const TSheetItem& a, const TSheetItem& b) {
        return std::tie(a.Page, a.X, a.Y) < std::tie(b.Page, b.X, b.Y);
    });
    std::vector<std::string> names;
    for (const auto& l : labels)
        names.push_back(l.Text);
    const std::vector<std::string> expected = {
        "Pulse pro U:", "Lambda 1 Regelung:", "Digital Ausgang L Funktion:",
        "Analoger Eingang F altern. Funktion:", "Analoger Eingang E altern. Funktion:",
        "Temp. Eingang Modifizierungsart:", "Allg. Eingang Modifizierungsart:",
        "Leerlaufregelung:", "Leerlaufkontakt:", "Vollastkontakt:", "Grüne Led:", "Gelbe Led:",
        "Rote Led:", "Lambda Trimmen:", "Lambda Sprungwert:", "LambdaInt:", "LambdaIntLim:",
        "LambdaRotSetIn:", "LambdaPotiLim:", "LambdaStartup:", "OutValAtZeroRpm:",
        "TpsAccelFact:", "TpsDecelFact:", "TpsAccelRetSpeed:", "TpsDecelRetSpeed:",
        "MaxOutValue:", "Lambda Breitbandregelung:", "WBO2MessDevice:", "WBO2AfrAt0V:",
        "WBO2AfrAt5V:", "dtWBO2AfrOffset:", "dtWBO2ControllerKp:", "dtWBO2ControllerKi:",
        "dtWBO2ControllerIntLimUp:", "dtWBO2ControllerIntLimDown :", "dtWBO2StartupCounter:",
        "dtWBO2ErrorDetLimLow :", "dtWBO2ErrorDetLimHigh:", "dtWBO2SetErrorOnIntegrator:"};
    EXPECT_EQ(names, expected) << "44 parameters less 1, 2, 5, 7 and 9";
    EXPECT_EQ(After("Pulse pro U:"), "0");
    EXPECT_EQ(After("Lambda 1 Regelung:"), "Aktiv");
    EXPECT_EQ(After("Temp. Eingang Modifizierungsart:"), "Addition");
    EXPECT_EQ(After("Allg. Eingang Modifizierungsart:"), "Multiplikation");
    EXPECT_EQ(After("Leerlaufregelung:"), "Aktiv");
    EXPECT_EQ(After("dtWBO2ControllerIntLimDown :"), "15");
    EXPECT_EQ(After("dtWBO2SetErrorOnIntegrator:"), "1");
}

// The narrowband reference byte is a signed trim from firmware index 14 on, a plain byte before.
TEST_F(DataSheet, TheTrimPrintsSignedFromTheTrimFirmwareOn) {
    data.Detail[18] = 251;
    data.DeviceData.Firmware = 13;
    EXPECT_EQ(After("Oxygen Trim:"), "251");
    data.DeviceData.Firmware = 14;
    EXPECT_EQ(After("Oxygen Trim:"), "-5");
    data.Detail[18] = 246;
    EXPECT_EQ(After("Oxygen Trim:"), "-10");
    data.Detail[18] = 10;
    EXPECT_EQ(After("Oxygen Trim:"), "10");
    data.DeviceData.Firmware = 39;
    data.Detail[18] = 255;
    EXPECT_EQ(After("Oxygen Trim:"), "-1");
}

TEST_F(DataSheet, UnitFieldsWhileConnectedAndBothLanguages) {
    EXPECT_FALSE(UnitCountsAsConnected(4));
    EXPECT_TRUE(UnitCountsAsConnected(5));
    EXPECT_TRUE(UnitCountsAsConnected(37));
    EXPECT_FALSE(UnitCountsAsConnected(38));
    EXPECT_FALSE(UnitCountsAsConnected(39));
    EXPECT_TRUE(UnitCountsAsConnected(40));

    EXPECT_EQ(LineOf("ZEVRIN Data sheet", 1), (std::vector<std::string>{"File:", "car.zvt"}));
    EXPECT_EQ(LineOf("ZEVRIN Data sheet", 2),
              (std::vector<std::string>{"Date of Print:", "03/07/2024  02:05p"}));
    EXPECT_EQ(After("Serial No.:"), "Device not connected");
    EXPECT_EQ(After("Version:"), "Device not connected");
    EXPECT_EQ(LineOf("Version:").front(), "(no line Version:)") << "no version row offline";

    in.Connected = true;
    data.DeviceData.Firmware = 30;
    data.DeviceData.Ident.SerialNo = "00000447";
    EXPECT_EQ(LineOf("ZEVRIN Data sheet", 3),
              (std::vector<std::string>{"Version:", "V1.03 C"}));
    EXPECT_EQ(After("Serial No.:"), "00000447");
    EXPECT_EQ(IndexOf("Input configuration"), IndexOf("ZEVRIN Data sheet") + 4);
    EXPECT_EQ(IndexOf("ShiftLight configuration"), IndexOf("ZEVRIN Data sheet") + 5);

    in.Lang = Language::German;
    const auto lines = Lines();
    EXPECT_EQ(lines.front().Texts, (std::vector<std::string>{"ZEVRIN Datenblatt"}));
    EXPECT_EQ(After("Druckdatum:"), "07.03.2024  14:05");
    EXPECT_EQ(After("Serien Nr.:"), "00000447");
    EXPECT_EQ(After("Kennfeld:"), "(nothing after Kennfeld:)");
    EXPECT_EQ(LineOf("U/min").size(), 17u);
    EXPECT_TRUE(Printed("Kommentar:"));
    for (const char* footer : {"ZEVRIN Control", "V3.28#00", "Brenvik", "REDIVIRUDO"})
        EXPECT_TRUE(Printed(footer)) << footer;
    EXPECT_EQ(Build().Items.back().Progress, 100);
}

// Every text of every page lies inside the printable area and clear of every other text, body
// text at least 8 pt and headings larger: on A4 and on US Letter, in both languages.
TEST_F(DataSheet, EveryRowLiesInsideThePrintableAreaAndIsReadable) {
    in.Connected = true;
    data.DeviceData.Firmware = 30;
    data.DeviceData.Ident.SerialNo = "00000447";
    data.FileName = "/home/tuner/Kunden/Mustermann/Golf 2 GTI 16V/Abstimmung Prüfstand Juli.zvt";
    for (int k = 0; k < 44; ++k)
        data.Detail[std::size_t(k)] = 255;
    data.Detail[5] = 0;
    data.Detail[7] = 1;
    for (auto& row : data.Map)
        row.fill(255);
    data.Lin[lin::RpmSites].fill(255);
    in.Comment.assign(3, std::string(200, 'W'));
    struct TPage {
        int Width, Height;
    };
    for (const TPage page : {TPage{19000, 27700}, TPage{20900, 26900}}) {
        for (const Language lang : {Language::English, Language::German}) {
            in.Lang = lang;
            in.PageWidth = page.Width;
            in.PageHeight = page.Height;
            const TDataSheet sheet = Build();
            EXPECT_EQ(sheet.PageWidth, page.Width);
            EXPECT_EQ(sheet.PageHeight, page.Height);
            struct TBox {
                int Page, Left, Top, Right, Bottom;
                std::string Text;
            };
            std::vector<TBox> boxes;
            std::vector<std::pair<int, int>> rules;  // page and height of each separator
            int body = 0;
            for (const auto& item : sheet.Items) {
                if (item.Kind != TSheetItemKind::Text) {
                    EXPECT_GE(std::min(item.X, item.X2), 0);
                    EXPECT_LE(std::max(item.X, item.X2), page.Width);
                    EXPECT_LE(std::max(item.Y, item.Y2), page.Height);
                    if (item.Kind == TSheetItemKind::Line)
                        rules.emplace_back(item.Page, item.Y);
                    continue;
                }
                // 8 pt is 8 / 72 inch: 282.2 hundredths of a millimetre.
                const int em = item.Font.Points * 2540 / 72;
                const int w = TextWidth(item.Text, em, item.Font.Bold);
                const int left = item.Align == TSheetAlign::Right ? item.X - w : item.X;
                boxes.push_back({item.Page, left, item.Y, left + w, item.Y + em, item.Text});
                EXPECT_GE(item.Font.Points, 8) << item.Text;
                if (item.Text == "Rpm" || item.Text == "U/min")
                    body = item.Font.Points;
            }
            for (const char* heading : {"Fuel Map:", "Kennfeld:", "Comment:", "Kommentar:",
                                        "ZEVRIN Data sheet", "ZEVRIN Datenblatt"}) {
                for (const auto& item : sheet.Items) {
                    if (item.Text == heading) {
                        EXPECT_GT(item.Font.Points, body) << heading;
                    }
                }
            }
            for (std::size_t a = 0; a < boxes.size(); ++a) {
                const TBox& b = boxes[a];
                EXPECT_GE(b.Left, 0) << b.Text;
                EXPECT_LE(b.Right, page.Width) << b.Text;
                EXPECT_GE(b.Top, 0) << b.Text;
                EXPECT_LE(b.Bottom, page.Height) << b.Text;
                EXPECT_LT(b.Page, sheet.PageCount);
                for (const auto& [rulePage, y] : rules) {
                    EXPECT_FALSE(rulePage == b.Page && b.Top < y && y < b.Bottom)
                        << "a separator runs through \"" << b.Text << "\"";
                }
                for (std::size_t c = a + 1; c < boxes.size(); ++c) {
                    const TBox& o = boxes[c];
                    const bool apart = o.Page != b.Page || o.Left >= b.Right ||
                                       b.Left >= o.Right || o.Top >= b.Bottom ||
                                       b.Top >= o.Bottom;
                    EXPECT_TRUE(apart) << "\"" << b.Text << "\" and \"" << o.Text << "\"";
                }
            }
        }
    }
}

TEST_F(DataSheet, ALongCommentContinuesOnTheNextPageWithEveryLine) {
    for (int k = 1; k <= 41; ++k)
        in.Comment.push_back("line " + std::to_string(k));
    in.Comment[20] = "";
    std::string longLine;
    for (int i = 0; i < 80; ++i)
        longLine += "word" + std::to_string(i) + " ";
    in.Comment[1] = longLine;
    const TDataSheet sheet = Build();
    EXPECT_EQ(sheet.PageCount, 2);

    std::vector<std::string> printed;
    std::vector<int> pages;
    std::string rejoined;
    for (const auto& item : sheet.Items) {
        if (item.Text.rfind("line ", 0) == 0) {
            printed.push_back(item.Text);
            pages.push_back(item.Page);
        }
        if (item.Text.rfind("word", 0) == 0)
            rejoined += item.Text;
    }
    std::vector<std::string> expected;
    for (int k = 1; k <= 41; ++k) {
        if (k != 2 && k != 21)
            expected.push_back("line " + std::to_string(k));
    }
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(pages.front(), 0) << "the comment begins on the first page";
    EXPECT_EQ(pages.back(), 1);
    EXPECT_EQ(rejoined.substr(0, 12), "word0 word1 ");
    EXPECT_NE(rejoined.find("word79"), std::string::npos) << "nothing is lost in the breaks";
    EXPECT_GE(std::count_if(sheet.Items.begin(), sheet.Items.end(),
                            [](const TSheetItem& i) { return i.Text.rfind("word", 0) == 0; }),
              2)
        << "the long line is broken";

    // The second page is known for what it is: title, the comment's label again, footer.
    std::vector<std::string> second;
    for (const auto& item : sheet.Items) {
        if (item.Page == 1 && item.Kind == TSheetItemKind::Text)
            second.push_back(item.Text);
    }
    for (const char* text : {"ZEVRIN Data sheet", "Comment:", "ZEVRIN Control", "Brenvik"})
        EXPECT_NE(std::find(second.begin(), second.end(), text), second.end()) << text;
    EXPECT_EQ(Build().Items.back().Progress, 100);

    in.Comment = {"line 1", "line 2", "line 3"};
    EXPECT_EQ(Build().PageCount, 1) << "a short comment stays on the first page";
}

// Widths in 1/1000 em of the sheet's font (Helvetica's advances): "a" 556, blank 278, "l" 222.
TEST_F(DataSheet, AWordThatFitsExactlyStaysOnTheLine) {
    const int em = 1000;
    // "aa aa" is 556 + 556 + 278 + 556 + 556 = 2502 wide.
    EXPECT_EQ(WrapWords("aa aa", 2502, em), (std::vector<std::string>{"aa aa"}));
    EXPECT_EQ(WrapWords("aa aa", 2501, em), (std::vector<std::string>{"aa", "aa"}));
    // Mid-line: "aa aa al" is 2502 + 278 + 556 + 222 = 3558 wide.
    EXPECT_EQ(WrapWords("aa aa al", 3558, em), (std::vector<std::string>{"aa aa al"}));
    EXPECT_EQ(WrapWords("aa aa al", 3557, em), (std::vector<std::string>{"aa aa", "al"}));
    // A word as wide as the line is kept whole; one a unit wider is cut where the line ends.
    EXPECT_EQ(WrapWords("aaal", 1890, em), (std::vector<std::string>{"aaal"}));
    EXPECT_EQ(WrapWords("aaal", 1889, em), (std::vector<std::string>{"aaa", "l"}));
    // Cut inside a word: the piece that fills the line exactly is kept together.
    EXPECT_EQ(WrapWords("aaaa", 1668, em), (std::vector<std::string>{"aaa", "a"}));
    EXPECT_EQ(WrapWords("aaaa", 1667, em), (std::vector<std::string>{"aa", "aa"}));
    // At the sheet's size 30 (em 125): "aa aa" is 2502 / 8 = 312.75, cut to 312.
    EXPECT_EQ(WrapWords("aa aa", 312, 125), (std::vector<std::string>{"aa aa"}));
    EXPECT_EQ(WrapWords("aa aa", 311, 125), (std::vector<std::string>{"aa", "aa"}));
    // Labels are measured in the bold face: "A" 722 and "b" 611 there, 667 and 556 regular.
    EXPECT_EQ(TextWidth("Ab", em, true), 1333);
    EXPECT_EQ(TextWidth("Ab", em), 1223);
    EXPECT_EQ(TextWidth("r:", em, true), 389 + 333);
}

TEST_F(DataSheet, FactorsKeepThePointUnderAGermanLocale) {
    test::GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale installed";
    data.Detail[10] = 0;  // the temperature curve multiplies
    data.Lin[lin::TempControl][0] = 191;
    data.Lin[lin::TempControl][1] = 0;
    const auto temp = LineOf("Temperature Input line data:", 1);
    ASSERT_EQ(temp.size(), 17u);
    EXPECT_EQ(temp[16], "4.00");
    EXPECT_EQ(temp[15], "1.00");
}

}  // namespace
}  // namespace zv
