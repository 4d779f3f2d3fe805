// An operation that changes many cells reaches the unit as whole rows, one after the other,
// with the status bar counting them; its undo goes the same way; a batch cut off by a
// vanishing unit leaves the data set marked as changed.
#include "editors/map_form.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

constexpr std::uint8_t kPlus = 187;

class BlockWrites : public PageTest {
  protected:
    // The whole map selected, every cell at 100 in the PC and in the unit.
    void WholeMapAt100() {
        GoOnline(30, Map);
        for (std::size_t k = 0; k < 256; ++k) {
            At(img::FuelMap + k) = 100;
            Unit->Poke(2, static_cast<std::uint16_t>(0x100 + k), 100);
        }
        Map.LoadFromImage();
        Map.CellDrag(0, 0, 15, 15);
        Records = 0;
        Statuses.clear();
    }
    bool AllSent() {
        return Clock.RunUntil([&] { return Online->Link().QueuedWrites() == 0; }, 60000);
    }
    int UnitCellsAt(int value) {
        int n = 0;
        for (std::size_t k = 0; k < 256; ++k)
            n += Unit->Peek(2, static_cast<std::uint16_t>(0x100 + k)) == value;
        return n;
    }

    TMapForm Map{Host};
};

TEST_F(BlockWrites, WholeMapPlusOneGoesAsSixteenRowsAndItsUndoLikewise) {
    WholeMapAt100();
    const std::uint64_t start = Clock.NowUs();
    Map.HandleKey(kPlus);
    ASSERT_TRUE(AllSent());
    EXPECT_EQ(UnitCellsAt(101), 256);
    // Sixteen rows of sixteen checked writes and a read-back each are about two seconds of
    // wire time; one write a cell with a live record between them took fifty.
    EXPECT_LT(Clock.NowUs() - start, 4'000'000u);
    EXPECT_LE(Records, 4) << "a live record about every second, not one between writes";
    EXPECT_TRUE(Saw("Writing 1 of 16 rows"));
    EXPECT_TRUE(Saw("Writing 16 of 16 rows"));
    Clock.Advance(300);
    EXPECT_EQ(Statuses.back(), "Run Online");

    Statuses.clear();
    ASSERT_TRUE(Main.Undo());
    ASSERT_TRUE(AllSent());
    EXPECT_EQ(UnitCellsAt(100), 256);
    EXPECT_TRUE(Saw("Writing 16 of 16 rows"));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
}

TEST_F(BlockWrites, ABatchCutOffByAVanishingUnitLeavesTheDataSetMarkedChanged) {
    WholeMapAt100();
    Map.HandleKey(kPlus);
    Clock.Advance(600);  // a few rows are in the unit
    Unit->Vanish();
    Clock.RunUntil([&] { return Online->LinkState() != link::RunOnline; }, 30000);
    Clock.Advance(1000);
    const int sent = UnitCellsAt(101);
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, 256);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
}

}  // namespace
}  // namespace zv::test
