#pragma once

#include <vector>

#include "editors/map_sites.h"

namespace zv {

// A map cell by site indices (0 = lowest site) and the share of an operating point on it.
struct TCellWeight {
    int T = 0;
    int R = 0;
    double Weight = 0.0;
};

// The cells the unit mixes at an operating point and how much of each, bilinearly by the
// point's place between the sites; a point beyond the sites lies on the edge cells, as the unit
// clamps it. Raw counts on both axes; cells with no share are left out, the shares sum to 1.
std::vector<TCellWeight> CellWeights(const TSites& throttle, const TSites& rpm, double rawThrottle,
                                     double rawRpm);

}  // namespace zv
