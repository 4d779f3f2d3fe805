#pragma once

#include <array>

#include "editors/map_sites.h"

namespace zv {

// The unit's output at every raw value 0..255 of one axis.
using TAxisCurve = std::array<int, 256>;

// The 16 cells of a line of the map over `sites` (lowest first, rising strictly) that the unit,
// reading between them in whole steps cut toward zero, turns into `target` as nearly as whole
// bytes allow: the fewest counts off at worst, then the fewest raw values off, then each cell
// closest to the target at its own site.
TSites LineForCurve(const TAxisCurve& target, const TSites& sites);

}  // namespace zv
