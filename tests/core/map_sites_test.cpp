// The fuel map's site lookups, the operating point's height and the wideband readout.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "data/zv_data_class.h"
#include "editors/map_sites.h"
#include "editors/site_move_fuel.h"
#include "editors/wideband_readout.h"

namespace zv {
namespace {

TSites EvenSites() {
    TSites s{};
    for (int i = 0; i < 16; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(17 * i);
    return s;
}

// Cell (t, r) holds 10 t + r: interpolation results are easy to type by hand.
std::array<std::uint8_t, 256> RampMap() {
    std::array<std::uint8_t, 256> map{};
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r)
            map[FuelMapOffset(t, r) - img::FuelMap] = static_cast<std::uint8_t>(10 * t + r);
    }
    return map;
}

TEST(MapSites, SiteIndexFindsTheSmallestSiteNotBelowTheValue) {
    // Stored highest first: 240, 224, ..., 0 (site k = 240 - 16 k).
    std::array<std::uint8_t, 16> s{};
    for (int k = 0; k < 16; ++k)
        s[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(240 - 16 * k);
    EXPECT_EQ(SiteIndex(255, s, 15), 0);
    EXPECT_EQ(SiteIndex(240, s, 15), 0);
    EXPECT_EQ(SiteIndex(239, s, 15), 0);
    EXPECT_EQ(SiteIndex(224, s, 15), 1);
    EXPECT_EQ(SiteIndex(17, s, 15), 13) << "16 < 17 <= 32";
    EXPECT_EQ(SiteIndex(16, s, 15), 14);
    EXPECT_EQ(SiteIndex(1, s, 15), 14);
    EXPECT_EQ(SiteIndex(0, s, 15), 15);
}

TEST(MapSites, AnAxisThatDoesNotRiseIsShownEvenlyAndKeptInTheImage) {
    TSites s = EvenSites();
    s[5] = s[4];
    EXPECT_FALSE(SitesValid(s));
    EXPECT_EQ(DisplayedSites(s), EvenSites());
    TSites rising = EvenSites();
    rising[15] = 250;
    EXPECT_EQ(DisplayedSites(rising), rising);
    EXPECT_EQ(SiteLabel(255, kRpmScaleMax), 10000);
    EXPECT_EQ(SiteLabel(128, kRpmScaleMax), 5019);
    EXPECT_EQ(SiteLabel(128, kThrottleScaleMax), 50);
}

TEST(MapSites, MarkerHeightInterpolatesBetweenTheFourCells) {
    const auto map = RampMap();
    const TSites even = EvenSites();
    // 128 lies between sites 7 (119) and 8 (136): 9/17 of the way on both axes.
    // Rows: f(7) = 77 + (78 - 77) * 9 / 17 = 77, f(8) = 87; height 77 + 10 * 9 / 17 = 82.
    EXPECT_EQ(MarkerHeight(map, even, even, 128, 128), 82);
    EXPECT_EQ(MarkerHeight(map, even, even, 0, 0), 0);
    EXPECT_EQ(MarkerHeight(map, even, even, 255, 255), 165);
    EXPECT_DOUBLE_EQ(AxisPosition(even, 136), 8.0);

    TSites raised = even;
    raised[0] = 20;
    raised[1] = 40;
    // Throttle 0 is taken as 20, the lowest site: row 0 alone.
    EXPECT_EQ(MarkerHeight(map, raised, even, 0, 34), 2);
    EXPECT_DOUBLE_EQ(AxisPosition(raised, 0), 0.0);

    // A falling row gives a negative step that is cut toward zero: cells 100 and 0 over
    // rpm sites 0 and 17, at rpm 1: 100 + (-100 * 1 / 17) = 100 - 5 = 95.
    auto falling = map;
    falling[FuelMapOffset(0, 0) - img::FuelMap] = 100;
    falling[FuelMapOffset(0, 1) - img::FuelMap] = 0;
    EXPECT_EQ(MarkerHeight(falling, even, even, 0, 1), 95);
}

// Cell (t, r) holds t + 8 r: steep along the rpm axis.
TMapBytes RpmRampMap() {
    TMapBytes map{};
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r)
            map[FuelMapOffset(t, r) - img::FuelMap] = static_cast<std::uint8_t>(t + 8 * r);
    }
    return map;
}

int CellOf(const TMapBytes& map, int t, int r) {
    return map[FuelMapOffset(t, r) - img::FuelMap];
}

// Over every raw value of the moved axis at a fixed value of the other, the unit's output with
// the moved site and the followed map is within one step of what it was before.
void ExpectSameFuel(const TMapBytes& before, const TMapBytes& after, const TSites& old,
                    const TSites& moved, bool rpm, std::uint8_t other) {
    const TSites even = EvenSites();
    for (int raw = 0; raw < 256; ++raw) {
        const auto v = static_cast<std::uint8_t>(raw);
        const int was = rpm ? MarkerHeight(before, even, old, other, v)
                            : MarkerHeight(before, old, even, v, other);
        const int now = rpm ? MarkerHeight(after, even, moved, other, v)
                            : MarkerHeight(after, moved, even, v, other);
        ASSERT_LE(std::abs(now - was), 1) << raw;
    }
}

TEST(MapSites, AMovedSiteTakesTheValueTheMapGaveAtItsNewPlace) {
    const TSites even = EvenSites();
    const TMapBytes ramp = RampMap();
    // Throttle site 3 (index 2, 34) to 40: 20 + r + 10 x 6 / 17 = 23 + r in each column.
    TSites moved = even;
    moved[2] = 40;
    const TMapBytes throttle = MapForMovedSite(ramp, even, even, false, 2, 40);
    EXPECT_EQ(CellOf(throttle, 2, 0), 23);
    EXPECT_EQ(CellOf(throttle, 2, 15), 38);
    EXPECT_EQ(CellOf(throttle, 1, 7), 17) << "other rows stay";
    EXPECT_EQ(CellOf(throttle, 3, 7), 37);
    ExpectSameFuel(ramp, throttle, even, moved, false, 85);
    // The highest site down to 250: 140 + r + 10 x 12 / 17 = 147 + r.
    EXPECT_EQ(CellOf(MapForMovedSite(ramp, even, even, false, 15, 250), 15, 4), 151);

    // Rpm site 6 (index 5, 85) to 80: t + 32 + 8 x 12 / 17 = t + 37; to 100: t + 40 + 120 / 17.
    const TMapBytes steep = RpmRampMap();
    moved = even;
    moved[5] = 80;
    const TMapBytes down = MapForMovedSite(steep, even, even, true, 5, 80);
    EXPECT_EQ(CellOf(down, 0, 5), 37);
    EXPECT_EQ(CellOf(down, 15, 5), 52);
    EXPECT_EQ(CellOf(down, 15, 4), 47) << "other columns stay";
    ExpectSameFuel(steep, down, even, moved, true, 119);
    moved[5] = 100;
    const TMapBytes up = MapForMovedSite(steep, even, even, true, 5, 100);
    EXPECT_EQ(CellOf(up, 9, 5), 56);
    ExpectSameFuel(steep, up, even, moved, true, 0);

    // Beyond the ends the map gives its edge value: the lowest site, moved below, keeps it.
    TSites raised = even;
    raised[0] = 20;
    EXPECT_EQ(MapForMovedSite(steep, even, raised, true, 0, 10), steep);
}

// Throttle rows 0..2 hold `low0` at rpm site 0 and `low1` beyond; rows 3..15 `high0`, `high1`.
TMapBytes TwoRowMap(int low0, int low1, int high0, int high1) {
    TMapBytes map{};
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r)
            map[FuelMapOffset(t, r) - img::FuelMap] = static_cast<std::uint8_t>(
                t <= 2 ? (r == 0 ? low0 : low1) : (r == 0 ? high0 : high1));
    return map;
}

// At every engine speed along throttle `at` (where site 3 now lies) the unit reads within one
// count of what it read there before.
void ExpectLineWithinOne(const TMapBytes& before, const TMapBytes& after, std::uint8_t at) {
    const TSites even = EvenSites();
    TSites moved = even;
    moved[2] = at;
    for (int raw = 0; raw < 256; ++raw) {
        const auto x = static_cast<std::uint8_t>(raw);
        ASSERT_LE(std::abs(MarkerHeight(after, moved, even, at, x) -
                           MarkerHeight(before, even, even, at, x)),
                  1)
            << raw;
    }
}

// Along the moved site's new line the unit reads the fuel it read there before: exactly for an
// rpm site (its cells are what each throttle row gave at that engine speed), and within a count
// for a throttle site, whose cells the unit now reads along engine speed on their own.
TEST(MapSites, AMovedSiteKeepsTheFuelAlongItsLineAsTheUnitReadsIt) {
    const TSites even = EvenSites();
    // Throttle site 3 (index 2) from 34 to 40, 6/17 of the way to 51. Before, at throttle 40:
    // rpm 0: 9 + 5 x 6 / 17 = 10; rpm 8: rows 9 + 30 x 8 / 17 = 23 and 14 - 6 x 8 / 17 = 12, so
    // 23 - 11 x 6 / 17 = 20; from rpm 17 on: 39 - 31 x 6 / 17 = 29.
    const TMapBytes map = TwoRowMap(9, 39, 14, 8);
    TSites moved = even;
    moved[2] = 40;
    EXPECT_EQ(MarkerHeight(map, even, even, 40, 0), 10);
    EXPECT_EQ(MarkerHeight(map, even, even, 40, 8), 20);
    const TMapBytes after = MapForMovedSite(map, even, even, false, 2, 40);
    // Cells 10 and 29 would give 10 + 19 x 8 / 17 = 18 at rpm 8, two counts lean; 11 and 29
    // give 11 + 18 x 8 / 17 = 19 there and are never more than one count off.
    EXPECT_EQ(CellOf(after, 2, 0), 11);
    EXPECT_EQ(CellOf(after, 2, 1), 29);
    EXPECT_EQ(CellOf(after, 2, 15), 29);
    EXPECT_EQ(MarkerHeight(after, moved, even, 40, 8), 19);
    ExpectLineWithinOne(map, after, 40);
    EXPECT_EQ(CellOf(after, 3, 0), 14) << "other rows stay";
    // The worst count off comes first, then how many engine speeds are off: to 50, 16/17 of
    // the way, cells 12 and 3 would miss fewer engine speeds but two counts at some.
    const TMapBytes steeper = TwoRowMap(10, 19, 11, 2);
    const TMapBytes far = MapForMovedSite(steeper, even, even, false, 2, 50);
    EXPECT_EQ(CellOf(far, 2, 0), 11);
    EXPECT_EQ(CellOf(far, 2, 1), 3) << "19 - 17 x 16 / 17";
    ExpectLineWithinOne(steeper, far, 50);

    // Rpm site 6 (index 5) of the steep map from 85 to 80: exact at every throttle position.
    const TMapBytes steep = RpmRampMap();
    TSites rpmMoved = even;
    rpmMoved[5] = 80;
    const TMapBytes down = MapForMovedSite(steep, even, even, true, 5, 80);
    for (int raw = 0; raw < 256; ++raw) {
        const auto x = static_cast<std::uint8_t>(raw);
        ASSERT_EQ(MarkerHeight(down, even, rpmMoved, x, 80), MarkerHeight(steep, even, even, x, 80))
            << raw;
    }
}

class WidebandReadout : public ::testing::Test {
  protected:
    // Device 0: AFR = raw / 25.5 + 9 (raw 51: 11.0, raw 102: 13.0, raw 153: 15.0).
    void Show(std::uint8_t raw, int level, bool afrMaster = true, int device = 0) {
        readout.ShowWidebandValue(raw, {&data, device}, level, afrMaster);
    }
    TZVDataClass data;
    TWidebandReadout readout;
};

TEST_F(WidebandReadout, OnlyValidReadingsEnterTheAverage) {
    data.DeviceData.Firmware = 27;
    Show(153, 0);
    EXPECT_EQ(readout.State().Master, "15.0");
    EXPECT_EQ(readout.State().Slave, "1.02");
    EXPECT_EQ(readout.State().SlaveText, "Lambda");
    EXPECT_EQ(readout.State().MasterText, "AFR") << "each display is named";
    EXPECT_EQ(readout.State().BarProgress, 40);
    EXPECT_EQ(readout.State().BarColour, TAfrBarColour::Green);
    for (std::uint8_t raw : {std::uint8_t{0}, std::uint8_t{255}}) {
        Show(raw, 0);
        EXPECT_EQ(readout.State().Master, "---");
        EXPECT_EQ(readout.State().Slave, "---");
        EXPECT_EQ(readout.State().BarProgress, 255);
        EXPECT_EQ(readout.State().BarColour, TAfrBarColour::ButtonFace);
        EXPECT_DOUBLE_EQ(readout.Average(), 15.0) << int(raw);
    }
    Show(204, 0, true, 1);  // the VGS device's 73.5 AFR
    EXPECT_EQ(readout.State().Master, "---") << "30 AFR and more is no reading";
    EXPECT_DOUBLE_EQ(readout.Average(), 15.0);
    // From firmware 28 the PC-side scale applies: 0 V = 10.0, 5 V = 20.0 AFR; raw 153 is 16.0.
    data.DeviceData.Firmware = 28;
    data.DeviceData.DispAfrAt0V = 100;
    data.DeviceData.DispAfrAt5V = 200;
    Show(153, 0, false);
    EXPECT_EQ(readout.State().Master, "1.09");
    EXPECT_EQ(readout.State().Slave, "16.0");
    EXPECT_EQ(readout.State().SlaveText, "AFR");
    EXPECT_EQ(readout.State().MasterText, "Lambda");
    EXPECT_EQ(readout.State().BarColour, TAfrBarColour::Red);
}

TEST_F(WidebandReadout, SmoothingLevelWeighsEachReading) {
    data.DeviceData.Firmware = 20;
    Show(153, 0);
    Show(51, 0);
    EXPECT_DOUBLE_EQ(readout.Average(), 11.0) << "level 0: the last valid reading";
    EXPECT_EQ(readout.State().BarColour, TAfrBarColour::Yellow);
    Show(153, 5);
    EXPECT_NEAR(readout.Average(), (11.0 * 5 + 15.0) / 6, 1e-9) << "level 5: one sixth";
}

}  // namespace
}  // namespace zv
