// How long before a reading its gas was made, and what the log's fuel-cut edges say of it.
#include <gtest/gtest.h>

#include "autotune/delay_estimate.h"
#include "autotune/sample_judge.h"
#include "tune_fixture.h"

namespace zv {
namespace {

using test::Steady;

// Records 50 ms apart: idling (900 rpm, throttle closed at 32) up to 2.0 s, then the throttle
// wide open at 2000 rpm.
std::vector<TTuneSample> TipIn() {
    std::vector<TTuneSample> s;
    for (int i = 0; i <= 60; ++i) {
        const double t = 0.05 * i;
        s.push_back(t < 2.0 - 1e-9 ? Steady(t, 900, 32, 14.7) : Steady(t, 2000, 255, 14.7));
    }
    return s;
}

// The default model: 80 ms and 285 rpm-seconds of exhaust at full load; a closed throttle
// breathes 0.25 + 0.75 x 32 / 255 = 0.344118 of it, so idling pushes 309.706 a second.
TEST(GasDelay, TheGasSweepsTheExhaustAtTheFlowOfItsWay) {
    const std::vector<TTuneSample> s = TipIn();
    const TTuneSettings settings;
    // Idling: 0.08 + 285 / 309.706.
    EXPECT_NEAR(GasDelayS(s, 30, settings), 1.00023, 1e-4);
    // Wide open for a second: 0.08 + 285 / 2000.
    EXPECT_NEAR(GasDelayS(s, 60, settings), 0.2225, 1e-4);
    // 0.2 s after the tip-in the fast gas has pushed 0.12 s x 2000 = 240 of the 285; the rest
    // is idling gas, 45 / 309.706 = 0.1453 s before the tip-in. The reading belongs there, not
    // to the open throttle 0.2225 s before it.
    EXPECT_NEAR(GasDelayS(s, 44, settings), 0.2 + 0.1453, 1e-4);
    TTuneSettings twice;
    twice.DelayScale = 2.0;
    EXPECT_NEAR(GasDelayS(s, 60, twice), 0.16 + 0.285, 1e-4);
    twice.FixedDelayMs = 120.0;
    EXPECT_DOUBLE_EQ(GasDelayS(s, 44, twice), 0.12);
}

// At 3000 rpm and a closed throttle (1032.35 rpm-seconds a second) the output goes to 0 from
// 10.0 s and comes back at 14.0 s; the reading goes off-scale from 10.35 s and is back from
// 14.35 s. Both edges lie 0.35 s apart, 0.27 s of it gas travel beyond the model's 80 ms:
// 0.27 x 1032.35 = 278.735 rpm-seconds.
std::vector<TTuneSample> FuelCuts(int cuts) {
    std::vector<TTuneSample> s;
    for (int i = 0; i < 400 * cuts; ++i) {
        const double t = 0.05 * i;
        const double in = t - 20.0 * static_cast<int>(t / 20.0);
        TTuneSample x = Steady(t, 3000, 32, 14.7);
        const bool cut = in >= 10.0 - 1e-9 && in < 14.0 - 1e-9;
        x.Output = cut ? 0 : 60;
        if (in >= 10.35 - 1e-9 && in < 14.35 - 1e-9)
            x.Afr = 0.0;
        s.push_back(x);
    }
    return s;
}

TEST(GasDelay, FuelCutEdgesGiveTheExhaustVolume) {
    TTuneSettings settings = test::HandSettings();
    settings.FixedDelayMs.reset();
    const TDelayEstimate one = EstimateDelay(FuelCuts(1), settings);
    EXPECT_EQ(one.Edges, 2);
    EXPECT_FALSE(one.VolumeMsRpm) << "four edges are needed";
    const TDelayEstimate two = EstimateDelay(FuelCuts(2), settings);
    EXPECT_EQ(two.Edges, 4);
    ASSERT_TRUE(two.VolumeMsRpm);
    EXPECT_NEAR(*two.VolumeMsRpm, 278735.0, 50.0);

    TTuneLog log;
    log.Samples = FuelCuts(2);
    TTuneResult r = RunAutotune(test::TuneData(), log, settings);
    EXPECT_TRUE(r.DelayEstimated);
    EXPECT_NEAR(r.Delay.VolumeMsRpm, 278735.0, 50.0);
    EXPECT_EQ(TuneDelayLine(r, settings, Language::English),
              "Sensor delay estimated from 4 fuel-cut edges: 0.98 s at idle, 0.13 s at 6000 rpm "
              "full load");  // 0.08 + 278.735 / 309.706 and 0.08 + 278.735 / 6000
    settings.EstimateDelay = false;
    r = RunAutotune(test::TuneData(), log, settings);
    EXPECT_FALSE(r.DelayEstimated);
    EXPECT_EQ(r.Delay, TDelayModel{});
}

}  // namespace
}  // namespace zv
