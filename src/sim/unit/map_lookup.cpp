#include "unit/map_lookup.h"

#include <algorithm>

namespace zv::sim {

namespace {

// The smallest index whose site is not below v; the last one when none is (sites that are
// not rising, as a garbled memory may hold).
int FirstNotBelow(const SiteList& sites, int v) {
    for (int i = 0; i < 16; ++i) {
        if (v <= sites[static_cast<std::size_t>(i)])
            return i;
    }
    return 15;
}

int ClampToSites(const SiteList& sites, int v) {
    v = std::max(v, sites[0]);
    return std::min(v, sites[15]);
}

// a + trunc((b - a) * (v - lo) / (hi - lo)); b when the step between the sites is empty.
int Between(int a, int b, int v, int lo, int hi) {
    if (hi <= lo)
        return b;
    return a + (b - a) * (v - lo) / (hi - lo);
}

}  // namespace

SiteList SitesFromStored(const std::uint8_t* stored) {
    SiteList sites{};
    for (int i = 0; i < 16; ++i)
        sites[static_cast<std::size_t>(i)] = stored[15 - i];
    return sites;
}

int SiteIndex(int v, const std::uint8_t* stored) {
    if (v >= stored[0])
        return 0;
    if (v == 0)
        return 15;
    for (int k = 0; k < 15; ++k) {
        if (stored[k + 1] < v)
            return k;
    }
    return 15;
}

int InterpolateMap(const std::function<int(int, int)>& cell, const SiteList& tps,
                   const SiteList& rpm, int vTps, int vRpm) {
    const int vT = ClampToSites(tps, vTps);
    const int vR = ClampToSites(rpm, vRpm);
    const int i = FirstNotBelow(tps, vT);
    const int j = FirstNotBelow(rpm, vR);
    const auto row = [&](int a) {
        if (j == 0)
            return cell(a, 0);
        return Between(cell(a, j - 1), cell(a, j), vR, rpm[static_cast<std::size_t>(j - 1)],
                       rpm[static_cast<std::size_t>(j)]);
    };
    if (i == 0)
        return row(0);
    return Between(row(i - 1), row(i), vT, tps[static_cast<std::size_t>(i - 1)],
                   tps[static_cast<std::size_t>(i)]);
}

int CurveAt(const std::uint8_t* stored, int v) {
    v = std::clamp(v, 0, 255);
    const int point = std::min(v / 17, 14);
    const int a = stored[15 - point];
    const int b = stored[15 - (point + 1)];
    return a + (b - a) * (v - point * 17) / 17;
}

}  // namespace zv::sim
