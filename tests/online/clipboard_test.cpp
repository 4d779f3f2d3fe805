// A map copied as text, changed and pasted back: what lands in the data set and the unit, and
// what one undo takes back.
#include <sstream>
#include <string>
#include <vector>

#include "editors/map_form.h"
#include "lambda/wbo2_form.h"
#include "page_fixture.h"
#include "text/point_format.h"

namespace zv::test {
namespace {

class Clipboard : public PageTest {
  protected:
    // Fuel map cell (t, r) as the unit of firmware 9 and later keeps it: 0x100 + k with
    // k = 16 x (15 - t) + (15 - r).
    std::uint8_t UnitCell(int t, int r) {
        return Unit->Peek(2, static_cast<std::uint16_t>(0x100 + 16 * (15 - t) + (15 - r)));
    }
    std::uint8_t Cell(int t, int r) { return At(768 + 16 * (15 - t) + (15 - r)); }

    // The text's lines and tab-separated cells, one cell replaced.
    static std::string Replaced(const std::string& text, int line, int cell,
                                const std::string& value) {
        std::istringstream in(text);
        std::string out, l;
        for (int n = 0; std::getline(in, l); ++n) {
            if (n == line) {
                std::size_t start = 0;
                for (int c = 0; c < cell; ++c)
                    start = l.find('\t', start) + 1;
                l.replace(start, l.find('\t', start) - start, value);
            }
            out += l + "\n";
        }
        return out;
    }

    TMapForm Map{Host};
};

TEST_F(Clipboard, TwoValuesChangedInTheCopiedMapReachTheUnitAndOneUndoTakesThemBack) {
    GoOnline(30, Map);
    Form.SetPage(1, &Map);
    Form.NotebookPageChanged(1);
    ASSERT_TRUE(Form.ClipboardEnabled());
    const auto copied = Form.EditCopyClick();
    ASSERT_TRUE(copied.has_value());
    ASSERT_NE(Cell(15, 0), 7);
    ASSERT_NE(Cell(0, 15), 201);
    const ImageBytes before = Data().DeviceData.Image;

    // Line 1 is the top row (throttle site 15), cell 1 the lowest rpm site; line 16 the
    // lowest throttle site, cell 16 the highest rpm site.
    std::string text = Replaced(*copied, 1, 1, "7");
    text = Replaced(text, 16, 16, "201");
    Map.CellClick(6, 6);  // a whole map with its axes goes to its own place
    ASSERT_TRUE(Form.EditPasteClick(text));
    EXPECT_EQ(Cell(15, 0), 7);
    EXPECT_EQ(Cell(0, 15), 201);
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        changed += before[i] != Data().DeviceData.Image[i];
    EXPECT_EQ(changed, 2) << "exactly the two cells change";
    EXPECT_EQ(Data().Map[15][0], 7) << "edit fields follow";
    EXPECT_EQ(Main.History().UndoCaption(Language::English), "Undo: paste 256 cells");
    EXPECT_EQ(Main.History().UndoCaption(Language::German), "Rückgängig: 256 Zellen eingefügt");
    Clock.Advance(1000);
    EXPECT_EQ(UnitCell(15, 0), 7);
    EXPECT_EQ(UnitCell(0, 15), 201);

    ASSERT_TRUE(Form.EditUndoClick());
    EXPECT_EQ(Data().DeviceData.Image, before);
    EXPECT_FALSE(Main.History().CanUndo()) << "the paste was one step";
    Clock.Advance(1000);
    EXPECT_EQ(UnitCell(15, 0), before[768 + 15]);
    EXPECT_EQ(UnitCell(0, 15), before[768 + 240]);
}

// With a block selected, Copy takes the block and its own axes: the higher throttle site on top.
TEST_F(Clipboard, CopyTakesTheSelectedBlock) {
    OpenOffline(30, Map);
    Form.SetPage(1, &Map);
    Form.NotebookPageChanged(1);
    auto set = [this](int t, int r, int v) {
        Data().DeviceData.Image[static_cast<std::size_t>(768 + 16 * (15 - t) + (15 - r))] =
            static_cast<std::uint8_t>(v);
    };
    set(1, 2, 11);
    set(1, 3, 12);
    set(0, 2, 21);
    set(0, 3, 22);
    Map.CellDrag(0, 2, 1, 3);
    const auto copied = Form.EditCopyClick();
    ASSERT_TRUE(copied.has_value());
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(*copied);
    for (std::string line; std::getline(in, line);) {
        rows.emplace_back();
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            rows.back().push_back(cell);
    }
    ASSERT_EQ(rows.size(), 3u) << *copied;
    EXPECT_EQ(rows[0].size(), 3u) << "the corner and two rpm sites";
    EXPECT_EQ(rows[1], (std::vector<std::string>{rows[1][0], "11", "12"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{rows[2][0], "21", "22"}));
}

TEST_F(Clipboard, ARefusedPasteShowsWhereAndChangesNothing) {
    OpenOffline(30, Map);
    Form.SetPage(1, &Map);
    Form.NotebookPageChanged(1);
    const ImageBytes before = Data().DeviceData.Image;
    Map.CellClick(15, 14);  // top row, second column from the right
    EXPECT_FALSE(Form.EditPasteClick("1\t2\t3\n"));
    EXPECT_EQ(Data().DeviceData.Image, before);
    ASSERT_FALSE(Dialogs.Boxes.empty());
    EXPECT_EQ(Dialogs.Boxes.back().Kind, MsgKind::Error);
    EXPECT_NE(Dialogs.Boxes.back().Text.find("from row 1, column 15"), std::string::npos);
    EXPECT_FALSE(Main.History().CanUndo());
}

// A copied block with its axes goes back to the cells its axes name, wherever the cursor
// stands, and the unit holds exactly what the table shows.
TEST_F(Clipboard, ABlockWithAxesLandsOnItsOwnCellsInTheUnit) {
    GoOnline(30, Map);
    Form.SetPage(1, &Map);
    Form.NotebookPageChanged(1);
    Map.CellDrag(4, 6, 5, 7);  // throttle sites 4..5, rpm sites 6..7
    const auto copied = Form.EditCopyClick();
    ASSERT_TRUE(copied.has_value());
    // The top row is throttle site 5; its cells rpm sites 6 and 7.
    std::string text = Replaced(*copied, 1, 1, "7");
    text = Replaced(text, 1, 2, "8");
    text = Replaced(text, 2, 1, "9");
    text = Replaced(text, 2, 2, "10");
    const ImageBytes before = Data().DeviceData.Image;
    Map.CellClick(12, 1);
    ASSERT_TRUE(Form.EditPasteClick(text));
    Clock.Advance(2000);
    EXPECT_EQ(UnitCell(5, 6), 7);
    EXPECT_EQ(UnitCell(5, 7), 8);
    EXPECT_EQ(UnitCell(4, 6), 9);
    EXPECT_EQ(UnitCell(4, 7), 10);
    EXPECT_EQ(UnitCell(12, 1), before[768 + 16 * 3 + 14]) << "the cursor's cell stays";
    for (std::size_t k = img::FuelMap; k < img::FuelMap + 256; ++k)
        ASSERT_EQ(Unit->ImageSnapshot()[k], Data().DeviceData.Image[k]) << k;
}

// One column from a German spreadsheet on the AFR grid: 12,5 and 13,5 are two targets below
// one another (5 is no AFR target, so the commas are decimal commas), in the unit as on screen.
TEST_F(Clipboard, AGermanColumnPastedOnTheAfrGridReachesTheUnitAsOneColumn) {
    TWBO2Form wbo{Host};
    GoOnline(30, wbo);
    Form.SetPage(5, &wbo);
    Form.NotebookPageChanged(5);
    wbo.GridClick(3, 2);  // throttle site 14, rpm site 2
    ASSERT_TRUE(Form.EditPasteClick("12,5\r\n13,5\r\n"));
    EXPECT_EQ(wbo.State().Grid[2][3], "12.5");
    EXPECT_EQ(wbo.State().Grid[3][3], "13.5");
    EXPECT_EQ(wbo.State().Grid[2][4], std::string(AfrTargetText(Unit->Peek(1, 512 + 16 + 12))))
        << "the next column keeps its target";
    Clock.Advance(2000);
    // AFR cell (t, r) lies at unit address 512 + 16 (15 - t) + 15 - r of area 1.
    EXPECT_EQ(Unit->Peek(1, 512 + 16 * 1 + 13), 20);
    EXPECT_EQ(Unit->Peek(1, 512 + 16 * 2 + 13), 30);
    for (std::size_t k = img::AfrMap; k < img::AfrMap + 256; ++k)
        ASSERT_EQ(Unit->ImageSnapshot()[k], Data().DeviceData.Image[k]) << k;
}

}  // namespace
}  // namespace zv::test
