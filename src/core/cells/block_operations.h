#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "cells/cell_selection.h"

namespace zv {

// A map's cells as numbers, [t][r] by site index (0 = lowest site).
using TCellValues = std::array<std::array<int, 16>, 16>;
// Site bytes of one axis, lowest first, rising strictly.
using TAxisSites = std::array<std::uint8_t, 16>;

// What the operator can do to a block of cells at once.
enum class TBlockOp : std::uint8_t {
    Set,                 // every cell to one value
    Add,                 // a value added to every cell
    Multiply,            // every cell times a percentage
    InterpolateAcross,   // each row from its left to its right edge (over engine speed)
    InterpolateUp,       // each column from its bottom to its top edge (over throttle)
    InterpolateCorners,  // bilinear from the four corners
    Smooth,              // 3 x 3 mean of the inner cells; the block's edge cells stay
};

struct TBlockInput {
    TBlockOp Op = TBlockOp::Set;
    int Value = 0;  // Set: the value; Add: the change; Multiply: tenths of a percent
    // Multiply scales value + Zero: an AFR cell holds AFR x 10 - 105, and it is the AFR the
    // operator scales.
    int Zero = 0;
};

// From a at site s0 to b at site s1, the value at v, in whole steps cut toward zero: the way
// the unit interpolates between its cells.
int Between(int a, int b, int v, int s0, int s1);

// numerator / denominator (denominator > 0) to the nearest whole number, halves away from zero,
// as a paste rounds its values.
int RoundedQuotient(int numerator, int denominator);

// The cells after the operation, unclamped; cells outside the block are as they were. Cells
// for which `fixed` holds are neither changed nor read (the AFR map's NC cells).
TCellValues BlockResult(const TCellValues& cells, const TCellRect& block, const TBlockInput& input,
                        const TAxisSites& throttle, const TAxisSites& rpm,
                        const std::function<bool(int)>& fixed);

}  // namespace zv
