#include "logview/log_operating_point.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "data/zv_data_class.h"

namespace zv {

namespace {

// The byte near `estimate` whose display equals `shown`; the estimate when none does (a value
// the unit cannot send, such as a hand-edited log).
template <typename Display>
std::uint8_t InverseOf(double estimate, long shown, Display display) {
    const long centre = std::lround(estimate);
    for (long raw = centre - 1; raw <= centre + 1; ++raw) {
        if (raw >= 0 && raw <= 255 && display(static_cast<int>(raw)) == shown)
            return static_cast<std::uint8_t>(raw);
    }
    return static_cast<std::uint8_t>(std::clamp(centre, 0L, 255L));
}

int NearestSite(const TSites& sites, std::uint8_t raw) {
    int best = 0;
    for (int i = 1; i < 16; ++i) {
        if (std::abs(sites[static_cast<std::size_t>(i)] - raw) <
            std::abs(sites[static_cast<std::size_t>(best)] - raw))
            best = i;
    }
    return best;
}

}  // namespace

std::uint8_t RpmRaw(double rpm) {
    return InverseOf(rpm / 39.2157, std::lround(rpm),
                     [](int raw) { return static_cast<long>(raw * 39.2157); });
}

std::uint8_t ThrottleRaw(double percent) {
    return InverseOf(percent * 2.55, std::lround(percent * 10.0),
                     [](int raw) { return static_cast<long>(raw / 0.255); });
}

TOperatingMaps TOperatingMaps::Of(const TZVDataClass& data) {
    const ImageBytes& image = data.DeviceData.Image;
    TOperatingMaps maps;
    maps.Throttle = DisplayedSites(SitesAt(image, img::TpsSites));
    maps.Rpm = DisplayedSites(SitesAt(image, img::RpmSites));
    std::copy_n(image.begin() + img::AfrMap, 256, maps.AfrMap.begin());
    return maps;
}

std::optional<double> TOperatingMaps::AfrTarget(std::uint8_t rawThrottle,
                                                std::uint8_t rawRpm) const {
    const double t = AxisPosition(Throttle, rawThrottle);
    const double r = AxisPosition(Rpm, rawRpm);
    const std::span<const std::uint8_t, 256> map(AfrMap);
    for (const double tt : {std::floor(t), std::ceil(t)}) {
        for (const double rr : {std::floor(r), std::ceil(r)}) {
            if (IsAfrTargetNC(FuelMapCell(map, static_cast<int>(tt), static_cast<int>(rr))))
                return std::nullopt;
        }
    }
    const int cell = MarkerHeight(map, Throttle, Rpm, rawThrottle, rawRpm);
    return AfrOfTargetByte(static_cast<std::uint8_t>(cell));
}

std::array<int, 2> TOperatingMaps::NearestCell(std::uint8_t rawThrottle,
                                               std::uint8_t rawRpm) const {
    return {NearestSite(Throttle, rawThrottle), NearestSite(Rpm, rawRpm)};
}

}  // namespace zv
