#include "autotune/cell_weights.h"

#include <algorithm>
#include <cmath>

namespace zv {

namespace {

constexpr int kLastSite = 15;

// The lower site index of the step a position lies in and how far along it.
struct TAxisShare {
    int Low = 0;
    double Up = 0.0;
};

TAxisShare ShareOf(double position) {
    const int low = std::min(static_cast<int>(std::floor(position)), kLastSite);
    return {low, position - low};
}

}  // namespace

std::vector<TCellWeight> CellWeights(const TSites& throttle, const TSites& rpm, double rawThrottle,
                                     double rawRpm) {
    const TAxisShare t = ShareOf(AxisPosition(throttle, rawThrottle));
    const TAxisShare r = ShareOf(AxisPosition(rpm, rawRpm));
    std::vector<TCellWeight> cells;
    for (int dt = 0; dt < 2; ++dt) {
        for (int dr = 0; dr < 2; ++dr) {
            const double weight = (dt ? t.Up : 1.0 - t.Up) * (dr ? r.Up : 1.0 - r.Up);
            if (weight > 0.0)
                cells.push_back({t.Low + dt, r.Low + dr, weight});
        }
    }
    return cells;
}

}  // namespace zv
