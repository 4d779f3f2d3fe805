// The mixture the engine burns against the map, and the wideband sensor that reports it late.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim_test_support.h"
#include "unit/wideband_sensor.h"

namespace zv::sim {
namespace {

using test::Config;
using test::DefaultImage;
using test::kWarm;
using test::RpmFor;
using test::TWire;
using Record = std::vector<std::uint8_t>;

// Flags word: input F as wideband lambda input (bits 2 and 8), the controller (bit 10).
constexpr std::uint16_t kFWideband = (1 << 2) | (1 << 8);
constexpr std::uint16_t kController = 1 << 10;

// Default sites, lowest first.
constexpr int kTps[16] = {29, 34, 41, 49, 62, 74, 87, 100, 113, 128, 141, 156, 171, 184, 197, 210};
constexpr int kRpm[16] = {13, 24, 33, 45, 57, 70, 83, 96, 109, 123, 137, 151, 165, 177, 189, 199};

struct Bench : test::TBench {
    explicit Bench(const ImageBytes& image) : TBench(Config(3, 38), image) {}
    void HoldAtSites(int t, int r) { Unit.Engine().Cycle().HoldAt(kTps[t], RpmFor(kRpm[r])); }
    // Mean AFR on input F (byte 5) over four periods of the mixture's wander, on the data
    // set's scale: 8.9 AFR at 0 V, 18.9 at 5 V.
    double MeanAfr(std::uint64_t from) {
        double sum = 0;
        int n = 0;
        for (std::uint64_t t = from; t < from + 6800; t += 50, ++n)
            sum += 8.9 + At(t)[5] * 10.0 / 255.0;
        return sum / n;
    }
};

// A real exhaust: the gas sweeps the volume out at speed times load. About a second at idle
// (900 rpm, throttle closed at 32: load 0.2 + 0.8 x (1 - 0.8745^2.775) = 0.4486), 0.11 s at
// 6000 rpm full load, between with load as well as speed.
TEST(WidebandSensor, DelayFollowsSpeedAndLoad) {
    EXPECT_EQ(WidebandDelayMs(32, 0), 4000);
    EXPECT_NEAR(WidebandDelayMs(32, 900), 50 + 380000 / (900 * 0.4486), 1);
    EXPECT_EQ(WidebandDelayMs(255, 6000), 50 + 380000 / 6000);
    EXPECT_EQ(WidebandDelayMs(255, 1300), 50 + 380000 / 1300);
    EXPECT_GT(WidebandDelayMs(60, 3000), WidebandDelayMs(200, 3000));
}

// A leaner cell under the held point changes the injector output in the next loop; the sensor
// on input F and the measured AFR the controller works with (byte 12) follow only after the
// exhaust's delay at that engine speed, and then with a lag, not at once.
TEST(WidebandSensor, MixtureStepShowsAfterTheDelayNotBefore) {
    struct Case {
        int R;        // rpm site index
        int DelayMs;  // at throttle 113 and that site's speed: 942 and 6942 rpm
    };
    for (const Case c : {Case{1, 529}, Case{13, 132}}) {
        const ImageBytes image = DefaultImage(38, kFWideband | kController);
        Bench steady(image), stepped(image);
        steady.HoldAtSites(8, c.R);
        stepped.HoldAtSites(8, c.R);
        ASSERT_EQ(steady.At(kWarm), stepped.At(kWarm));
        const int cell = image[img::FuelMap + 16 * 7 + (15 - c.R)];
        const auto leaner = static_cast<std::uint8_t>(cell * 4 / 5);
        const std::uint16_t address = static_cast<std::uint16_t>(0x100 + 16 * 7 + (15 - c.R));
        ASSERT_EQ(stepped.Wire.ChecksumWrite(0xA3, address, leaner), Record{0x06});
        const std::uint64_t first = kWarm + 10;  // the first loop after the write
        EXPECT_NE(stepped.At(first)[13], steady.At(first)[13]) << "output changes at once";

        const std::uint64_t before = first + static_cast<std::uint64_t>(c.DelayMs) - 20;
        const std::uint64_t after = first + static_cast<std::uint64_t>(c.DelayMs) + 20;
        Record s = steady.At(before), x = stepped.At(before);
        EXPECT_EQ(x[5], s[5]) << c.R;
        EXPECT_EQ(x[12], s[12]) << c.R;
        s = steady.At(after);
        x = stepped.At(after);
        EXPECT_GT(x[5] - s[5], 3) << c.R;  // leaner reads higher
        EXPECT_LT(x[5] - s[5], 40) << "a first-order lag, not a jump";
        EXPECT_GT(x[12], s[12]) << c.R;
    }
}

// For its first 8 s after the engine start the wideband device heats its sensor and puts out
// 0 V: below the sensor error limit (13), so the unit's controller flags it (byte 18 bit 0).
TEST(WidebandSensor, InvalidWhileItHeatsAfterTheEngineStart) {
    TSimUnitConfig c = Config(3, 38);
    c.EngineStartMs = 10000;
    TSimUnit unit(c);
    unit.LoadImage(DefaultImage(38, kFWideband | kController));
    TWire wire(unit);
    for (std::uint64_t t : {5000u, 10000u, 12000u, 17990u}) {
        wire.NowMs = t;
        const Record r = wire.Live();
        EXPECT_EQ(r[5], 0) << t;
        EXPECT_EQ(r[18] & 0x01, 0x01) << t;
    }
    // Heated, it reads the cold engine's mixture: lean at first (a cold engine without its
    // temperature correction, input F being the wideband input), within the limits once the
    // exhaust has carried the idling gas through.
    wire.NowMs = 18000;
    EXPECT_GT(wire.Live()[5], 13);
    wire.NowMs = 30000;
    const Record r = wire.Live();
    EXPECT_GT(r[5], 13);
    EXPECT_LT(r[5], 242);
    EXPECT_EQ(r[18] & 0x01, 0);
}

// Without the controller the default data set burns its AFR targets once warm.
TEST(Mixture, DefaultDataSetRunsAtItsTargets) {
    Bench b(DefaultImage(38, kFWideband));
    struct Case {
        int T, R;
        double Afr;
    };
    std::uint64_t t = kWarm;
    for (const Case c : {Case{8, 5, 14.7}, Case{3, 14, 13.8}, Case{10, 15, 13.4}, Case{12, 9, 12.9},
                         Case{15, 15, 12.4}, Case{15, 0, 13.0}}) {
        b.HoldAtSites(c.T, c.R);
        // Settled: a closing throttle's fuel cut-back has run out.
        EXPECT_NEAR(b.MeanAfr(t + 4000), c.Afr, 0.12) << c.T << "/" << c.R;
        t += 11000;
    }
}

// A block of cells scaled by 0.85 runs lean there by 1/0.85, at its targets away from it, and
// in between where the unit interpolates into the block.
TEST(Mixture, LeanBlockRunsLeanThereOnly) {
    ImageBytes image = DefaultImage(38, kFWideband);
    for (int t = 6; t <= 9; ++t) {
        for (int r = 5; r <= 8; ++r) {
            std::uint8_t& cell = image[img::FuelMap + 16 * (15 - t) + (15 - r)];
            cell = static_cast<std::uint8_t>(cell * 0.85);
        }
    }
    Bench b(image);
    // Each reading 4 s after the hold moved on, when a closing throttle's cut-back is over.
    b.HoldAtSites(7, 6);
    EXPECT_NEAR(b.MeanAfr(kWarm), 14.7 / 0.85, 0.2);
    b.HoldAtSites(9, 8);
    EXPECT_NEAR(b.MeanAfr(kWarm + 11000), 14.7 / 0.85, 0.2);
    b.HoldAtSites(12, 12);
    EXPECT_NEAR(b.MeanAfr(kWarm + 22000), 12.9, 0.12);
    b.HoldAtSites(5, 6);
    EXPECT_NEAR(b.MeanAfr(kWarm + 33000), 14.7, 0.12);
    // Half way from the block's top row (throttle site 9) to the next (site 10, target 14.2).
    b.Unit.Engine().Cycle().HoldAt((kTps[9] + kTps[10]) / 2, RpmFor(kRpm[6]));
    const double between = b.MeanAfr(kWarm + 44000);
    EXPECT_GT(between, 14.7);
    EXPECT_LT(between, 14.7 / 0.85 - 0.3);
}

}  // namespace
}  // namespace zv::sim
