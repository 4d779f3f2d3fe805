// What the autotune window shows of a result: each cell's texts, tint and tooltip as typed
// here, the axes as the fuel map table labels them, and the summary lines.
#include <gtest/gtest.h>

#include "autotune/autotune_session.h"
#include "tune_fixture.h"

namespace zv {
namespace {

TTuneCell Changed() {
    TTuneCell c;
    c.Samples = 27;
    c.Weight = 26.5;
    c.Ratio = 1.1234;
    c.Spread = 0.0125;
    c.Old = 100;
    c.New = 110;
    c.ChangePercent = 10.0;
    c.Capped = true;
    c.Verdict = TCellVerdict::Changed;
    return c;
}

TEST(HeatMapText, ChangedCellShowsItsPercentCountTintAndTip) {
    const TTuneHeatCell en = HeatCellOf(Changed(), Language::English);
    EXPECT_EQ(en.Change, "+10.0");
    EXPECT_EQ(en.Samples, "27");
    EXPECT_EQ(en.Tint, 2) << "a rise of 10 is a clear rise";
    EXPECT_FALSE(en.Grey);
    EXPECT_EQ(en.Tip,
              "Old -> new: 100 -> 110 (+10.0 %)\nRatio: 1.123\nSpread: 0.013\n"
              "Samples: 27 (weight 26.5)\nVerdict: changed (capped)");
    const TTuneHeatCell de = HeatCellOf(Changed(), Language::German);
    EXPECT_EQ(de.Change, "+10.0") << "a point as everywhere in the program";
    EXPECT_EQ(de.Tip,
              "Alt -> neu: 100 -> 110 (+10.0 %)\nVerhältnis: 1.123\nStreuung: 0.013\n"
              "Messwerte: 27 (Gewicht 26.5)\nErgebnis: geändert (begrenzt)");

    TTuneCell leaner = Changed();
    leaner.New = 97;
    leaner.ChangePercent = -3.0;
    EXPECT_EQ(HeatCellOf(leaner, Language::English).Change, "-3.0");
    EXPECT_EQ(HeatCellOf(leaner, Language::English).Tint, -1) << "a fall of 3 is a small fall";
    leaner.New = 84;
    EXPECT_EQ(HeatCellOf(leaner, Language::English).Tint, -3) << "16 and more";

    TTuneCell same = Changed();
    same.New = 100;
    same.ChangePercent = 0.0;
    same.Verdict = TCellVerdict::Unchanged;
    EXPECT_EQ(HeatCellOf(same, Language::English).Change, "+0.0");
    EXPECT_EQ(HeatCellOf(same, Language::English).Tint, 0);
}

TEST(HeatMapText, UntunedCellsAreGreyWithTheirCount) {
    TTuneCell few = Changed();
    few.Samples = 12;
    few.New = 100;
    few.Verdict = TCellVerdict::TooFewSamples;
    const TTuneHeatCell heat = HeatCellOf(few, Language::English);
    EXPECT_TRUE(heat.Grey);
    EXPECT_EQ(heat.Change, "");
    EXPECT_EQ(heat.Samples, "12");
    EXPECT_EQ(heat.Tint, 0);
    const TTuneHeatCell none = HeatCellOf(TTuneCell{}, Language::English);
    EXPECT_TRUE(none.Grey);
    EXPECT_EQ(none.Samples, "") << "an empty cell shows no 0";
}

TEST(HeatMapText, AxesSummaryAndRejections) {
    const TZVDataClass data = test::TuneData();
    const TTuneAxes axes = TuneAxesOf(data, Language::German);
    EXPECT_EQ(axes.Throttle[0], 5);   // 13 of 255
    EXPECT_EQ(axes.Throttle[3], 40);  // 102
    EXPECT_EQ(axes.Throttle[15], 100);
    EXPECT_EQ(axes.Rpm[2], 2000);  // 51
    EXPECT_EQ(axes.Rpm[15], 10000);
    EXPECT_EQ(axes.RpmUnit, "[U/min]");

    TTuneResult result;
    result.TotalSamples = 60;
    result.UsedSamples = 54;
    result.Rejected[static_cast<std::size_t>(TTuneFilter::NoReading)] = 4;
    result.Rejected[static_cast<std::size_t>(TTuneFilter::NoTarget)] = 2;
    result.Cells[3][3].Verdict = TCellVerdict::Changed;
    EXPECT_EQ(TuneSummary(result, Language::English), "60 samples, 54 used, 1 cells changed");
    EXPECT_EQ(TuneSummary(result, Language::German), "60 Messwerte, 54 genutzt, 1 Zellen geändert");
    EXPECT_EQ(TuneRejections(result, Language::English),
              (std::vector<std::string>{"no reading: 4", "no target: 2"}));

    TTuneLogSource source;
    source.Path = "/logs/run.L00";
    source.Log.Samples.resize(3);
    EXPECT_EQ(LogSourceLine(source, Language::English), "run.L00: 3 samples");
    source.Error = TOwnedText{"kaputt", "broken"};
    EXPECT_EQ(LogSourceLine(source, Language::German), "run.L00: kaputt");
}

}  // namespace
}  // namespace zv
