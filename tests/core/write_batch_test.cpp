// How the edits of one operation are planned as the link's writes: whole rows where a row
// changed in four bytes or more, otherwise single bytes and pairs, each at the unit's address.
#include <gtest/gtest.h>

#include "history/edit_history.h"
#include "link/write_batch.h"

namespace zv::test {
namespace {

// A fuel map cell (t, r) lies at image offset 768 + 16 (15 - t) + 15 - r; the unit keeps the
// map at 0x100 from firmware 9 on and at 0x300 before.
TImageWrite MapCell(int t, int r, int firmware) {
    const auto k = static_cast<std::uint16_t>(16 * (15 - t) + 15 - r);
    TImageWrite write;
    write.Offset = 768u + k;
    write.Address = static_cast<std::uint16_t>((firmware >= 9 ? 0x100 : 0x300) + k);
    return write;
}

// As the edit step adds a write: bytes only the PC keeps never go to the unit.
void Add(TWriteBatch& batch, const TImageWrite& write, std::size_t length) {
    if (write.ToUnit)
        batch.Add(write.Offset, write.Area, write.Address, length);
}

TEST(WriteBatch, ARowOfFourOrMoreChangedBytesGoesWholeAtTheFirmwaresMapAddress) {
    for (const auto& [firmware, rowAddress] : {std::pair{9, 0x1D0}, std::pair{8, 0x3D0}}) {
        TWriteBatch batch;
        // Row t = 2 (k = 208..223): four cells apart from each other.
        for (int r : {0, 5, 10, 15})
            Add(batch, MapCell(2, r, firmware), 1);
        const std::vector<TBatchWrite> plan = batch.Plan(firmware);
        ASSERT_EQ(plan.size(), 1u) << firmware;
        EXPECT_EQ(plan[0], (TBatchWrite{768 + 208, 2, static_cast<std::uint16_t>(rowAddress), 16}))
            << firmware;
    }
}

TEST(WriteBatch, ThreeBytesOfARowGoAsAPairAndASingleByte) {
    TWriteBatch batch;
    for (int r : {6, 5, 4})  // k = 217, 218, 219: the cells at addresses 0x1D9..0x1DB
        Add(batch, MapCell(2, r, 30), 1);
    Add(batch, MapCell(2, 4, 30), 1);  // the same cell twice counts once
    const std::vector<TBatchWrite> plan = batch.Plan(30);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0], (TBatchWrite{768 + 217, 2, 0x1D9, 2}));
    EXPECT_EQ(plan[1], (TBatchWrite{768 + 219, 2, 0x1DB, 1}));
}

TEST(WriteBatch, RowsGoInTheOrderTheOperationFirstTouchedThem) {
    TWriteBatch batch;
    for (int t : {5, 1, 5}) {
        for (int r = 0; r < 16; ++r)
            Add(batch, MapCell(t, r, 30), 1);
    }
    const std::vector<TBatchWrite> plan = batch.Plan(30);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].Address, 0x100 + 16 * 10);
    EXPECT_EQ(plan[1].Address, 0x100 + 16 * 14);
}

TEST(WriteBatch, AfrRowsGoToTheirAreaAndPcOnlyBytesNowhere) {
    TWriteBatch batch;
    // AFR map row at offset 1792 + 512 + 32: area 1, address 544, on units with an AFR map.
    for (std::size_t i = 0; i < 5; ++i) {
        TImageWrite write;
        write.Offset = 1792 + 512 + 32 + 3 * i;
        write.Area = 1;
        write.Address = static_cast<std::uint16_t>(512 + 32 + 3 * i);
        Add(batch, write, 1);
    }
    TImageWrite pcOnly;
    pcOnly.Offset = 1792 + 1000;
    pcOnly.ToUnit = false;
    Add(batch, pcOnly, 16);
    std::vector<TBatchWrite> plan = batch.Plan(30);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0], (TBatchWrite{1792 + 512 + 32, 1, 544, 16}));
    // Before firmware 26 the unit has no AFR map to read back as rows: its bytes go one by one.
    plan = batch.Plan(25);
    ASSERT_EQ(plan.size(), 5u);
    EXPECT_EQ(plan[4], (TBatchWrite{1792 + 512 + 44, 1, 556, 1}));
}

TEST(WriteBatch, AWordAndAWholeRowStayAsTheyWere) {
    TWriteBatch batch;
    TImageWrite word = MapCell(0, 0, 30);
    word.Offset = 10;
    word.Address = 10;
    Add(batch, word, 2);
    const std::vector<TBatchWrite> plan = batch.Plan(30);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0], (TBatchWrite{10, 2, 10, 2}));
}

}  // namespace
}  // namespace zv::test
