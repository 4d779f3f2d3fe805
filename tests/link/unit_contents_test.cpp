// What the link learns of the unit's memory: every uploaded block and every read-back of
// written bytes, at the image offsets of the unit's firmware, and nothing it did not read.
#include <gtest/gtest.h>

#include "link/sim_unit_fixture.h"
#include "link/transfer_table.h"

namespace zv::test {
namespace {

// The fuel map moved from 0x300 to 0x100 at firmware 9; the AFR map is read from 26 on.
TEST(UnitPlaces, ImageOffsetsOfTheUnitsAddressesOnBothSidesOfEachSwitch) {
    EXPECT_EQ(ImageOffsetOf(2, 0x300, 8), 768u);
    EXPECT_EQ(ImageOffsetOf(2, 0x3FF, 8), 1023u);
    EXPECT_EQ(ImageOffsetOf(2, 0x100, 8), std::nullopt);
    EXPECT_EQ(ImageOffsetOf(2, 0x100, 9), 768u);
    EXPECT_EQ(ImageOffsetOf(2, 0x300, 9), std::nullopt);
    EXPECT_EQ(ImageOffsetOf(2, 0x0FF, 2), 255u) << "device data on every unit";
    EXPECT_EQ(ImageOffsetOf(2, 0x200, 30), std::nullopt);
    EXPECT_EQ(ImageOffsetOf(1, 512, 26), 1792u + 512u);
    EXPECT_EQ(ImageOffsetOf(1, 767, 26), 1792u + 767u);
    EXPECT_EQ(ImageOffsetOf(1, 768, 26), std::nullopt);
    EXPECT_EQ(ImageOffsetOf(1, 512, 25), std::nullopt);
    EXPECT_EQ(ImageOffsetOf(2, 512, 26), std::nullopt) << "area 2 has no AFR map";
    EXPECT_TRUE(UnitKeeps(1792 + 600, 26));
    EXPECT_FALSE(UnitKeeps(1792 + 600, 25));
    EXPECT_FALSE(UnitKeeps(1024, 30)) << "past the fuel map";
    EXPECT_TRUE(UnitKeeps(0, 3));
}

class UnitContentsTest : public SimUnitTest {
  protected:
    void SetUp() override {
        SimUnitTest::SetUp();
        for (std::size_t i = 0; i < kImageSize; ++i)
            Data.DeviceData.Image[i] = static_cast<std::uint8_t>(i * 13 + 5);
        Clock.Advance(500);
    }
    std::uint8_t Run(TTransfer transfer) {
        EXPECT_TRUE(StartTransfer(*Link, Data, transfer));
        EXPECT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 60000));
        return Link->JobResult();
    }
    // Every byte the link claims to know is the unit's own.
    void ExpectKnownBytesAreTheUnits() {
        const TUnitContents& c = Link->UnitContents();
        for (std::size_t offset = 0; offset < kImageSize; ++offset) {
            if (!c.Knows(offset))
                continue;
            const bool afr = offset >= kAfrAreaStart;
            const std::size_t inArea = afr ? offset - kAfrAreaStart : offset;
            const auto address = static_cast<std::uint16_t>(
                !afr && offset >= img::FuelMap ? FuelMapAddress(GetParam()) + offset - img::FuelMap
                                               : inArea);
            ASSERT_EQ(c.At(offset), Unit->AreaBytes(afr ? 1 : 2)[address]) << offset;
        }
    }
};

TEST_P(UnitContentsTest, AnUploadedMapIsKnownAtItsImageOffsetsAndNothingElse) {
    ASSERT_EQ(Run(TTransfer::FuelMapUpload), jobresult::Done);
    const TUnitContents& c = Link->UnitContents();
    EXPECT_TRUE(c.Knows(768));
    EXPECT_TRUE(c.Knows(1023));
    EXPECT_FALSE(c.Knows(767));
    EXPECT_FALSE(c.Knows(1024));
    EXPECT_FALSE(c.Knows(0));
    ExpectKnownBytesAreTheUnits();
}

TEST_P(UnitContentsTest, WrittenBytesCountOnlyOnceReadBackAndACutDownloadKnowsWhatItRead) {
    ASSERT_EQ(Run(TTransfer::IdleCurveDownload), jobresult::Done);
    const TUnitContents& c = Link->UnitContents();
    for (std::size_t offset = 208; offset < 224; ++offset)
        EXPECT_TRUE(c.Holds(offset, Data.DeviceData.Image[offset])) << offset;

    // A map download cut off by a vanishing unit: what it knows is what the unit holds.
    ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::FuelMapDownload));
    Clock.Advance(900);
    Unit->Vanish();
    Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 60000);
    ExpectKnownBytesAreTheUnits();
}

INSTANTIATE_TEST_SUITE_P(MapSwitch, UnitContentsTest, ::testing::Values(8, 9));

}  // namespace
}  // namespace zv::test
