#include <gtest/gtest.h>

#include "autotune/autotune.h"
#include "tune_fixture.h"

namespace zv {
namespace {

using test::AddRun;
using test::HandSettings;
using test::kRpmB;
using test::kSiteA;
using test::kSiteB;
using test::Steady;
using test::TuneData;

const TTuneCell& CellB(const TTuneResult& r) {
    return r.Cell(3, 3);
}

TEST(Autotune, RatioRemovesTheControllersCorrection) {
    EXPECT_DOUBLE_EQ(ControllerFuelFactor(0), 1.0);
    EXPECT_DOUBLE_EQ(MapAloneAfr(14.7, 0), 14.7);
    // 16 counts are 1/8 more fuel: on the map alone the engine ran 1/8 leaner.
    EXPECT_DOUBLE_EQ(MapAloneAfr(14.7, 16), 16.5375);
    EXPECT_DOUBLE_EQ(MapAloneAfr(13.0, -32), 9.75);

    const TZVDataClass data = TuneData();
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 14.7);
    TTuneResult r = RunAutotune(data, log, HandSettings());
    EXPECT_EQ(CellB(r).Verdict, TCellVerdict::Unchanged);
    EXPECT_NEAR(CellB(r).Ratio, 1.0, 1e-9);

    // On target only because the controller adds 8 counts: the map wants 1/16 more.
    log = {};
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 14.7, 8);
    r = RunAutotune(data, log, HandSettings());
    EXPECT_NEAR(CellB(r).Ratio, 1.0625, 1e-3);
    EXPECT_EQ(CellB(r).New, 106);
    EXPECT_EQ(CellB(r).Verdict, TCellVerdict::Changed);

    // Rich at 13.23 with no correction: 10 % less fuel.
    log = {};
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 13.23);
    r = RunAutotune(data, log, HandSettings());
    EXPECT_NEAR(CellB(r).Ratio, 0.9, 1e-3);
    EXPECT_EQ(CellB(r).New, 90);
    EXPECT_NEAR(CellB(r).ChangePercent, -10.0, 1e-12);
    EXPECT_EQ(r.Cell(3, 4).Verdict, TCellVerdict::NoSamples);
    EXPECT_EQ(r.Cell(3, 4).New, 100);
}

TEST(Autotune, TargetIsMixedFromTheCellsAroundThePoint) {
    TZVDataClass data = TuneData();
    const auto target = [&data](int t, int r) -> std::uint8_t& {
        return data.DeviceData.Image[FuelMapOffset(t, r) - img::FuelMap + img::AfrMap];
    };
    // Target 12.7 at (3, 4), 14.7 elsewhere; halfway between the speed sites 102 and 110 the
    // target is 13.7.
    target(3, 4) = 22;
    TTuneLog log;
    AddRun(log, 30, 0.0, test::RpmOfRaw(106.0), kSiteB, 13.7);
    TTuneResult r = RunAutotune(data, log, HandSettings());
    EXPECT_NEAR(r.Cell(3, 3).Ratio, 1.0, 1e-9);
    EXPECT_NEAR(r.Cell(3, 4).Ratio, 1.0, 1e-9);
    EXPECT_NEAR(r.Cell(3, 3).Weight, 14.5, 1e-9);

    // A cell without a target keeps its value and takes no share; the target comes from its
    // neighbour alone, which keeps its own share.
    target(3, 4) = 0xFF;
    log = {};
    AddRun(log, 30, 0.0, test::RpmOfRaw(106.0), kSiteB, 16.17);
    r = RunAutotune(data, log, HandSettings());
    EXPECT_EQ(r.Cell(3, 4).Verdict, TCellVerdict::NoTarget);
    EXPECT_EQ(r.Cell(3, 4).New, 100);
    EXPECT_EQ(r.Cell(3, 4).Samples, 0);
    EXPECT_NEAR(r.Cell(3, 3).Ratio, 1.1, 1e-3);
    EXPECT_NEAR(r.Cell(3, 3).Weight, 14.5, 1e-9);
    EXPECT_EQ(r.Cell(3, 3).Verdict, TCellVerdict::TooFewSamples);

    // On an NC cell's own sites nothing has a target.
    target(3, 15) = 0x80;
    log = {};
    AddRun(log, 30, 0.0, 10000.0, kSiteB, 16.17);
    r = RunAutotune(data, log, HandSettings());
    EXPECT_EQ(r.RejectedBy(TTuneFilter::NoTarget), 29);
    EXPECT_EQ(r.UsedSamples, 0);
}

TEST(Autotune, AWildSampleDoesNotPullItsCell) {
    const TZVDataClass data = TuneData();
    TTuneLog log;
    AddRun(log, 20, 0.0, kRpmB, kSiteB, 15.435);  // ratio 1.05
    log.Samples.push_back(Steady(2.0, kRpmB, kSiteB, 17.9));
    const TTuneResult r = RunAutotune(data, log, HandSettings());
    EXPECT_NEAR(CellB(r).Ratio, 1.05, 1e-3);
    EXPECT_EQ(CellB(r).Samples, 20);  // the first has no earlier point
    EXPECT_EQ(CellB(r).New, 105);
}

TEST(Autotune, AuthorityLimitsEachPassBothWays) {
    const TZVDataClass data = TuneData();
    TTuneLog lean, rich;
    AddRun(lean, 30, 0.0, kRpmB, kSiteB, 17.64);  // ratio 1.2
    AddRun(rich, 30, 0.0, kRpmB, kSiteB, 11.76);  // ratio 0.8
    TTuneSettings s = HandSettings();
    TTuneResult r = RunAutotune(data, lean, s);
    EXPECT_EQ(CellB(r).New, 110);
    EXPECT_TRUE(CellB(r).Capped);
    r = RunAutotune(data, rich, s);
    EXPECT_EQ(CellB(r).New, 90);
    EXPECT_TRUE(CellB(r).Capped);
    s.AuthorityPercent = 25.0;
    r = RunAutotune(data, lean, s);
    EXPECT_EQ(CellB(r).New, 120);
    EXPECT_FALSE(CellB(r).Capped);
    r = RunAutotune(data, rich, s);
    EXPECT_EQ(CellB(r).New, 80);
}

TEST(Autotune, MinimumSamplesPerCell) {
    const TZVDataClass data = TuneData();
    TTuneLog log;
    AddRun(log, 20, 0.0, kRpmB, kSiteB, 16.17);  // 19 used: the first has no earlier point
    TTuneResult r = RunAutotune(data, log, HandSettings());
    EXPECT_EQ(CellB(r).Verdict, TCellVerdict::TooFewSamples);
    EXPECT_DOUBLE_EQ(CellB(r).Weight, 19.0);
    EXPECT_EQ(CellB(r).New, 100);
    log.Samples.push_back(Steady(2.0, kRpmB, kSiteB, 16.17));
    r = RunAutotune(data, log, HandSettings());
    EXPECT_EQ(CellB(r).Verdict, TCellVerdict::Changed);
    EXPECT_EQ(CellB(r).New, 110);
    EXPECT_EQ(r.ChangedCount(), 1);
}

TEST(Autotune, SensorDelayShrinksWithEngineSpeedAndLoad) {
    // A real exhaust: about a second at idle (900 rpm, throttle closed at 32), an eighth of one
    // at 6000 rpm with the throttle wide open; the part throttle between.
    TTuneSettings s;
    EXPECT_NEAR(s.SensorDelayMs(900, 32), 1000.0, 5.0);
    EXPECT_NEAR(s.SensorDelayMs(6000, 255), 127.5, 0.1);
    EXPECT_NEAR(s.SensorDelayMs(2000, 102), 80.0 + 285000.0 / 1100.0, 1e-9);
    s.DelayScale = 2.0;
    EXPECT_NEAR(s.SensorDelayMs(6000, 255), 255.0, 0.1);
    s.FixedDelayMs = 150.0;
    EXPECT_DOUBLE_EQ(s.SensorDelayMs(1200, 32), 150.0);
    s.FixedDelayMs.reset();
    s.DelayScale = 1.0;
    EXPECT_DOUBLE_EQ(s.SensorDelayMs(0, 32), 2500.0) << "a standing engine: the longest wait";
}

double RowWeight(const TTuneResult& r, int t) {
    double sum = 0.0;
    for (int c = 0; c < 16; ++c)
        sum += r.Cell(t, c).Weight;
    return sum;
}

// Records 40 ms apart, throttle at site A up to 0.36 s and at site B from 0.40 s on: a reading
// belongs to the throttle a sensor delay before it.
TTuneResult StepRun(double delayMs) {
    TTuneLog log;
    for (int i = 0; i < 20; ++i)
        log.Samples.push_back(Steady(0.04 * i, 3000, i <= 9 ? kSiteA : kSiteB, 16.17));
    TTuneSettings s = HandSettings();
    s.FixedDelayMs = delayMs;
    s.RequireSteadyThrottle = false;
    return RunAutotune(TuneData(), log, s);
}

TEST(Autotune, DelayAttributesAReadingToTheEarlierOperatingPoint) {
    // 100 ms: reading i lies halfway between records i-3 and i-2.
    TTuneResult r = StepRun(100);
    EXPECT_EQ(r.RejectedBy(TTuneFilter::NoEarlierPoint), 3);
    EXPECT_NEAR(RowWeight(r, 2), 9.5, 1e-9);
    EXPECT_NEAR(RowWeight(r, 3), 7.5, 1e-9);
    // 90 ms: three quarters of the way from i-3 to i-2.
    r = StepRun(90);
    EXPECT_EQ(r.RejectedBy(TTuneFilter::NoEarlierPoint), 3);
    EXPECT_NEAR(RowWeight(r, 2), 9.25, 1e-9);
    EXPECT_NEAR(RowWeight(r, 3), 7.75, 1e-9);
}

// A run at site B of one sample per 0.1 s whose sample k is changed by `change`.
template <typename F>
TTuneResult RunWith(const TTuneSettings& s, int k, F change) {
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 16.17);
    change(log.Samples[static_cast<std::size_t>(k)], log);
    return RunAutotune(TuneData(), log, s);
}

TEST(Autotune, AfrOutsideTheSensorsLimitsOrZeroIsNotUsed) {
    const TTuneSettings s = HandSettings();
    const auto afr = [&s](double value) {
        return RunWith(s, 29, [value](TTuneSample& x, TTuneLog&) { x.Afr = value; });
    };
    EXPECT_EQ(afr(0.0).RejectedBy(TTuneFilter::NoReading), 1);
    EXPECT_EQ(afr(9.99).RejectedBy(TTuneFilter::OutsideLimits), 1);
    EXPECT_EQ(afr(10.0).UsedSamples, 29);  // the first has no earlier point
    EXPECT_EQ(afr(18.0).UsedSamples, 29);
    EXPECT_EQ(afr(18.01).RejectedBy(TTuneFilter::OutsideLimits), 1);

    // The data set's own limits: error limits 13 and 242 on the 9.0 .. 19.0 scale.
    const TTuneSettings own = TuneSettingsFor(TuneData());
    EXPECT_NEAR(own.AfrMin, 9.5098039, 1e-6);
    EXPECT_NEAR(own.AfrMax, 18.4901961, 1e-6);
}

TEST(Autotune, ReadingsRightAfterABadBurstAreNotUsed) {
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 16.17);
    for (int i = 5; i <= 10; ++i)
        log.Samples[static_cast<std::size_t>(i)].Afr = 0.0;  // the sensor warming up
    TTuneResult r = RunAutotune(TuneData(), log, HandSettings());
    EXPECT_EQ(r.RejectedBy(TTuneFilter::NoReading), 6);
    // 4000 rpm: 86 ms; the reading at 1.1 s belongs to 1.014 s, after the record at 1.0 s.
    EXPECT_EQ(r.RejectedBy(TTuneFilter::NearBadReading), 1);
    EXPECT_EQ(r.UsedSamples, 30 - 1 - 6 - 1);
}

TEST(Autotune, ControllerStateFiltersWhereTheFlagsAreKnown) {
    TTuneSettings s = HandSettings();
    const auto flags = [&s](std::optional<std::uint8_t> f) {
        return RunWith(s, 20, [f](TTuneSample& x, TTuneLog&) { x.WbFlags = f; });
    };
    // Each flagged record spoils its own reading and the next one, whose delay reaches it.
    EXPECT_EQ(flags(0x00).RejectedBy(TTuneFilter::Startup), 2);
    // At its rich or lean limit the controller still applies the correction the record gives.
    EXPECT_EQ(flags(0x40 | 0x10).UsedSamples, 29);
    EXPECT_EQ(flags(0x40 | 0x20).UsedSamples, 29);
    EXPECT_EQ(flags(0x40 | 0x02).RejectedBy(TTuneFilter::AtLimit), 2);
    EXPECT_EQ(flags(0x40 | 0x80 | 0x01).UsedSamples, 29);  // lockout and sensor error bits
    EXPECT_EQ(flags(std::nullopt).UsedSamples, 29);
    s.RequireStartupDone = false;
    s.RejectAtLimit = false;
    EXPECT_EQ(flags(0x00).UsedSamples, 29);
    EXPECT_EQ(flags(0x02).UsedSamples, 29);
    // A controller switched off never starts up: its flags do not matter.
    s = HandSettings();
    s.ControllerOn = false;
    EXPECT_EQ(flags(0x00).UsedSamples, 29);
}

TEST(Autotune, SteadyThrottleEngineSpeedAndMarks) {
    TTuneSettings s = HandSettings();
    const auto run = [&s](auto change) { return RunWith(s, 20, change); };
    // The record at 2.0 s lies in the window of the readings from 2.0 to 2.4 s (4000 rpm:
    // 86 ms delay, 0.3 s window before the operating point, and the record after it).
    EXPECT_EQ(
        run([](TTuneSample& x, TTuneLog&) { x.Accel = 1; }).RejectedBy(TTuneFilter::Enrichment), 5);
    // 2.0 % throttle movement is still steady, 2.1 % is not.
    EXPECT_EQ(run([](TTuneSample& x, TTuneLog&) { x.Throttle += 5.1; }).UsedSamples, 29);
    EXPECT_EQ(run([](TTuneSample& x, TTuneLog&) {
                  x.Throttle += 5.355;
              }).RejectedBy(TTuneFilter::Unsteady),
              5);
    s.RejectEnrichment = false;
    EXPECT_EQ(run([](TTuneSample& x, TTuneLog&) { x.Accel = 1; }).UsedSamples, 29);
    s.RejectEnrichment = true;

    s.MinRpm = 4000.0;
    EXPECT_EQ(run([](TTuneSample&, TTuneLog&) {}).UsedSamples, 29);
    s.MinRpm = 4000.5;
    EXPECT_EQ(run([](TTuneSample&, TTuneLog&) {}).RejectedBy(TTuneFilter::LowRpm), 29);

    // A mark at 0.5 s with no delay: readings from 0.5 s to before 2.5 s wait.
    s = HandSettings();
    s.FixedDelayMs = 0.0;
    const TTuneResult r = run([](TTuneSample&, TTuneLog& log) { log.MarkTimes = {0.5}; });
    EXPECT_EQ(r.RejectedBy(TTuneFilter::AfterMark), 20);
    EXPECT_EQ(r.UsedSamples, 10);
}

// A reading says how far the fuel the engine got was off: readings made on 100 that ask for
// 10 % more are met by the 110 the cell holds since; readings made on 110 ask for 121.
TEST(Autotune, ReadingsCountAgainstTheMapTheyRanOn) {
    TZVDataClass data = TuneData();
    const TFuelMap ranOn = FuelMapOf(data.DeviceData.Image);
    data.DeviceData.Image[FuelMapOffset(3, 3)] = 110;
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 16.17);
    log.Epochs = {{10.0, ranOn}};
    TTuneResult r = RunAutotune(data, log, HandSettings());
    EXPECT_NEAR(CellB(r).Ratio, 1.0, 1e-9);
    EXPECT_EQ(CellB(r).Verdict, TCellVerdict::Unchanged);
    EXPECT_EQ(CellB(r).New, 110);

    log = {};
    AddRun(log, 30, 20.0, kRpmB, kSiteB, 16.17);
    log.Epochs = {{10.0, ranOn}};
    r = RunAutotune(data, log, HandSettings());
    EXPECT_NEAR(CellB(r).Ratio, 1.1, 1e-3);
    EXPECT_EQ(CellB(r).New, 121);
}

TEST(Autotune, SitesThatDoNotRiseAreRefused) {
    TZVDataClass data = TuneData();
    data.DeviceData.Image[img::RpmSites + 3] = data.DeviceData.Image[img::RpmSites + 4];
    TTuneLog log;
    AddRun(log, 30, 0.0, kRpmB, kSiteB, 16.17);
    const TTuneResult r = RunAutotune(data, log, HandSettings());
    ASSERT_TRUE(r.Refused);
    EXPECT_EQ(r.ChangedCount(), 0);
}

}  // namespace
}  // namespace zv
