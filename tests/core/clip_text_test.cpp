// Maps and curves as text: what a copy writes, and how a pasted block is read back into cells
// or refused with the place of its fault.
#include <gtest/gtest.h>

#include "clip/clip_block.h"
#include "data/zv_data_class.h"

namespace zv::test {
namespace {

// Sites i x 17, lowest first: throttle 0, 6, 13 .. 100 %, rpm 0, 666, 1333 .. 10000.
class ClipText : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 16; ++i) {
            Image()[239 - i] = static_cast<std::uint8_t>(17 * i);
            Image()[255 - i] = static_cast<std::uint8_t>(17 * i);
        }
        Data.DeviceData.Firmware = 30;
    }
    ImageBytes& Image() { return Data.DeviceData.Image; }
    TPastePlan Paste(const TClipItem& item, const std::string& text, int row = 0, int col = 0) {
        return PlanPaste(item, Image(), text, row, col);
    }
    static std::string Refusal(const TPastePlan& plan, Language lang = Language::English) {
        return plan.Refused ? plan.Refused->Pick(lang) : "(taken)";
    }
    // Offsets and values of the planned writes.
    static std::vector<std::pair<std::size_t, int>> Cells(const TPastePlan& plan) {
        std::vector<std::pair<std::size_t, int>> cells;
        for (const TPasteCell& c : plan.Cells)
            cells.emplace_back(c.Where.Offset, c.Value);
        return cells;
    }
    using Expected = std::vector<std::pair<std::size_t, int>>;

    TZVDataClass Data;
};

TEST_F(ClipText, CopyWritesTheAxesAndTheValuesAsThePagesShowThem) {
    Image()[768] = 9;   // throttle site 15, rpm site 15
    Image()[783] = 42;  // throttle site 15, rpm site 0
    const std::string map = CopyBlock(TClipItem::FuelMap(Data.DeviceData), Image(), kCsvShape,
                                      TTableBlock{0, 0, 2, 2});
    EXPECT_EQ(map, "% \\ rpm,0,666\r\n100,42,255\r\n93,255,255\r\n");
    const std::string whole = CopyBlock(TClipItem::FuelMap(Data.DeviceData), Image());
    EXPECT_EQ(whole.substr(whole.find('\n') - 10, 10), "9333\t10000");
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\n'), 17);

    Image()[kAfrAreaStart + 512 + 15] = 42;   // top left: AFR 14.7
    Image()[kAfrAreaStart + 512 + 14] = 200;  // NC
    EXPECT_EQ(CopyBlock(TClipItem::AfrMap(Data.DeviceData), Image(), kClipboardShape,
                        TTableBlock{0, 0, 1, 2}),
              "% \\ rpm\t0\t666\n100\t14.7\tNC\n");

    Image()[4] = 0;  // multiplying curves
    Image()[5] = 0;
    Image()[191] = 32;  // temperature point 0
    const std::string curve = CopyBlock(TClipItem::Curve(Data.DeviceData, 176), Image());
    EXPECT_EQ(curve.substr(0, curve.find('\n')), "%\t0\t6\t13\t20\t26\t33\t40\t46\t53\t60\t66\t73\t80\t86\t93\t100");
    EXPECT_EQ(curve.substr(curve.find('\n') + 1, 14), "[F]\t1.50\t5.01\t");
}

// A block with axes goes to the cells its axes name wherever the cursor is; one without them
// goes to the cursor; an axis the text lacks leaves that direction at the cursor.
TEST_F(ClipText, ABlockGoesToTheCellsItsAxesNameOrWithoutAxesToTheCursor) {
    const TClipItem map = TClipItem::FuelMap(Data.DeviceData);
    const TPastePlan withAxes = Paste(map, "% \\ rpm,666,1333\n100,1,2\n93,3,4\n", 5, 5);
    // Rpm 666 and 1333 are sites 1 and 2, throttle 100 and 93 sites 15 and 14:
    // 768 + 16 x (15 - t) + 15 - r.
    EXPECT_EQ(Cells(withAxes), (Expected{{782, 1}, {781, 2}, {798, 3}, {797, 4}}));
    EXPECT_EQ(withAxes.Cells[0].Where.Address, 0x10E) << "firmware 30 keeps the map at 0x100";
    const TPastePlan inside = Paste(map, "% \\ rpm\t9333\t10000\n6\t7\t8\n0\t5\t6\n", 0, 0);
    // Rpm sites 14 and 15, throttle sites 1 and 0: the map's top right corner.
    EXPECT_EQ(Cells(inside), (Expected{{993, 7}, {992, 8}, {1009, 5}, {1008, 6}}));

    const TPastePlan bare = Paste(map, "5\t6\r\n7\t8\r\n", 2, 3);
    EXPECT_EQ(Cells(bare), (Expected{{812, 5}, {811, 6}, {828, 7}, {827, 8}}));
    EXPECT_EQ(bare.BlockCells, 4);

    const TPastePlan rowAxisOnly = Paste(map, "1333,2000\n10,11\n", 3, 0);
    EXPECT_EQ(Cells(rowAxisOnly), (Expected{{768 + 48 + 13, 10}, {768 + 48 + 12, 11}}))
        << "rpm sites 2 and 3 from the axis, the row from the cursor";

    EXPECT_EQ(Refusal(Paste(map, "% \\ rpm,700,1333\n100,1,2\n")),
              "Row 1, column 2: the axis names \"700\", which is no site of the table.");
    EXPECT_EQ(Refusal(Paste(map, ";666\n50;1\n"), Language::German),
              "Zeile 2, Spalte 1: die Achse nennt „50“, keine Stützstelle der Tabelle.");
    EXPECT_EQ(Refusal(Paste(map, "% \\ rpm,1333,666\n100,1,2\n")),
              "The text's axes do not name neighbouring sites of the table in their order.");
}

TEST_F(ClipText, BlocksThatDoNotFitAndCellsThatHoldNoValueOfTheMapAreRefusedWithTheirPlace) {
    const TClipItem map = TClipItem::FuelMap(Data.DeviceData);
    const TPastePlan wide = Paste(map, "1,2,3\n4,5,6\n", 0, 14);
    EXPECT_EQ(Refusal(wide),
              "The pasted block of 2 × 3 cells (rows × columns) does not fit from row 1, "
              "column 15 on: the table has 16 × 16.");
    EXPECT_EQ(Refusal(wide, Language::German),
              "Der eingefügte Block mit 2 × 3 Zellen (Zeilen × Spalten) passt ab Zeile 1, "
              "Spalte 15 nicht hinein: die Tabelle hat 16 × 16.");
    EXPECT_TRUE(wide.Cells.empty());
    EXPECT_EQ(Refusal(Paste(map, "1\n2\n", 15, 0)).rfind("The pasted block of 2 × 1 cells", 0), 0u);

    const TPastePlan word = Paste(map, "1,2\n3,x4\n");
    EXPECT_EQ(Refusal(word), "Row 2, column 2: \"x4\" is not a number.");
    EXPECT_EQ(Refusal(word, Language::German), "Zeile 2, Spalte 2: „x4“ ist keine Zahl.");
    EXPECT_TRUE(word.Cells.empty()) << "nothing of a refused block is written";
    EXPECT_EQ(Refusal(Paste(map, "1,,3\n")), "Row 1, column 2: no value.");

    EXPECT_EQ(Cells(Paste(map, "0\t255\n")), (Expected{{783, 0}}));
    EXPECT_EQ(Refusal(Paste(map, "-1\n")), "Row 1, column 1: -1 is outside 0 .. 255.");
    EXPECT_EQ(Refusal(Paste(map, "1\t256\n")), "Row 1, column 2: 256 is outside 0 .. 255.");
    // The range holds before rounding: 255.5 and -0.4 would round into it.
    EXPECT_EQ(Refusal(Paste(map, "1;255,5\n")), "Row 1, column 2: 255,5 is outside 0 .. 255.");
    EXPECT_EQ(Refusal(Paste(map, "-0.4\n")), "Row 1, column 1: -0.4 is outside 0 .. 255.");
    Image()[783] = 255;
    EXPECT_EQ(Refusal(Paste(map, "255.4\n")), "Row 1, column 1: 255.4 is outside 0 .. 255.")
        << "not even as the value the cell shows";
}

// A spreadsheet gives 12.6 where the fuel map holds whole numbers: the nearest is taken and
// the paste says so, naming the first.
TEST_F(ClipText, ValuesACellCannotHoldTakeTheNearestAndAreCounted) {
    const TClipItem map = TClipItem::FuelMap(Data.DeviceData);
    Image()[768 + 15] = 13;  // top left
    const TPastePlan plan = Paste(map, "12.6\t12\t7.4\t8\n");
    EXPECT_EQ(Cells(plan), (Expected{{782, 12}, {781, 7}, {780, 8}}))
        << "12.6 keeps the 13 the cell shows";
    EXPECT_EQ(plan.Rounded, 2);
    EXPECT_EQ(PasteRoundingNote(plan, Language::English),
              "2 values set to the nearest value the cell can hold (12.6 -> 13).");
    EXPECT_EQ(PasteRoundingNote(Paste(map, "1\t2.5\n"), Language::German),
              "1 Wert auf den nächsten Wert gesetzt, den die Zelle halten kann (2.5 -> 3).");
    EXPECT_EQ(PasteRoundingNote(Paste(map, "1\t2\n"), Language::English), "");
    EXPECT_EQ(Cells(Paste(map, "3.5\n")), (Expected{{783, 4}})) << "halfway goes up";

    Image()[4] = 0;  // multiplying curves: 1.50 is a byte's value, 2.22 lies between 2.21 and 2.23
    const TClipItem factors = TClipItem::Curve(Data.DeviceData, 176);
    EXPECT_EQ(Paste(factors, "1.5\t1.50\n").Rounded, 0);
    const TPastePlan between = Paste(factors, "2.22\n");
    EXPECT_EQ(between.Rounded, 1);
    EXPECT_EQ(between.RoundedTaken, "2.23");
    const TClipItem idle = TClipItem::Curve(Data.DeviceData, 208);
    EXPECT_EQ(Cells(Paste(idle, "-2.5\n")), (Expected{{223, 124}}))
        << "-3 % is byte 124: (124 x 200 div 255) - 100";
}

TEST_F(ClipText, AfrCellsReadAsAfrWithADecimalCommaAfterSemicolonsAndNC) {
    for (int c = 0; c < 4; ++c)
        Image()[kAfrAreaStart + 512 + 15 - c] = 30;
    const TClipItem afr = TClipItem::AfrMap(Data.DeviceData);
    const TPastePlan plan = Paste(afr, "10,5;16,8;nc;14,7\n");
    EXPECT_EQ(Cells(plan),
              (Expected{{2319, 0}, {2318, 63}, {2317, 128}, {2316, 42}}));
    EXPECT_EQ(plan.Cells[0].Where.Area, 1);
    EXPECT_EQ(plan.Cells[0].Where.Address, 527);
    EXPECT_EQ(Refusal(Paste(afr, "16.9\n")), "Row 1, column 1: 16.9 is outside 10.5 .. 16.8 (or NC).");
    EXPECT_EQ(Refusal(Paste(afr, "16.84\n")),
              "Row 1, column 1: 16.84 is outside 10.5 .. 16.8 (or NC).");
    EXPECT_EQ(Refusal(Paste(afr, "14.7,10.4\n")), "Row 1, column 2: 10.4 is outside 10.5 .. 16.8 (or NC).");
    EXPECT_EQ(Refusal(Paste(afr, "15\t40\n")), "Row 1, column 2: 40 is outside 10.5 .. 16.8 (or NC).");
}

// CSV quotes keep a decimal comma inside a field; commas alone are read as separators or as
// decimal commas by what the whole text makes of them, and refused when it makes sense both ways.
TEST_F(ClipText, QuotedFieldsAndDecimalCommasAreReadAsTheWholeTextMeansThem) {
    const TClipItem map = TClipItem::FuelMap(Data.DeviceData);
    EXPECT_EQ(Cells(Paste(map, "\"112,5\",\"98,4\"\r\n")), (Expected{{783, 113}, {782, 98}}))
        << "two fields, 112.5 halfway up to 113";
    EXPECT_EQ(Cells(Paste(map, "\"1\"\"\",7\n")), Expected{})
        << "a quote inside quotes is a quote: no number, refused";
    EXPECT_EQ(Refusal(Paste(map, "\"1\"\"\",7\n")), "Row 1, column 1: \"1\"\" is not a number.");

    // One column from a German spreadsheet: 12 alone in a row leaves no second column.
    EXPECT_EQ(Cells(Paste(map, "12\r\n13,5\r\n", 0, 4)),
              (Expected{{768 + 11, 12}, {768 + 27, 14}}));
    // On the AFR map 5 is no target: the commas can only be decimal commas.
    for (int i = 0; i < 2; ++i)
        Image()[kAfrAreaStart + 512 + 16 * i + 15] = 0;
    const TClipItem afr = TClipItem::AfrMap(Data.DeviceData);
    EXPECT_EQ(Cells(Paste(afr, "12,5\r\n13,5\r\n")), (Expected{{2319, 20}, {2335, 30}}));
    // On the fuel map 12 | 5 and 12.5 are both values: refused, naming both readings.
    const TPastePlan both = Paste(map, "12,5\r\n13,5\r\n");
    EXPECT_TRUE(both.Cells.empty());
    EXPECT_EQ(Refusal(both),
              "The text can be read two ways: as 2 columns separated by commas, or as one column "
              "with a decimal comma (12,5). Please separate the columns with tabs or semicolons, "
              "or write decimals with a point.");
    EXPECT_EQ(Refusal(both, Language::German),
              "Der Text lässt sich zweifach lesen: als 2 Spalten, durch Kommas getrennt, oder als "
              "eine Spalte mit Dezimalkomma (12,5). Bitte die Spalten mit Tabulatoren oder "
              "Semikolons trennen oder Dezimalzahlen mit Punkt schreiben.");
    EXPECT_EQ(Refusal(Paste(map, "1,2\n", 0, 15)).rfind("The text can be read two ways", 0), 0u)
        << "two columns do not fit at the last column, but that does not make it one";
    EXPECT_EQ(Cells(Paste(map, "12;5\r\n")), (Expected{{783, 12}, {782, 5}}));
    EXPECT_EQ(Cells(Paste(map, "12\t5,5\r\n")), (Expected{{783, 12}, {782, 6}}));
    EXPECT_EQ(Cells(Paste(map, "12.5,5\r\n")), (Expected{{783, 13}, {782, 5}}));
}

TEST_F(ClipText, CurvePointsReadInTheCurvesModeAndAShownValueKeepsItsByte) {
    Image()[4] = 0;  // both curves multiplying
    Image()[5] = 0;
    const TPastePlan factors =
        Paste(TClipItem::Curve(Data.DeviceData, 176), "%\t0\t6\t13\n[F]\t1.00\t1.50\t4.00\n");
    EXPECT_EQ(Cells(factors), (Expected{{191, 0}, {190, 32}, {189, 191}}));
    EXPECT_EQ(Refusal(Paste(TClipItem::Curve(Data.DeviceData, 192), "4.01\n")),
              "Row 1, column 1: 4.01 is outside 1.00 .. 4.00.");

    Image()[4] = 1 << 5;  // temperature additive
    Image()[191] = 4;     // shows 1 %
    Image()[190] = 0;
    const TClipItem added = TClipItem::Curve(Data.DeviceData, 176);
    EXPECT_TRUE(Paste(added, "1\n").Cells.empty()) << "the value shown keeps the byte";
    EXPECT_EQ(Cells(Paste(added, "2\t100\n")), (Expected{{191, 6}, {190, 255}}));
    EXPECT_EQ(Refusal(Paste(added, "101\n")), "Row 1, column 1: 101 is outside 0 .. 100.");
    EXPECT_EQ(Refusal(Paste(added, "100.4\n")), "Row 1, column 1: 100.4 is outside 0 .. 100.");

    const TClipItem idle = TClipItem::Curve(Data.DeviceData, 208);
    EXPECT_EQ(Cells(Paste(idle, "-100,0,100\n")), (Expected{{223, 0}, {222, 128}}));
    EXPECT_EQ(Refusal(Paste(idle, "[%],-101\n")), "Row 1, column 2: -101 is outside -100 .. 100.");
    EXPECT_EQ(Refusal(Paste(idle, "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n", 0, 1))
                  .rfind("The pasted block of 1 × 16 cells", 0),
              0u);
}

}  // namespace
}  // namespace zv::test
