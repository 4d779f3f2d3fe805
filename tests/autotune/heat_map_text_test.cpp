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
    c.Confidence = TCellConfidence::High;
    return c;
}

TEST(HeatMapText, ChangedCellShowsItsPercentCountTintAndTip) {
    const TTuneHeatCell en = HeatCellOf(Changed(), false, Language::English);
    EXPECT_EQ(en.Change, "+10.0");
    EXPECT_EQ(en.Samples, "27");
    EXPECT_EQ(en.Tint, 2) << "a rise of 10 is a clear rise";
    EXPECT_FALSE(en.Grey);
    EXPECT_EQ(en.Tip,
              "Old -> new: 100 -> 110 (+10.0 %)\nRatio: 1.123\nSpread: 0.013\n"
              "Samples: 27 (weight 26.5)\nVerdict: changed (capped)\nConfidence: high");
    EXPECT_EQ(en.Mark, "");
    const TTuneHeatCell de = HeatCellOf(Changed(), false, Language::German);
    EXPECT_EQ(de.Change, "+10.0") << "a point as everywhere in the program";
    EXPECT_EQ(de.Tip,
              "Alt -> neu: 100 -> 110 (+10.0 %)\nVerhältnis: 1.123\nStreuung: 0.013\n"
              "Messwerte: 27 (Gewicht 26.5)\nErgebnis: geändert (begrenzt)\nVertrauen: hoch");

    // Locked cells and doubtful proposals carry a corner mark.
    EXPECT_EQ(HeatCellOf(Changed(), true, Language::English).Mark, "L");
    EXPECT_EQ(HeatCellOf(Changed(), true, Language::German).Mark, "S");
    TTuneCell doubtful = Changed();
    doubtful.Confidence = TCellConfidence::Low;
    doubtful.SmallShares = true;
    const TTuneHeatCell low = HeatCellOf(doubtful, false, Language::English);
    EXPECT_EQ(low.Mark, "?");
    EXPECT_EQ(low.Tip.substr(low.Tip.rfind('\n') + 1), "Confidence: low (small shares only)");

    TTuneCell leaner = Changed();
    leaner.New = 97;
    leaner.ChangePercent = -3.0;
    EXPECT_EQ(HeatCellOf(leaner, false, Language::English).Change, "-3.0");
    EXPECT_EQ(HeatCellOf(leaner, false, Language::English).Tint, -1) << "a fall of 3 is a small fall";
    leaner.New = 84;
    EXPECT_EQ(HeatCellOf(leaner, false, Language::English).Tint, -3) << "16 and more";

    TTuneCell same = Changed();
    same.New = 100;
    same.ChangePercent = 0.0;
    same.Verdict = TCellVerdict::Unchanged;
    EXPECT_EQ(HeatCellOf(same, false, Language::English).Change, "+0.0");
    EXPECT_EQ(HeatCellOf(same, false, Language::English).Tint, 0);
}

TEST(HeatMapText, UntunedCellsAreGreyWithTheirCount) {
    TTuneCell few = Changed();
    few.Samples = 12;
    few.New = 100;
    few.Verdict = TCellVerdict::TooFewSamples;
    const TTuneHeatCell heat = HeatCellOf(few, false, Language::English);
    EXPECT_TRUE(heat.Grey);
    EXPECT_EQ(heat.Change, "");
    EXPECT_EQ(heat.Samples, "12");
    EXPECT_EQ(heat.Tint, 0);
    const TTuneHeatCell none = HeatCellOf(TTuneCell{}, false, Language::English);
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
    // The model's delay: 0.08 + 285 / (900 x 0.344) s at idle, 0.08 + 285 / 6000 s at full load.
    const TTuneSettings settings;
    EXPECT_EQ(TuneSummary(result, settings, Language::English),
              "60 samples, 54 used, 1 cells changed\nSensor delay by the model (0 fuel-cut edges, "
              "4 needed for an estimate): 1.00 s at idle, 0.13 s at 6000 rpm full load");
    result.Notes.push_back({"kein Regler", "no controller"});
    EXPECT_EQ(TuneSummary(result, settings, Language::German),
              "60 Messwerte, 54 genutzt, 1 Zellen geändert\nSensorverzug nach Modell (0 "
              "Schubabschaltungsflanken, 4 nötig für eine Schätzung): 1.00 s im Leerlauf, 0.13 s "
              "bei 6000 U/min Volllast\nkein Regler");
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
