#include "editors/map_sites.h"

#include <algorithm>

#include "cells/block_operations.h"

namespace zv {

TSites SitesAt(const ImageBytes& image, std::size_t offset) {
    TSites sites{};
    for (std::size_t i = 0; i < 16; ++i)
        sites[i] = image[offset + 15 - i];
    return sites;
}

bool SitesValid(const TSites& sites) {
    return std::adjacent_find(sites.begin(), sites.end(), std::greater_equal<>()) == sites.end();
}

TSites DisplayedSites(const TSites& sites) {
    if (SitesValid(sites))
        return sites;
    TSites substitute{};
    for (std::size_t i = 0; i < 16; ++i)
        substitute[i] = static_cast<std::uint8_t>(17 * i);
    return substitute;
}

int SiteLabel(std::uint8_t site, int scaleMax) {
    return site * scaleMax / 255;
}

std::uint8_t SiteIndex(std::uint8_t v, std::span<const std::uint8_t> sites, std::uint8_t n) {
    if (v >= sites[0])
        return 0;
    if (v == 0)
        return n;
    for (std::uint8_t k = 0; k < n; ++k) {
        if (sites[k + 1u] < v)
            return k;
    }
    return n;
}

namespace {

// The smallest index whose site is not below v (v already clamped into the sites' range).
int UpperIndex(const TSites& sites, int v) {
    int i = 0;
    while (i < 15 && v > sites[static_cast<std::size_t>(i)])
        ++i;
    return i;
}

int Site(const TSites& sites, int i) {
    return sites[static_cast<std::size_t>(i)];
}

}  // namespace

int MarkerHeight(std::span<const std::uint8_t, 256> map, const TSites& throttle, const TSites& rpm,
                 std::uint8_t rawThrottle, std::uint8_t rawRpm) {
    const int vT = std::clamp<int>(rawThrottle, throttle[0], std::max(throttle[0], throttle[15]));
    const int vR = std::clamp<int>(rawRpm, rpm[0], std::max(rpm[0], rpm[15]));
    const int i = UpperIndex(throttle, vT);
    const int j = UpperIndex(rpm, vR);
    auto rowValue = [&](int a) {
        const int here = FuelMapCell(map, a, j);
        if (j == 0)
            return here;
        return Between(FuelMapCell(map, a, j - 1), here, vR, Site(rpm, j - 1), Site(rpm, j));
    };
    if (i == 0)
        return rowValue(0);
    return Between(rowValue(i - 1), rowValue(i), vT, Site(throttle, i - 1), Site(throttle, i));
}

double AxisPosition(const TSites& sites, std::uint8_t raw) {
    const int v = std::clamp<int>(raw, sites[0], std::max(sites[0], sites[15]));
    const int i = UpperIndex(sites, v);
    if (i == 0)
        return 0.0;
    const int s0 = Site(sites, i - 1);
    const int s1 = Site(sites, i);
    return (i - 1) + static_cast<double>(v - s0) / (s1 - s0);
}

}  // namespace zv
