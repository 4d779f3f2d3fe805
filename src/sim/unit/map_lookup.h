#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace zv::sim {

// Sites lowest first, as the fuel map view's interpolation numbers them.
using SiteList = std::array<int, 16>;

// Sites stored highest first at base (point i at base + 15 - i), turned lowest first.
SiteList SitesFromStored(const std::uint8_t* stored);

// The stored index (0 = highest site) of the smallest site not below v, as SiteIndex of the
// fuel map view finds it.
int SiteIndex(int v, const std::uint8_t* stored);

// Map value at an operating point, interpolated over the sites exactly as the fuel map view
// places its operating-point marker, so that the unit's "LMVal" and the
// program's marker agree. cell(t, r) gives the map with both indices lowest first.
int InterpolateMap(const std::function<int(int, int)>& cell, const SiteList& tps,
                   const SiteList& rpm, int vTps, int vRpm);

// A 16-point curve stored highest point first (point i at base + 15 - i, input i x 17),
// interpolated linearly at input v (0..255).
int CurveAt(const std::uint8_t* stored, int v);

}  // namespace zv::sim
