// The cells take the values that fit all readings at once, each reading counting for each
// cell's share of it; locked cells and cells only ever seen mixed with the same neighbours keep
// their values.
#include <gtest/gtest.h>

#include "autotune/autotune.h"
#include "autotune/cell_locks.h"
#include "autotune/cell_solver.h"
#include "tune_fixture.h"

namespace zv {
namespace {

using test::AddRun;
using test::kRpmB;
using test::TuneData;

// Throttle sites 102 (index 3) and 110 (index 4) at the 4000 rpm site: the 3 cell 10 % rich
// (ratio 0.9, AFR 13.23), the 4 cell right (14.7), and between them at 104, a quarter of the
// way, the reading the two give together: 14.7 x (0.75 x 0.9 + 0.25 x 1.0) = 13.5975.
TTuneLog Readings(bool onSites, bool between) {
    TTuneLog log;
    if (onSites) {
        AddRun(log, 30, 0.0, kRpmB, 102, 13.23);
        AddRun(log, 30, 10.0, kRpmB, 110, 14.7);
    }
    if (between)
        AddRun(log, 120, 20.0, kRpmB, 104, 13.5975);
    return log;
}

TTuneSettings Unsmoothed() {
    TTuneSettings s = test::HandSettings();
    s.Smoothing = 0.0;
    return s;
}

TEST(CellFit, EachCellTakesOnlyItsShareOfAReading) {
    TTuneResult r = RunAutotune(TuneData(), Readings(true, true), Unsmoothed());
    EXPECT_NEAR(r.Cell(3, 3).Ratio, 0.9, 2e-3);
    EXPECT_NEAR(r.Cell(4, 3).Ratio, 1.0, 2e-3) << "the right cell keeps its value";
    EXPECT_EQ(r.Cell(3, 3).New, 90);
    EXPECT_EQ(r.Cell(4, 3).New, 100);
    EXPECT_EQ(r.Cell(4, 3).Verdict, TCellVerdict::Unchanged);
    // 26 on its site and 116 readings of a quarter's share each: each run's first reading has
    // no earlier point, and the next three have the throttle of the run before in their
    // window.
    EXPECT_NEAR(r.Cell(4, 3).Weight, 26.0 + 116 * 0.25, 1e-9);
    EXPECT_DOUBLE_EQ(r.Cell(4, 3).MaxShare, 1.0);

    // Locked, the rich cell keeps its value; it is still fitted, so that its neighbour does not
    // take its error.
    TTuneSettings locked = Unsmoothed();
    locked.Locked[3][3] = true;
    r = RunAutotune(TuneData(), Readings(true, true), locked);
    EXPECT_EQ(r.Cell(3, 3).Verdict, TCellVerdict::Locked);
    EXPECT_EQ(r.Cell(3, 3).New, 100);
    EXPECT_NEAR(r.Cell(4, 3).Ratio, 1.0, 2e-3);
    EXPECT_EQ(r.ChangedCount(), 0);
}

TEST(CellFit, CellsOnlySeenInTheSameMixKeepTheirValues) {
    // Only the point between the sites: its mix is known, not how it splits.
    const TTuneResult r = RunAutotune(TuneData(), Readings(false, true), test::HandSettings());
    for (int t : {3, 4}) {
        EXPECT_EQ(r.Cell(t, 3).Verdict, TCellVerdict::Inseparable) << t;
        EXPECT_EQ(r.Cell(t, 3).New, 100) << t;
        EXPECT_EQ(r.Cell(t, 3).Confidence, TCellConfidence::Low) << t;
    }
    EXPECT_LT(r.Cell(3, 3).Separable, 0.25);
    EXPECT_TRUE(r.Cell(4, 3).SmallShares) << "a quarter at most";
    EXPECT_FALSE(r.Cell(3, 3).SmallShares);
    EXPECT_EQ(CellConfidenceText(r.Cell(4, 3), Language::English), "low (small shares only)");
    EXPECT_EQ(CellConfidenceText(r.Cell(4, 3), Language::German), "gering (nur kleine Anteile)");
    // With the sites' own readings the cells come apart.
    const TTuneResult both = RunAutotune(TuneData(), Readings(true, true), test::HandSettings());
    EXPECT_GT(both.Cell(3, 3).Separable, 0.5);
    EXPECT_GT(both.Cell(4, 3).Separable, 0.5);
}

// Readings of one cell alone, each with all of its fuel on the cell.
double FitOfOneCell(std::initializer_list<double> ratios) {
    constexpr int kCell = 3 * 16 + 3;
    std::vector<TCellEquation> equations;
    for (double ratio : ratios) {
        TCellEquation e;
        e.Count = 1;
        e.Cell[0] = kCell;
        e.Part[0] = e.Share[0] = 1.0;
        e.Needed = ratio;
        equations.push_back(e);
    }
    std::array<bool, kMapCells> free{};
    free[kCell] = true;
    return SolveCellFactors(equations, free, 0.0).Factors[kCell];
}

// A reading far off the others counts less and, far enough, not at all; but the scatter that
// judges it is that of most readings, so that of four readings scattered alike none is dropped
// for being off the two that happen to agree: the cell takes their mean (pulled a hundredth of a
// reading towards no change).
TEST(CellFit, OnlyAFewWildReadingsAreDropped) {
    EXPECT_NEAR(FitOfOneCell({1.00, 1.01, 1.02, 1.03, 1.04, 1.05, 1.60}), 6.16 / 6.01, 2e-3)
        << "the wild 1.60 goes";
    EXPECT_NEAR(FitOfOneCell({0.80, 1.00, 1.01, 1.30}), 4.12 / 4.01, 2e-3);
}

// Locks as the settings keep them: a word per throttle site, bit r for the rpm site r.
TEST(CellFit, LocksAsText) {
    TCellLocks locks{};
    locks[0][0] = locks[3][15] = locks[15][4] = true;
    const std::string text = LocksText(locks);
    EXPECT_EQ(text, "0001000000008000" + std::string(44, '0') + "0010");
    EXPECT_EQ(LocksOfText(text), locks);
    EXPECT_FALSE(LocksOfText(text.substr(1)));
    EXPECT_FALSE(LocksOfText("G" + text.substr(1)));
}

}  // namespace
}  // namespace zv
