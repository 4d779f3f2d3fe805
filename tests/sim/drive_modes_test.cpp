// The engine's drives: a held point and the dynamometer sweep over the unit's own sites.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "sim_test_support.h"

namespace zv::sim {
namespace {

using test::Config;
using test::DefaultImage;
using Record = std::vector<std::uint8_t>;

TSimDrive Hold(int tps, int rpm) {
    TSimDrive d;
    d.Type = TSimDrive::Kind::Hold;
    d.TpsPercent = tps;
    d.Rpm = rpm;
    return d;
}

TSimDrive Sweep() {
    TSimDrive d;
    d.Type = TSimDrive::Kind::Sweep;
    return d;
}

struct Unit : test::TBench {
    Unit(int firmware, const TSimDrive& drive, const ImageBytes& image)
        : TBench(WithDrive(Config(3, firmware), drive), image) {}
    static TSimUnitConfig WithDrive(TSimUnitConfig c, const TSimDrive& drive) {
        c.Drive = drive;
        return c;
    }
};

// Byte 1 engine speed raw (rpm x 255 / 10000), byte 2 throttle raw (percent x 2.55).
TEST(DriveModes, HoldPutsTheRecordAtTheHeldPoint) {
    struct Case {
        int Tps, Rpm;
        std::uint8_t TpsRaw, RpmRaw;
    };
    for (const Case& c : {Case{35, 2400, 89, 61}, Case{50, 5000, 128, 127},
                          Case{100, 10000, 255, 255}, Case{0, 0, 0, 0}, Case{1, 40, 3, 1}}) {
        Unit u(30, Hold(c.Tps, c.Rpm), DefaultImage(30));
        for (std::uint64_t t : {2000u, 5000u, 60000u}) {
            const Record r = u.At(t);
            EXPECT_EQ(r[2], c.TpsRaw) << c.Tps << "% at " << t;
            EXPECT_EQ(r[1], c.RpmRaw) << c.Rpm << " rpm at " << t;
        }
    }
    // Before the hold the engine cranks as in every drive.
    Unit u(30, Hold(35, 2400), DefaultImage(30));
    EXPECT_EQ(u.At(500)[1], 250 * 255 / 10000);
}

// Sites lowest first, moved from the defaults and squeezed into a small span.
constexpr std::array<int, 16> kTps = {20, 26, 33,  40,  47,  55,  63,  72,
                                      81, 90, 100, 111, 122, 134, 147, 160};
constexpr std::array<int, 16> kRpm = {10, 14, 18, 22, 26, 30, 35, 40,
                                      45, 50, 56, 62, 68, 75, 82, 90};

ImageBytes MovedSites() {
    ImageBytes image = DefaultImage(30);
    for (std::size_t i = 0; i < 16; ++i) {
        image[224 + 15 - i] = static_cast<std::uint8_t>(kTps[i]);
        image[240 + 15 - i] = static_cast<std::uint8_t>(kRpm[i]);
    }
    return image;
}

constexpr std::uint64_t kSweepFrom = 62000;  // 2 s start, 60 s warm-up
constexpr std::uint64_t kPass = 818000;      // 256 x 3 s + 25 x 2 s

TEST(DriveModes, SweepHoldsEverySitePairOfTheUnitsOwnSitesThenPointsBetween) {
    Unit u(30, Sweep(), MovedSites());
    // Warm-up at the light load point.
    Record r = u.At(kSweepFrom - 10);
    EXPECT_EQ(r[2], 60);
    EXPECT_EQ(r[1], 2500 * 255 / 10000);

    std::set<std::pair<int, int>> visited;
    std::vector<std::pair<int, int>> order;
    std::pair<int, int> last{-1, -1};
    for (std::uint64_t k = 0; k < 256; ++k) {
        const std::uint64_t from = kSweepFrom + k * 3000;
        const Record mid = u.At(from + 500);     // half way up the ramp
        const Record early = u.At(from + 1000);  // the hold begins
        const Record late = u.At(from + 2990);   // and lasts to the next ramp
        ASSERT_EQ(early[2], late[2]) << k;
        ASSERT_EQ(early[1], late[1]) << k;
        const std::pair<int, int> at{early[2], early[1]};
        if (k > 0 && at != last) {
            const bool between = (mid[2] - last.first) * (at.first - mid[2]) >= 0 &&
                                 (mid[1] - last.second) * (at.second - mid[1]) >= 0;
            EXPECT_TRUE(between && (mid[2] != at.first || mid[1] != at.second)) << k;
        }
        visited.insert(at);
        order.push_back(at);
        last = at;
    }
    std::set<std::pair<int, int>> all;
    for (int t : kTps)
        for (int n : kRpm)
            all.insert({t, n});
    EXPECT_EQ(visited, all);
    // Up the speeds on the lowest throttle site, down them on the next.
    EXPECT_EQ(order[0], (std::pair{20, 10}));
    EXPECT_EQ(order[15], (std::pair{20, 90}));
    EXPECT_EQ(order[16], (std::pair{26, 90}));
    EXPECT_EQ(order[17], (std::pair{26, 82}));
    EXPECT_EQ(order[255], (std::pair{160, 10}));

    // Then the middles of the gaps 1, 4, 7, 10, 13 of both axes, held 1 s after a 1 s ramp.
    const std::uint64_t between = kSweepFrom + 256 * 3000;
    r = u.At(between + 1000);
    EXPECT_EQ(r[2], (26 + 33) / 2);
    EXPECT_EQ(r[1], (14 + 18) / 2);
    const Record held = u.At(between + 1990);
    EXPECT_EQ(held[2], r[2]);
    EXPECT_EQ(held[1], r[1]);
    r = u.At(between + 2000 + 1000);
    EXPECT_EQ(r[2], (26 + 33) / 2);
    EXPECT_EQ(r[1], (26 + 30) / 2);
    r = u.At(between + 24 * 2000 + 1500);  // the last: gap 13 of both
    EXPECT_EQ(r[2], (134 + 147) / 2);
    EXPECT_EQ(r[1], (75 + 82) / 2);
}

TEST(DriveModes, SweepPassLastsItsDocumentedTimeAndRepeats) {
    EXPECT_EQ(TSweepPlan::kPassMs, kPass);
    EXPECT_EQ(TDriveCycle::kSweepFromMs, kSweepFrom);
    Unit u(30, Sweep(), MovedSites());
    // The last point of a pass is held up to its end; the first comes again after its ramp.
    Record r = u.At(kSweepFrom + kPass - 10);
    EXPECT_EQ(r[2], (134 + 147) / 2);
    r = u.At(kSweepFrom + kPass + 1000);
    EXPECT_EQ(r[2], 20);
    EXPECT_EQ(r[1], 10);
    r = u.At(kSweepFrom + 2 * kPass + 3000 + 1000);
    EXPECT_EQ(r[2], 20);
    EXPECT_EQ(r[1], 14);
}

// Below firmware 9 the unit keeps fixed sites, and the sweep follows them.
TEST(DriveModes, SweepOfAnOlderUnitRunsOverItsFixedSites) {
    Unit u(8, Sweep(), DefaultImage(8));
    const auto point = [&u](std::uint64_t k) {
        const Record r = u.At(kSweepFrom + k * 3000 + 2000);  // Live11: rpm byte 0, throttle 1
        return std::pair<int, int>{r[1], r[0]};
    };
    EXPECT_EQ(point(0), (std::pair{31, 7}));
    EXPECT_EQ(point(15), (std::pair{31, 225}));
    EXPECT_EQ(point(16), (std::pair{45, 225}));
    EXPECT_EQ(point(40), (std::pair{59, 137}));
    EXPECT_EQ(point(255), (std::pair{242, 7}));
}

}  // namespace
}  // namespace zv::sim
