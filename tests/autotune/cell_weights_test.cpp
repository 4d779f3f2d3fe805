#include <gtest/gtest.h>

#include "autotune/cell_weights.h"
#include "tune_fixture.h"

namespace zv {
namespace {

using test::kSites;

double WeightOn(const std::vector<TCellWeight>& cells, int t, int r) {
    for (const TCellWeight& c : cells) {
        if (c.T == t && c.R == r)
            return c.Weight;
    }
    return 0.0;
}

// 2500 rpm is a quarter of the way from the 2000 to the 4000 rpm site, 35 % three quarters of
// the way from 20 % to 40 %.
TEST(CellWeights, APointBetweenFourSitesSharesBilinearly) {
    const auto cells = CellWeights(kSites, kSites, 89.25, 63.75);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 2, 2), 0.1875);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 2, 3), 0.0625);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 3, 2), 0.5625);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 3, 3), 0.1875);
}

TEST(CellWeights, APointOnASiteOrBeyondTheSitesFallsOnOneCell) {
    auto cells = CellWeights(kSites, kSites, 102.0, 102.0);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 3, 3), 1.0);

    // Below the lowest sites and at the top one: the edge cells, as the unit clamps.
    cells = CellWeights(kSites, kSites, 5.0, 255.0);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 0, 15), 1.0);

    // On a throttle site, between two speed sites: two cells.
    cells = CellWeights(kSites, kSites, 13.0, 104.0);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 0, 3), 0.75);
    EXPECT_DOUBLE_EQ(WeightOn(cells, 0, 4), 0.25);
}

}  // namespace
}  // namespace zv
