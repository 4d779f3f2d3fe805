// The data sheet's page: which rows and parameters print, their values and places.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

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
    // Texts of the sheet at this place.
    std::vector<std::string> At(int x, int y) {
        std::vector<std::string> texts;
        for (const auto& item : Build().Items) {
            if (item.Kind == TSheetItemKind::Text && item.X == x && item.Y == y)
                texts.push_back(item.Text);
        }
        return texts;
    }
    std::string One(int x, int y) {
        const auto texts = At(x, y);
        return texts.size() == 1 ? texts[0] : "(" + std::to_string(texts.size()) + " texts)";
    }
    bool Printed(const std::string& text) {
        const auto items = Build().Items;
        return std::any_of(items.begin(), items.end(),
                           [&](const TSheetItem& i) { return i.Text == text; });
    }
    // Row r below the separator at y: 300 below it, then 1.2 font heights (125 for size 30) per
    // row.
    static int Row(int separator, int r) { return separator + 300 + r * 150; }

    TZVDataClass data;
    TDataSheetInput in;
};

TEST_F(DataSheet, MapSitesAndCurvesPrintInTheirUnits) {
    data.Map[0][0] = 255;
    data.Lin[lin::TpsSites][15] = 255;  // the lowest throttle site heads map row 0
    data.Lin[lin::RpmSites][0] = 255;   // the highest engine-speed site stands rightmost
    data.Lin[lin::IdleControl][0] = 0;
    data.Lin[lin::IdleControl][1] = 255;
    data.Detail[10] = 0;  // the temperature curve multiplies
    data.Lin[lin::TempControl][0] = 191;
    data.Lin[lin::TempControl][1] = 0;
    data.Detail[11] = 1;  // the general purpose curve adds
    data.Lin[lin::GeneralPurposeControl][0] = 255;

    EXPECT_EQ(One(3600, Row(3200, 4)), "255");
    EXPECT_EQ(One(2500, Row(3200, 4)), "100");
    EXPECT_EQ(One(15600, Row(3200, 2)), "10000");
    EXPECT_EQ(One(15600 - 800, Row(3200, 2)), "0");
    // Rows below the second separator: TPS scale, LDR, general purpose, temperature, idle.
    EXPECT_EQ(One(17300, Row(10000, 2)), "100");
    EXPECT_EQ(One(18000, Row(10000, 2)), "[%]");
    EXPECT_EQ(One(17300, Row(10000, 3)), "4.00");
    EXPECT_EQ(One(17300 - 620, Row(10000, 3)), "1.00");
    EXPECT_EQ(One(18000, Row(10000, 3)), "[F]");
    EXPECT_EQ(One(2500, Row(10000, 4)), "Idle control line data:");
    EXPECT_EQ(One(17300, Row(10000, 4)), "-100");
    EXPECT_EQ(One(17300 - 620, Row(10000, 4)), "100");
    // One empty row, then the parameters.
    EXPECT_EQ(One(2500, Row(10000, 6)), "Pulses per Rev.:");
}

TEST_F(DataSheet, LambdaOnInputEDropsItsCurveAndNamesTheInput) {
    EXPECT_TRUE(Printed("General Purpose Input line data:"));
    EXPECT_FALSE(Printed("Narrow band Lambda Control:")) << "no lambda input: no narrowband line";
    EXPECT_EQ(One(5500, 1800 + 3 * 125), "No Lambda control");

    data.Detail[7] = 1;
    EXPECT_FALSE(Printed("General Purpose Input line data:"));
    EXPECT_TRUE(Printed("Temperature Input line data:"));
    EXPECT_FALSE(Printed("Analog Input E as Lambda input:"));
    EXPECT_EQ(One(5500, 1800 + 3 * 125), "Lambda control. O2 sensor on General purpose input[E]");
    EXPECT_EQ(One(2500, Row(10000, 5)), "Pulses per Rev.:") << "four curve rows and an empty one";
    EXPECT_EQ(One(2500, Row(10000, 6)), "Narrow band Lambda Control:");
    EXPECT_EQ(One(8700, Row(10000, 6)), "Off");
    EXPECT_EQ(One(5500, 1800 + 4 * 125), "ShiftLights as Rpm level indicators");
    data.Detail[9] = 1;
    EXPECT_EQ(One(5500, 1800 + 4 * 125), "ShiftLights as Fuel Ratio (reach/lean) indicators");

    data.Detail[5] = 1;  // input F takes precedence in the header
    EXPECT_EQ(One(5500, 1800 + 3 * 125), "Lambda control. O2 sensor on Temperature input[F]");
}

TEST_F(DataSheet, ParametersPrintTheirWordsAndNumbers) {
    data.Detail[12] = 1;
    data.Detail[10] = 1;
    data.Detail[11] = 0;
    data.Detail[39] = 15;
    in.Lang = Language::German;
    const auto items = Build().Items;
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& label : items) {
        if (label.X != 2500 || label.Y < Row(10000, 5) || label.Y >= 17000)
            continue;
        const auto value = std::find_if(items.begin(), items.end(), [&](const TSheetItem& v) {
            return v.X == 8700 && v.Y == label.Y;
        });
        rows.emplace_back(label.Text, value == items.end() ? "" : value->Text);
    }
    ASSERT_EQ(rows.size(), 38u) << "44 parameters less 1, 2, 3, 5, 7 and 9";
    EXPECT_EQ(rows[0], (std::pair<std::string, std::string>{"Pulse pro U:", "0"}));
    EXPECT_EQ(rows[4], (std::pair<std::string, std::string>{"Temp. Eingang Modifizierungsart:",
                                                            "Addition"}));
    EXPECT_EQ(rows[5], (std::pair<std::string, std::string>{"Allg. Eingang Modifizierungsart:",
                                                            "Multiplikation"}));
    EXPECT_EQ(rows[6], (std::pair<std::string, std::string>{"Leerlaufregelung:", "Aktiv"}));
    EXPECT_EQ(rows[33],
              (std::pair<std::string, std::string>{"dtWBO2ControllerIntLimDown :", "15"}));
    EXPECT_LE(rows.back().first.size(), 40u);
    EXPECT_LT(Row(10000, 5 + 37) + 125, 17000) << "the last parameter ends above the comment";
}

TEST_F(DataSheet, UnitFieldsWhileConnectedAndLanguageLayout) {
    EXPECT_FALSE(UnitCountsAsConnected(4));
    EXPECT_TRUE(UnitCountsAsConnected(5));
    EXPECT_TRUE(UnitCountsAsConnected(37));
    EXPECT_FALSE(UnitCountsAsConnected(38));
    EXPECT_FALSE(UnitCountsAsConnected(39));
    EXPECT_TRUE(UnitCountsAsConnected(40));

    EXPECT_EQ(One(14000, 1800 + 3 * 125), "Device not connected");
    EXPECT_EQ(One(14000, 1800 + 4 * 125), "Device not connected");
    EXPECT_TRUE(At(2500, 1800 + 2 * 125).empty());
    EXPECT_EQ(One(5500, 1800 + 125), "03/07/2024  02:05p");

    in.Connected = true;
    data.DeviceData.Firmware = 30;
    data.DeviceData.Ident.SerialNo = "00000447";
    EXPECT_EQ(One(2500, 1800 + 2 * 125), "Version:");
    EXPECT_EQ(One(4500, 1800 + 2 * 125), "V1.03 C");
    EXPECT_EQ(One(14000, 1800 + 3 * 125), "00000447");
    EXPECT_EQ(One(14000, 1800 + 4 * 125), "V1.03 C");

    const auto frameOf = [](const TDataSheet& sheet) {
        return *std::find_if(sheet.Items.begin(), sheet.Items.end(),
                             [](const TSheetItem& i) { return i.Kind == TSheetItemKind::Frame; });
    };
    EXPECT_EQ(frameOf(Build()).Y2, 1000 + 25000);
    EXPECT_EQ(One(2500, 25300), "ZEVRIN Control");
    in.Lang = Language::German;
    EXPECT_EQ(frameOf(Build()).Y2, 1000 + 27000);
    EXPECT_EQ(One(16900, 27300 - 280), "Brenvik");
    EXPECT_EQ(One(2500, 1100), "ZEVRIN Datenblatt");
    EXPECT_EQ(One(5500, 1800 + 125), "07.03.2024  14:05");
    EXPECT_EQ(Build().Items.back().Progress, 100);
}

TEST_F(DataSheet, CommentIsBrokenAtWordsAndStopsAboveTheFooter) {
    std::string longLine;
    for (int i = 0; i < 80; ++i)
        longLine += "word" + std::to_string(i) + " ";
    in.Comment = {"short", longLine, ""};
    const auto items = Build().Items;
    std::vector<TSheetItem> lines;
    for (const auto& item : items) {
        if (item.X == 2800)
            lines.push_back(item);
    }
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].Text, "short");
    EXPECT_EQ(lines[0].Y, 17800);
    EXPECT_EQ(lines[1].Y, 18100);
    std::string rejoined;
    for (std::size_t k = 1; k + 1 < lines.size(); ++k) {
        EXPECT_LE(2800 + TextWidth(lines[k].Text, 125), 19000) << lines[k].Text;
        rejoined += lines[k].Text;
    }
    EXPECT_EQ(rejoined.substr(0, 12), "word0 word1 ");
    EXPECT_NE(rejoined.find("word79"), std::string::npos) << "nothing is lost in the breaks";

    in.Comment.assign(40, "line");
    std::size_t printed = 0;
    for (const auto& item : Build().Items)
        printed += item.Text == "line" ? 1 : 0;
    EXPECT_EQ(printed, 24u)
        << "English footer line at 25000: 17800 + 23 * 300 is the last that fits";
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
}

TEST_F(DataSheet, FactorsKeepThePointUnderAGermanLocale) {
    test::GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale installed";
    data.Detail[10] = 0;  // the temperature curve multiplies
    data.Lin[lin::TempControl][0] = 191;
    data.Lin[lin::TempControl][1] = 0;
    EXPECT_EQ(One(17300, Row(10000, 3)), "4.00");
    EXPECT_EQ(One(17300 - 620, Row(10000, 3)), "1.00");
}

}  // namespace
}  // namespace zv
