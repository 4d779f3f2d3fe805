#include "unit/sweep_plan.h"

namespace zv::sim {

namespace {

// Index k of a row of n that runs up on even rows and down on odd ones.
int Serpentine(int row, int k, int n) {
    return row % 2 == 0 ? k : n - 1 - k;
}

double Middle(const SiteList& sites, int gap) {
    return (sites[static_cast<std::size_t>(gap)] + sites[static_cast<std::size_t>(gap + 1)]) / 2.0;
}

constexpr std::uint64_t kSitePointMs = TSweepPlan::kRampMs + TSweepPlan::kSiteHoldMs;
constexpr std::uint64_t kBetweenPointMs = TSweepPlan::kRampMs + TSweepPlan::kBetweenHoldMs;
constexpr std::uint64_t kSitePartMs = TSweepPlan::kSitePoints * kSitePointMs;

}  // namespace

TRawPoint TSweepPlan::Point(int k, const SiteList& tps, const SiteList& rpm) {
    if (k < kSitePoints) {
        const int row = k / 16;
        const int column = Serpentine(row, k % 16, 16);
        return {static_cast<double>(tps[static_cast<std::size_t>(row)]),
                static_cast<double>(rpm[static_cast<std::size_t>(column)])};
    }
    const int j = k - kSitePoints;
    const int row = j / 5;
    const int column = Serpentine(row, j % 5, 5);
    return {Middle(tps, kBetweenGaps[row]), Middle(rpm, kBetweenGaps[column])};
}

TRawPoint TSweepPlan::At(std::uint64_t msIntoSweep, const TRawPoint& from, const SiteList& tps,
                         const SiteList& rpm) {
    const bool firstPass = msIntoSweep < kPassMs;
    std::uint64_t ms = msIntoSweep % kPassMs;
    int k = 0;
    if (ms < kSitePartMs) {
        k = static_cast<int>(ms / kSitePointMs);
        ms %= kSitePointMs;
    } else {
        ms -= kSitePartMs;
        k = kSitePoints + static_cast<int>(ms / kBetweenPointMs);
        ms %= kBetweenPointMs;
    }
    const TRawPoint to = Point(k, tps, rpm);
    if (ms >= kRampMs)
        return to;
    const TRawPoint a = k > 0       ? Point(k - 1, tps, rpm)
                        : firstPass ? from
                                    : Point(kPoints - 1, tps, rpm);
    const double f = static_cast<double>(ms) / static_cast<double>(kRampMs);
    return {a.Tps + (to.Tps - a.Tps) * f, a.RpmRaw + (to.RpmRaw - a.RpmRaw) * f};
}

}  // namespace zv::sim
