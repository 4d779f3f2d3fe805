// Readings whose gas came from a fuel cut, a warming engine or a fuel the log cannot account
// for are not used, each counted under its reason.
#include <gtest/gtest.h>

#include "autotune/autotune.h"
#include "tune_fixture.h"

namespace zv {
namespace {

using test::AddRun;
using test::kRpmB;
using test::kSiteB;
using test::TuneData;

// 60 records 0.1 s apart at the 4000 rpm / 40 % site, each changed by `change`.
template <typename F>
TTuneResult RunOf(const TTuneSettings& s, F change) {
    TTuneLog log;
    AddRun(log, 60, 0.0, kRpmB, kSiteB, 14.7);
    for (std::size_t i = 0; i < log.Samples.size(); ++i)
        change(static_cast<int>(i), log.Samples[i], log);
    return RunAutotune(TuneData(), log, s);
}

// The output is cut for the records at 2.0 .. 2.4 s. With a delay of 0.2 s and a hold-off of
// one travel time a reading waits until no cut lies within 0.4 s before it: the readings at
// 2.0 .. 2.8 s go; with two travel times those up to 3.0 s.
TEST(Exclusion, FuelCutWithItsHoldOff) {
    TTuneSettings s = test::HandSettings();
    s.FixedDelayMs = 200.0;
    const auto cut = [](int i, TTuneSample& x, TTuneLog&) {
        x.Output = i >= 20 && i <= 24 ? 0 : 60;
    };
    EXPECT_EQ(RunOf(s, cut).RejectedBy(TTuneFilter::FuelCut), 9);
    s.FuelCutHoldoff = 2.0;
    EXPECT_EQ(RunOf(s, cut).RejectedBy(TTuneFilter::FuelCut), 11);
    // The unit's overrun state says the same where the output is not logged.
    EXPECT_EQ(RunOf(s, [](int i, TTuneSample& x, TTuneLog&) { x.Overrun = i == 20; })
                  .RejectedBy(TTuneFilter::FuelCut),
              7);
    s.RejectFuelCut = false;
    EXPECT_EQ(RunOf(s, cut).RejectedBy(TTuneFilter::FuelCut), 0);
}

// The engine stands for the first second, then runs: with a warm-up of 3 s the readings of
// 1.0 .. 3.9 s go. Where the temperature correction is logged, the readings while it lies more
// than 2 above its warm value (5) go as well: those up to 4.5 s, and those of the standing
// engine before the start (otherwise too slow).
TEST(Exclusion, WarmUpByTimeSinceStartAndByTemperature) {
    TTuneSettings s = test::HandSettings();
    s.WarmUpS = 3.0;
    const auto start = [](int i, TTuneSample& x, TTuneLog&) {
        if (i < 10)
            x.Rpm = 0.0;
    };
    TTuneResult r = RunOf(s, start);
    EXPECT_EQ(r.RejectedBy(TTuneFilter::WarmUp), 30);
    EXPECT_EQ(r.UsedSamples, 20);
    r = RunOf(s, [&start](int i, TTuneSample& x, TTuneLog& log) {
        start(i, x, log);
        x.TempCorrection = i <= 45 ? 8 : 5;
    });
    EXPECT_EQ(r.RejectedBy(TTuneFilter::WarmUp), 9 + 30 + 6);
    r = RunOf(s, [&start](int i, TTuneSample& x, TTuneLog& log) {
        start(i, x, log);
        x.TempCorrection = i <= 45 ? 7 : 5;  // within 2 of warm
    });
    EXPECT_EQ(r.RejectedBy(TTuneFilter::WarmUp), 30);
    s.RejectWarmUp = false;
    EXPECT_EQ(RunOf(s, start).RejectedBy(TTuneFilter::WarmUp), 0);
}

// A log whose layout does not carry the controller's correction: with the controller on the
// fuel is unknown and the run says why; with it off the map alone made the mixture.
TEST(Exclusion, NoCorrectionInTheLogWhileTheControllerRuns) {
    TTuneSettings s = test::HandSettings();
    const auto unknown = [](int, TTuneSample& x, TTuneLog& log) {
        x.CorrectionKnown = false;
        log.CorrectionLogged = false;
    };
    TTuneResult r = RunOf(s, unknown);
    EXPECT_EQ(r.RejectedBy(TTuneFilter::NoCorrection), 59);
    ASSERT_TRUE(r.Refused);
    EXPECT_EQ(std::string(r.Refused->English).rfind("No usable sample", 0), 0u);
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_NE(std::string(r.Notes[0].English).find("does not carry the wideband controller's"),
              std::string::npos);
    s.ControllerOn = false;
    r = RunOf(s, unknown);
    EXPECT_EQ(r.UsedSamples, 59);
    EXPECT_TRUE(r.Notes.empty());
}

}  // namespace
}  // namespace zv
