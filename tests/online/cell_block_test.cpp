// Blocks of cells on the fuel map and the AFR target map: selection, the step keys over every
// selected cell, the block menu's operations with values worked out by hand, and what reaches
// the unit and the edit history.
#include <optional>

#include "editors/map_form.h"
#include "lambda/wbo2_form.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

constexpr std::uint8_t kPlus = 187, kMinus = 189;

class CellBlock : public PageTest {
  protected:
    std::uint8_t& Cell(int t, int r) { return At(img::FuelMap + 16 * (15 - t) + (15 - r)); }
    std::uint8_t& Target(int t, int r) { return At(img::AfrMap + 16 * (15 - t) + (15 - r)); }
    // Sites lowest first into the image, which keeps them highest first.
    void Sites(std::size_t offset, const std::array<int, 16>& lowestFirst) {
        for (std::size_t i = 0; i < 16; ++i)
            At(offset + 15 - i) = static_cast<std::uint8_t>(lowestFirst[i]);
    }
    // Uneven sites, so that interpolation over the sites differs from one over cell counts.
    void UnevenSites() {
        Sites(img::TpsSites,
              {0, 30, 40, 100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200, 210, 220});
        Sites(img::RpmSites,
              {10, 20, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180});
        Map.LoadFromImage();
    }
    // A block from its lowest cell: rows listed from the top (highest throttle) down, as the
    // table shows them.
    template <std::size_t Rows, std::size_t Cols>
    void Fill(int t0, int r0, const int (&rows)[Rows][Cols]) {
        for (std::size_t i = 0; i < Rows; ++i)
            for (std::size_t j = 0; j < Cols; ++j)
                Cell(t0 + static_cast<int>(Rows - 1 - i), r0 + static_cast<int>(j)) =
                    static_cast<std::uint8_t>(rows[i][j]);
    }
    template <std::size_t Rows, std::size_t Cols>
    void ExpectBlock(int t0, int r0, const int (&rows)[Rows][Cols]) {
        for (std::size_t i = 0; i < Rows; ++i)
            for (std::size_t j = 0; j < Cols; ++j) {
                const int t = t0 + static_cast<int>(Rows - 1 - i), r = r0 + static_cast<int>(j);
                EXPECT_EQ(Cell(t, r), rows[i][j]) << "cell " << t << "/" << r;
            }
    }
    void Select(int t0, int r0, int t1, int r1) { Map.CellDrag(t0, r0, t1, r1); }
    void Run(TBlockOp op, std::optional<double> entered = std::nullopt) {
        Map.Block().AskValue = [entered](const TValuePrompt&) { return entered; };
        Map.BlockCommand(op);
    }
    std::string UndoText(Language lang = Language::English) {
        return Main.History().UndoCaption(lang);
    }

    TMapForm Map{Host};
};

TEST_F(CellBlock, ShiftRightTwiceAndPlusRaiseExactlyThoseCellsInTheUnitAsOneStep) {
    GoOnline(30, Map);
    Form.SetPage(1, &Map);
    Form.NotebookPageChanged(1);
    Cell(2, 4) = 10, Cell(2, 5) = 20, Cell(2, 6) = 30;
    // Fuel map cell (t, r) lies at unit address 0x100 + 16 (15 - t) + 15 - r.
    for (int r = 4; r <= 6; ++r)
        Unit->Poke(2, static_cast<std::uint16_t>(0x100 + 16 * 13 + 15 - r), Cell(2, r));
    const ImageBytes unitBefore = Unit->ImageSnapshot();
    Map.CellClick(2, 4);
    Form.PageShiftKey(vk::Right);
    Form.PageShiftKey(vk::Right);
    EXPECT_EQ(Map.Selection(), (TCellRect{2, 2, 4, 6}));
    Form.PageKey(kPlus);
    Clock.Advance(2000);
    // One batch: the two neighbours 0x1D9 and 0x1DA as a pair, then 0x1DB; each byte once.
    ASSERT_EQ(Unit->WriteLog().size(), 3u) << "one write a cell";
    EXPECT_EQ(Unit->WriteLog()[0].Address, 0x1D9);
    EXPECT_EQ(Unit->WriteLog()[1].Address, 0x1DA);
    EXPECT_EQ(Unit->WriteLog()[2].Address, 0x1DB);
    ImageBytes expected = unitBefore;
    expected[img::FuelMap + 16 * 13 + 11] = 11;
    expected[img::FuelMap + 16 * 13 + 10] = 21;
    expected[img::FuelMap + 16 * 13 + 9] = 31;
    EXPECT_EQ(Unit->ImageSnapshot(), expected) << "those three and nothing else";
    EXPECT_EQ(UndoText(), "Undo: fuel map 3 cells +1");
    EXPECT_EQ(UndoText(Language::German), "Rückgängig: Kennfeld 3 Zellen +1");

    ASSERT_TRUE(Form.EditUndoClick());
    Clock.Advance(2000);
    EXPECT_EQ(Unit->ImageSnapshot(), unitBefore);
    EXPECT_FALSE(Main.History().CanUndo()) << "one step held all three";
    Form.PageKey(vk::Left);
    EXPECT_EQ(Map.Selection(), (TCellRect{2, 2, 5, 5})) << "a plain arrow collapses the block";
}

TEST_F(CellBlock, EachSelectedCellIsClampedAsOneCell) {
    OpenOffline(30, Map);
    Fill(0, 0, {{254, 255, 9}});
    Map.CellClick(0, 2);
    Map.HandleShiftKey(vk::Left);
    Map.HandleShiftKey(vk::Left);
    Map.HandleShiftKey(vk::Left);  // the block stops at the map's edge
    EXPECT_EQ(Map.Selection(), (TCellRect{0, 0, 0, 2}));
    Map.HandleKey(kPlus);
    ExpectBlock(0, 0, {{255, 255, 10}});
    Map.HandleKey(vk::PageDown);
    ExpectBlock(0, 0, {{240, 240, 0}});
    Map.HandleKey(vk::PageUp);
    ExpectBlock(0, 0, {{255, 255, 15}});
    Map.HandleKey(kMinus);
    ExpectBlock(0, 0, {{254, 254, 14}});
    EXPECT_EQ(Cell(1, 0), Data().Map[1][0]) << "nothing outside the block moved";
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
}

TEST_F(CellBlock, InterpolationFollowsTheSitesAndCutsTowardZero) {
    OpenOffline(30, Map);
    UnevenSites();  // rpm 10, 20, 50, 60; throttle 0, 30, 40
    Fill(0, 0, {{7, 99, 99, 0}, {200, 0, 0, 100}, {100, 0, 0, 200}});
    Select(0, 0, 2, 3);
    Run(TBlockOp::InterpolateAcross);
    // 1/5 and 4/5 of the way: (20 - 10) / (60 - 10), (50 - 10) / (60 - 10).
    ExpectBlock(0, 0, {{7, 6, 2, 0}, {200, 180, 120, 100}, {100, 120, 180, 200}});
    EXPECT_EQ(UndoText(), "Undo: fuel map 12 cells interpolated horizontally");

    Fill(0, 0, {{20, 10, 0}, {0, 0, 0}, {100, 0, 250}});
    Select(2, 2, 0, 0);
    Run(TBlockOp::InterpolateUp);
    // throttle 30 lies 3/4 of the way from 0 to 40; 250 - 187.5 cuts toward zero to 63.
    ExpectBlock(0, 0, {{20, 10, 0}, {40, 7, 63}, {100, 0, 250}});

    Fill(0, 0, {{40, 0, 200}, {0, 0, 0}, {0, 0, 80}});
    Run(TBlockOp::InterpolateCorners);
    // Bottom row 0 .. 80 and top row 40 .. 200 over rpm, then 3/4 up over throttle.
    ExpectBlock(0, 0, {{40, 80, 200}, {30, 65, 170}, {0, 20, 80}});
    EXPECT_EQ(UndoText(Language::German),
              "Rückgängig: Kennfeld 9 Zellen aus den Ecken interpoliert");
}

// Multiplying and smoothing round to the nearest count, halves up, as a paste does: a cut
// result would lean the map a little more on every pass.
TEST_F(CellBlock, SmoothingKeepsTheEdgesAndSetAddMultiplyClampAndRound) {
    OpenOffline(30, Map);
    Cell(3, 1) = 255;  // above the block: never part of a mean
    Fill(0, 0, {{0, 0, 0, 0}, {0, 90, 0, 0}, {0, 0, 0, 14}});
    Select(0, 0, 2, 3);
    Run(TBlockOp::Smooth);
    // 90 / 9 = 10 and (90 + 14) / 9 = 11.56: 12.
    ExpectBlock(0, 0, {{0, 0, 0, 0}, {0, 10, 12, 0}, {0, 0, 0, 14}});
    EXPECT_EQ(Cell(3, 1), 255);
    Fill(0, 0, {{0, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 0, 0}});
    Run(TBlockOp::Smooth);
    ExpectBlock(0, 0, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});  // 4 / 9 = 0.44: 0
    Fill(0, 0, {{0, 0, 0, 0}, {0, 5, 0, 0}, {0, 0, 0, 0}});
    Run(TBlockOp::Smooth);
    ExpectBlock(0, 0, {{0, 0, 0, 0}, {0, 1, 1, 0}, {0, 0, 0, 0}});  // 5 / 9 = 0.56: 1

    Fill(0, 0, {{109, 200, 2}});
    Select(0, 0, 0, 2);
    Run(TBlockOp::Multiply, 101.5);
    ExpectBlock(0, 0, {{111, 203, 2}});  // 110.635, 203, 2.03
    EXPECT_EQ(UndoText(), "Undo: fuel map 3 cells × 101.5 %");
    Fill(0, 0, {{200, 100, 99}});
    Run(TBlockOp::Multiply, 130.0);
    ExpectBlock(0, 0, {{255, 130, 129}});  // 99 x 1.3 = 128.7
    Run(TBlockOp::Multiply, 50.5);
    ExpectBlock(0, 0, {{129, 66, 65}});  // 128.775, 65.65, 65.145
    Fill(0, 0, {{1, 3, 5}});
    Run(TBlockOp::Multiply, 50.0);
    ExpectBlock(0, 0, {{1, 2, 3}});  // halves go up: 0.5, 1.5, 2.5
    Run(TBlockOp::Add, -100.0);
    ExpectBlock(0, 0, {{0, 0, 0}});
    Run(TBlockOp::Set, 77.0);
    ExpectBlock(0, 0, {{77, 77, 77}});
    const std::string last = UndoText();
    Run(TBlockOp::Set, std::nullopt);
    EXPECT_EQ(UndoText(), last) << "a cancelled dialog changes nothing";
}

// On the AFR grid a block keeps each cell what it is: the step keys never switch a target
// off (NC) or an NC cell on, whatever the step; only a single cell follows the page's rule.
TEST_F(CellBlock, AfrBlockStepsLeaveNoTargetCellsAloneAndMakeNone) {
    TWBO2Form wbo{Host};
    OpenOffline(30, wbo);
    // Grid row 16 is throttle site 0, column 1 rpm site 0.
    Target(0, 0) = 63, Target(0, 1) = 255, Target(0, 2) = 20, Target(0, 3) = 128;
    Target(0, 4) = 0, Target(0, 5) = 58;
    wbo.GridClick(1, 16);
    for (int i = 0; i < 5; ++i)
        wbo.HandleShiftKey(vk::Right);
    EXPECT_EQ(wbo.Selection(), (TCellRect{0, 0, 0, 5}));
    const ImageBytes start = Data().DeviceData.Image;
    wbo.HandleKey(kPlus);
    EXPECT_EQ(Target(0, 0), 63) << "16.8 stays the leanest target";
    EXPECT_EQ(Target(0, 1), 255) << "NC stays as it was, unwritten";
    EXPECT_EQ(Target(0, 2), 21);
    EXPECT_EQ(Target(0, 3), 128);
    wbo.HandleKey(kMinus);
    wbo.HandleKey(kMinus);
    EXPECT_EQ(Target(0, 0), 61);
    EXPECT_EQ(Target(0, 1), 255) << "NC is not stepped into 16.8";
    EXPECT_EQ(Target(0, 3), 128);
    EXPECT_EQ(Target(0, 4), 0);
    EXPECT_EQ(wbo.State().Grid[16][2], "NC");
    wbo.HandleKey(vk::PageUp);
    EXPECT_EQ(Target(0, 0), 63) << "Page Up near 16.8 stops there";
    EXPECT_EQ(Target(0, 4), 10);
    EXPECT_EQ(Target(0, 5), 63);
    EXPECT_EQ(Target(0, 1), 255);
    wbo.HandleKey(vk::PageDown);
    EXPECT_EQ(Target(0, 3), 128);
    EXPECT_EQ(Target(0, 4), 0);
    EXPECT_EQ(UndoText(), "Undo: AFR map 6 cells -10");
    for (const std::size_t k : {img::AfrMap + 16 * 15 + 14, img::AfrMap + 16 * 15 + 12})
        EXPECT_EQ(Data().DeviceData.Image[k], start[k]) << "NC cells never written";

    // A single cell still follows the page's rule: past 16.8 it is NC, down from NC 16.8.
    Target(0, 0) = 63;
    wbo.GridClick(1, 16);
    wbo.HandleKey(kPlus);
    EXPECT_EQ(Target(0, 0), 128);
    wbo.HandleKey(kMinus);
    EXPECT_EQ(Target(0, 0), 63);

    Target(0, 1) = 128;
    wbo.GridDrag(1, 16, 2, 16);
    wbo.Block().AskValue = [](const TValuePrompt&) { return std::optional<double>(17.5); };
    wbo.BlockCommand(TBlockOp::Set);
    EXPECT_EQ(Target(0, 0), 63) << "an operation clamps to 16.8 instead of switching off";
    EXPECT_EQ(Target(0, 1), 128) << "NC cells keep out of operations";
    wbo.Block().AskValue = [](const TValuePrompt&) { return std::optional<double>(90.0); };
    wbo.BlockCommand(TBlockOp::Multiply);
    EXPECT_EQ(Target(0, 0), 46) << "16.8 x 90 % = 15.12: 15.1";
    EXPECT_EQ(wbo.State().Grid[16][1], "15.1");
    wbo.Block().AskValue = [](const TValuePrompt&) { return std::optional<double>(98.5); };
    wbo.BlockCommand(TBlockOp::Multiply);
    EXPECT_EQ(Target(0, 0), 44) << "15.1 x 98.5 % = 14.8735: 14.9";
}

// Online, what a block step leaves in the unit's AFR area is what the grid shows: NC cells
// are still NC there and no target was switched off.
TEST_F(CellBlock, AnAfrBlockStepReachesTheUnitWithItsNoTargetCellsUntouched) {
    TWBO2Form wbo{Host};
    GoOnline(30, wbo);
    Form.SetPage(5, &wbo);
    Form.NotebookPageChanged(5);
    // Throttle sites 14 and 15 (full load) are NC over rpm sites 0..2; site 13 holds targets.
    const std::array<std::array<int, 3>, 3> rows = {
        {{30, 62, 63}, {128, 255, 128}, {128, 128, 200}}};
    for (int i = 0; i < 3; ++i)
        for (int r = 0; r < 3; ++r) {
            const int t = 13 + i;
            const auto v = static_cast<std::uint8_t>(
                rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(r)]);
            Target(t, r) = v;
            // AFR cell (t, r) lies at unit address 512 + 16 (15 - t) + 15 - r of area 1.
            Unit->Poke(1, static_cast<std::uint16_t>(512 + 16 * (15 - t) + 15 - r), v);
        }
    wbo.LoadFromImage();
    const ImageBytes unitBefore = Unit->ImageSnapshot();
    wbo.GridDrag(1, 1, 3, 3);  // grid rows 1..3 are throttle sites 15..13
    EXPECT_EQ(wbo.Selection(), (TCellRect{13, 15, 0, 2}));
    Form.PageKey(kMinus);
    Clock.Advance(2000);
    ImageBytes expected = unitBefore;
    expected[img::AfrMap + 16 * 2 + 15] = 29;
    expected[img::AfrMap + 16 * 2 + 14] = 61;
    expected[img::AfrMap + 16 * 2 + 13] = 62;
    EXPECT_EQ(Unit->ImageSnapshot(), expected) << "three targets one lower, every NC as it was";
    EXPECT_EQ(Unit->WriteLog().size(), 3u);
    EXPECT_EQ(wbo.State().Grid[1][1], "NC");
    EXPECT_EQ(wbo.State().Grid[3][3], "16.7");
    Form.PageKey(vk::PageUp);
    Clock.Advance(2000);
    expected[img::AfrMap + 16 * 2 + 15] = 39;
    expected[img::AfrMap + 16 * 2 + 14] = 63;
    expected[img::AfrMap + 16 * 2 + 13] = 63;
    EXPECT_EQ(Unit->ImageSnapshot(), expected) << "Page Up stops at 16.8 and switches nothing off";
    for (std::size_t k = img::AfrMap; k < img::AfrMap + 256; ++k)
        ASSERT_EQ(Unit->ImageSnapshot()[k], Data().DeviceData.Image[k]) << k;
}

TEST_F(CellBlock, AfrOperationsLeaveNoTargetCellsOutOfMeansAndEdges) {
    TWBO2Form wbo{Host};
    OpenOffline(30, wbo);
    UnevenSites();  // rpm 10, 20, 50
    const std::array<std::array<int, 3>, 3> block = {{{0, 0, 60}, {255, 40, 50}, {10, 20, 30}}};
    for (int t = 0; t < 3; ++t)
        for (int r = 0; r < 3; ++r)
            Target(t, r) = static_cast<std::uint8_t>(block[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)]);
    wbo.GridDrag(1, 14, 3, 16);  // grid rows 14..16 are throttle sites 2..0
    EXPECT_EQ(wbo.Selection(), (TCellRect{0, 2, 0, 2}));
    wbo.BlockCommand(TBlockOp::Smooth);
    EXPECT_EQ(Target(1, 1), 26) << "210 over the eight cells with a target";
    wbo.BlockCommand(TBlockOp::InterpolateAcross);
    EXPECT_EQ(Target(2, 1), 15) << "10 .. 30, 1/4 of the way";
    EXPECT_EQ(Target(0, 1), 15);
    EXPECT_EQ(Target(1, 1), 26) << "a row with an NC edge stays";
    EXPECT_EQ(Target(1, 0), 255);
    wbo.Block().AskValue = [](const TValuePrompt&) { return std::optional<double>(0.3); };
    wbo.BlockCommand(TBlockOp::Add);
    EXPECT_EQ(Target(0, 0), 3);
    EXPECT_EQ(Target(2, 2), 33);
    EXPECT_EQ(UndoText(), "Undo: AFR map 9 cells +0.3");
}

}  // namespace
}  // namespace zv::test
