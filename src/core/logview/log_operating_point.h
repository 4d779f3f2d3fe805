#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "editors/map_sites.h"

namespace zv {

class TZVDataClass;

// A log keeps engine speed and throttle as the dashboard shows them; the map cells are found by
// the unit's raw bytes. These give the bytes back: the byte whose display is the logged value.
std::uint8_t RpmRaw(double rpm);
std::uint8_t ThrottleRaw(double percent);

// The working data set's sites and AFR target map as the unit uses them for the operating point.
struct TOperatingMaps {
    TSites Throttle{};  // lowest first, as the fuel map page shows them
    TSites Rpm{};
    std::array<std::uint8_t, 256> AfrMap{};  // the image's target bytes, fuel map order

    static TOperatingMaps Of(const TZVDataClass& data);

    // The target AFR at a raw operating point, interpolated between the four neighbouring cells
    // as the unit does; none when one of them is NC (closed loop off there).
    std::optional<double> AfrTarget(std::uint8_t rawThrottle, std::uint8_t rawRpm) const;
    // The cell whose sites lie nearest the point on each axis (throttle, rpm; 0 = lowest).
    std::array<int, 2> NearestCell(std::uint8_t rawThrottle, std::uint8_t rawRpm) const;
};

// The AFR of a target byte; bit 7 set means NC.
constexpr bool IsAfrTargetNC(std::uint8_t cell) {
    return (cell & 0x80) != 0;
}
constexpr double AfrOfTargetByte(std::uint8_t cell) {
    return (cell + 105) / 10.0;
}

}  // namespace zv
