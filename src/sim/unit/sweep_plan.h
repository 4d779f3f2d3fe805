#pragma once

#include <cstdint>

#include "unit/map_lookup.h"

namespace zv::sim {

// Throttle and engine speed as the unit's raw bytes (engine speed: rpm x 255 / 10000).
struct TRawPoint {
    double Tps = 0;
    double RpmRaw = 0;
};

// A sweep over the fuel map as a tuner runs one on a dynamometer, at the sites the unit holds
// (lowest first, as passed in): every throttle site in turn, and along it every engine-speed
// site, up on one throttle row and down on the next so the brake never jumps; then 25 points in
// the middle between four sites (the cells' centres of the gaps 1, 4, 7, 10 and 13 of both
// axes), where the unit interpolates between cells. Each point is reached by a straight ramp from
// the one before and then held steady, long enough for the wideband reading to settle and give
// a logger a dozen records. A pass takes
//   256 x (1 s ramp + 2 s hold) + 25 x (1 s ramp + 1 s hold) = 818 s, 13 min 38 s,
// and passes repeat, the first point ramped from the last one.
class TSweepPlan {
  public:
    static constexpr std::uint64_t kRampMs = 1000;
    static constexpr std::uint64_t kSiteHoldMs = 2000;
    static constexpr std::uint64_t kBetweenHoldMs = 1000;
    static constexpr int kSitePoints = 16 * 16;
    static constexpr int kBetweenGaps[] = {1, 4, 7, 10, 13};
    static constexpr int kBetweenPoints = 5 * 5;
    static constexpr int kPoints = kSitePoints + kBetweenPoints;
    static constexpr std::uint64_t kPassMs =
        kSitePoints * (kRampMs + kSiteHoldMs) + kBetweenPoints * (kRampMs + kBetweenHoldMs);

    // Point k (0..kPoints - 1) of a pass.
    static TRawPoint Point(int k, const SiteList& tps, const SiteList& rpm);
    // Where the sweep is msIntoSweep after it began at from (the point it ramps away from).
    static TRawPoint At(std::uint64_t msIntoSweep, const TRawPoint& from, const SiteList& tps,
                        const SiteList& rpm);
};

}  // namespace zv::sim
