// A map copied as text, changed and pasted back: what lands in the data set and the unit, and
// what one undo takes back.
#include <sstream>
#include <string>
#include <vector>

#include "editors/map_form.h"
#include "page_fixture.h"

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

}  // namespace
}  // namespace zv::test
