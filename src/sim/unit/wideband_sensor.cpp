#include "unit/wideband_sensor.h"

#include <algorithm>
#include <cmath>

namespace zv::sim {

namespace {

constexpr double kAir = 5.0;  // lambda of a cylinder that burnt no fuel
constexpr double kMaxDelayMs = 4000.0;
constexpr double kClosedLoad = 0.2;
constexpr double kFullRpm = 6000.0;

}  // namespace

double ExhaustLoad(int tpsRaw, int rpm) {
    const double open = std::clamp(tpsRaw / 255.0, 0.0, 1.0);
    // The manifold fills with less throttle at low speed.
    const double steep = 3.0 - 1.5 * std::clamp(rpm / kFullRpm, 0.0, 1.0);
    return kClosedLoad + (1.0 - kClosedLoad) * (1.0 - std::pow(1.0 - open, steep));
}

int WidebandDelayMs(int tpsRaw, int rpm) {
    const double flow = rpm * ExhaustLoad(tpsRaw, rpm);
    if (flow <= 0.0)
        return static_cast<int>(kMaxDelayMs);
    return static_cast<int>(
        std::min(kMaxDelayMs, TWidebandSensor::kTransportMs + TWidebandSensor::kVolume * 1000.0 / flow));
}

void TWidebandSensor::Step(double burntLambda, int tpsRaw, int rpm, bool started,
                           std::uint64_t sinceStartMs) {
    if (!Filled_) {
        Burnt_.fill(kAir);
        Filled_ = true;
    }
    Newest_ = (Newest_ + 1) % kHistory;
    Burnt_[Newest_] = burntLambda;
    Flow_[Newest_] = std::max(0, rpm) * ExhaustLoad(tpsRaw, rpm) * (kLoopMs / 1000.0);
    // The gas at the sensor is the one after which the engine has pushed the exhaust volume
    // on, a fixed transport earlier; the newest entry is one loop old.
    const auto transport = static_cast<std::size_t>(kTransportMs / kLoopMs);
    double pushed = 0.0;
    std::size_t back = transport;
    while (back + 1 < kHistory) {
        pushed += Flow_[(Newest_ + kHistory - (back - transport)) % kHistory];
        if (pushed >= kVolume)
            break;
        ++back;
    }
    const double arrived = Burnt_[(Newest_ + kHistory - std::min(back, kHistory - 1)) % kHistory];
    Lambda_ += (arrived - Lambda_) * (1.0 - std::exp(-static_cast<double>(kLoopMs) / kLagMs));
    Ready_ = started && sinceStartMs >= kWarmUpMs;
}

}  // namespace zv::sim
