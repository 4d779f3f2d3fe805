#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "data/zv_data_class.h"

namespace zv {

// The fuel map over its two site lists, as the map editor, its chart and the site dialog see
// them. Site lists are stored highest site first; these helpers speak lowest first.

using TSites = std::array<std::uint8_t, 16>;  // lowest site first

constexpr int kThrottleScaleMax = 100;
constexpr int kRpmScaleMax = 10000;

// Cell (t, r) of the 256 map bytes as the image holds them (see FuelMapOffset).
inline std::uint8_t FuelMapCell(std::span<const std::uint8_t, 256> map, int t, int r) {
    return map[FuelMapOffset(t, r) - img::FuelMap];
}

// The 16 sites stored from image offset `offset` (highest first), lowest first.
TSites SitesAt(const ImageBytes& image, std::size_t offset);
// True when the sites rise strictly.
bool SitesValid(const TSites& sites);
// What the chart puts on an axis: the sites, or 0, 17, ..., 255 for a list that does not rise
// strictly (the image keeps the list as it is).
TSites DisplayedSites(const TSites& sites);
// The number an axis shows for a site byte: byte x scale maximum / 255, fraction cut off.
int SiteLabel(std::uint8_t site, int scaleMax);

// The stored index (0 = highest) of the smallest site not below v, for sites[0..n] stored highest
// first. The map editor and the wideband page look up cells with it.
std::uint8_t SiteIndex(std::uint8_t v, std::span<const std::uint8_t> sites, std::uint8_t n);

// The map value under a raw operating point, interpolated between the four neighbouring cells
// the way the unit does (integer steps, cut toward zero). Sites lowest first; the point is
// clamped into the sites' range first.
int MarkerHeight(std::span<const std::uint8_t, 256> map, const TSites& throttle, const TSites& rpm,
                 std::uint8_t rawThrottle, std::uint8_t rawRpm);

// The value of a line of 16 cells over an axis at a raw value, the way the unit interpolates
// (integer steps, cut toward zero): values and sites lowest first; beyond the ends the edge value.
int ValueOnAxis(const TSites& values, const TSites& sites, std::uint8_t raw);

// Where a raw value lies on an axis of sites, in site indices (2.5 = halfway between sites 2
// and 3), clamped to 0..15. Fractions of a count are for values taken from a log, whose engine
// speed and throttle are rounded in their own units.
double AxisPosition(const TSites& sites, double raw);

}  // namespace zv
