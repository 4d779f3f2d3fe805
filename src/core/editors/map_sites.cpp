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
int UpperIndex(const TSites& sites, double v) {
    int i = 0;
    while (i < 15 && v > sites[static_cast<std::size_t>(i)])
        ++i;
    return i;
}

int Site(const TSites& sites, int i) {
    return sites[static_cast<std::size_t>(i)];
}

}  // namespace

int ValueOnAxis(const TSites& values, const TSites& sites, std::uint8_t raw) {
    const int v = std::clamp<int>(raw, sites[0], std::max(sites[0], sites[15]));
    const int i = UpperIndex(sites, v);
    if (i == 0)
        return values[0];
    return Between(values[static_cast<std::size_t>(i - 1)], values[static_cast<std::size_t>(i)], v,
                   Site(sites, i - 1), Site(sites, i));
}

int MarkerHeight(std::span<const std::uint8_t, 256> map, const TSites& throttle, const TSites& rpm,
                 std::uint8_t rawThrottle, std::uint8_t rawRpm) {
    // The unit goes along the rpm axis in each throttle row first, then between the rows; a
    // value between two bytes is a byte again.
    TSites rows{};
    for (int t = 0; t < 16; ++t) {
        TSites row{};
        for (int r = 0; r < 16; ++r)
            row[static_cast<std::size_t>(r)] = FuelMapCell(map, t, r);
        rows[static_cast<std::size_t>(t)] =
            static_cast<std::uint8_t>(ValueOnAxis(row, rpm, rawRpm));
    }
    return ValueOnAxis(rows, throttle, rawThrottle);
}

double AxisPosition(const TSites& sites, double raw) {
    const double v = std::clamp<double>(raw, sites[0], std::max(sites[0], sites[15]));
    const int i = UpperIndex(sites, v);
    if (i == 0)
        return 0.0;
    const int s0 = Site(sites, i - 1);
    const int s1 = Site(sites, i);
    return (i - 1) + (v - s0) / (s1 - s0);
}

}  // namespace zv
