#include "unit/wideband_sensor.h"

#include <algorithm>
#include <cmath>

namespace zv::sim {

namespace {

constexpr int kResponseMs = 80;
constexpr int kTravelRpmMs = 24000;
constexpr int kMaxDelayMs = 600;
constexpr double kAir = 5.0;  // lambda of a cylinder that burnt no fuel

}  // namespace

int WidebandDelayMs(int rpm) {
    if (rpm <= 0)
        return kMaxDelayMs;
    return std::min(kMaxDelayMs, kResponseMs + kTravelRpmMs / rpm);
}

void TWidebandSensor::Step(double burntLambda, int rpm, bool started, std::uint64_t sinceStartMs) {
    if (!Filled_) {
        Burnt_.fill(kAir);
        Filled_ = true;
    }
    Newest_ = (Newest_ + 1) % kHistory;
    Burnt_[Newest_] = burntLambda;
    // The newest entry is one loop old; the delay counts whole loops from there.
    const auto loops = static_cast<std::size_t>(
        (static_cast<std::uint64_t>(WidebandDelayMs(rpm)) + kLoopMs - 1) / kLoopMs);
    const double arrived = Burnt_[(Newest_ + kHistory - (loops - 1)) % kHistory];
    Lambda_ += (arrived - Lambda_) * (1.0 - std::exp(-static_cast<double>(kLoopMs) / kLagMs));
    Ready_ = started && sinceStartMs >= kWarmUpMs;
}

}  // namespace zv::sim
