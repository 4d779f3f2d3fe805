#include "unit/drive_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>

namespace zv::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Key {
    double AtS;  // time within the round
    double Tps;
    double Rpm;
};

// Throttle and speed keyframes of one round, linearly interpolated. The idle speed is filled in
// from the coolant temperature; -1 marks it.
constexpr Key kRound[] = {
    {0.0, 32, -1},     {8.0, 32, -1},      // idle
    {8.5, 160, 1500},  {12.0, 160, 5000},  // acceleration
    {12.5, 95, 4200},  {14.0, 95, 3000},   // settle into cruise
    {22.0, 95, 3000},                      // cruise
    {22.3, 245, 3100}, {28.0, 245, 8000},  // full load, through the shift lamp speeds
    {28.2, 32, 7800},  {33.0, 32, 1000},   // overrun with closed throttle
    {34.0, 32, -1},    {40.0, 32, -1},     // idle
};

constexpr double kWarmC = 85.0, kColdC = 20.0;
constexpr double kRoadWarmUpS = 60.0;
constexpr double kDynoWarmUpS = 12.0;
// Where the engine warms on the dynamometer before the sweep: throttle raw and rpm.
constexpr double kDynoWarmTps = 60.0, kDynoWarmRpm = 2500.0;
constexpr double kClosedThrottle = 32.0;
constexpr double kFootWander = 8.0, kFootPeriodS = 20.0;  // throttle counts
constexpr double kRoadWanderRpm = 250.0, kRoadPeriodS = 6.0;  // while cruising
constexpr int kRunMinTps = 40;  // the throttle a run needs to be more than a closed one

double IdleRpm(double coolantC) {
    // Fast idle when cold, 900 rpm warm.
    const double cold = std::clamp((kWarmC - coolantC) / (kWarmC - kColdC), 0.0, 1.0);
    return 900.0 + 200.0 * cold;
}

// rpm whose raw byte (rpm x 255 / 10000, cut) is raw.
double RpmOfRaw(double raw) {
    return std::ceil(raw * 10000.0 / 255.0);
}

double CycleAt(double t, double idle, double& tps) {
    std::size_t k = 0;
    while (k + 2 < std::size(kRound) && kRound[k + 1].AtS <= t)
        ++k;
    const Key& a = kRound[k];
    const Key& b = kRound[k + 1];
    const double f = std::clamp((t - a.AtS) / (b.AtS - a.AtS), 0.0, 1.0);
    const double rpmA = a.Rpm < 0 ? idle : a.Rpm;
    const double rpmB = b.Rpm < 0 ? idle : b.Rpm;
    tps = a.Tps + (b.Tps - a.Tps) * f;
    return rpmA + (rpmB - rpmA) * f;
}

}  // namespace

int TpsRawOfPercent(int percent) {
    return (std::clamp(percent, 0, 100) * 255 + 50) / 100;
}

void TDriveCycle::DrivenPoint(std::uint64_t msSinceStart, double idle, const SiteList& tpsSites,
                              const SiteList& rpmSites, double& tps, double& rpm) const {
    const std::uint64_t running = msSinceStart - kStartMs;
    switch (Drive_.Type) {
        case TSimDrive::Kind::Hold:
            tps = TpsRawOfPercent(Drive_.TpsPercent);
            rpm = Drive_.Rpm;
            return;
        case TSimDrive::Kind::Sweep: {
            const TRawPoint warm{kDynoWarmTps, kDynoWarmRpm * 255.0 / 10000.0};
            TRawPoint at;
            if (running < kSweepWarmUpMs) {
                // From idle to the warm-up point in one ramp.
                const double f = std::min(
                    1.0, static_cast<double>(running) / static_cast<double>(TSweepPlan::kRampMs));
                const double idleRaw = idle * 255.0 / 10000.0;
                at = {kClosedThrottle + (warm.Tps - kClosedThrottle) * f,
                      idleRaw + (warm.RpmRaw - idleRaw) * f};
            } else {
                at = TSweepPlan::At(running - kSweepWarmUpMs, warm, tpsSites, rpmSites);
            }
            tps = at.Tps;
            rpm = RpmOfRaw(at.RpmRaw);
            return;
        }
        case TSimDrive::Kind::Inertia:
            InertiaPoint(running, idle, tpsSites, tps, rpm);
            return;
        case TSimDrive::Kind::Cycle:
            break;
    }
    const double s = static_cast<double>(msSinceStart) / 1000.0;
    const double t =
        std::fmod(static_cast<double>(running) / 1000.0, static_cast<double>(kCycleMs) / 1000.0);
    rpm = CycleAt(t, idle, tps);
    // A driver's foot is never still: under way the throttle wanders slowly, and while cruising
    // the road takes the speed up and down a little.
    const double underWay = static_cast<double>(kAccelFrom) / 1000.0;
    const double cruise = static_cast<double>(kCruiseFrom) / 1000.0 + 2.0;
    const double fullLoad = static_cast<double>(kFullLoadFrom) / 1000.0;
    if (t >= underWay && t < fullLoad)
        tps += kFootWander * std::sin(2.0 * kPi * t / kFootPeriodS);
    if (t >= cruise && t < fullLoad)
        rpm += kRoadWanderRpm * std::sin(2.0 * kPi * (t - cruise) / kRoadPeriodS);
    // A running engine never holds its speed exactly.
    rpm += 15.0 * std::sin(2.0 * kPi * s / 0.9);
}

void TDriveCycle::InertiaPoint(std::uint64_t running, double idle, const SiteList& tpsSites,
                               double& tps, double& rpm) const {
    if (running < kSweepWarmUpMs) {
        const double f = std::min(1.0, static_cast<double>(running) / 1000.0);
        tps = kClosedThrottle + (kDynoWarmTps - kClosedThrottle) * f;
        rpm = idle + (kDynoWarmRpm - idle) * f;
        return;
    }
    // Runs at the sites where the throttle is open; at the lower ones the unit cuts the fuel.
    std::size_t first = 0;
    while (first + 1 < tpsSites.size() && tpsSites[first] <= kRunMinTps)
        ++first;
    const std::uint64_t into = running - kSweepWarmUpMs;
    const std::size_t site =
        first + static_cast<std::size_t>(into / kRunCycleMs) % (tpsSites.size() - first);
    const std::uint64_t at = into % kRunCycleMs;
    if (at < kRunMs) {
        tps = tpsSites[site];
        rpm = kRunFromRpm + (kRunToRpm - kRunFromRpm) * static_cast<double>(at) / kRunMs;
    } else if (at < kRunMs + kRunDownMs) {
        tps = kClosedThrottle;
        rpm = kRunToRpm -
              (kRunToRpm - kRunFromRpm) * static_cast<double>(at - kRunMs) / kRunDownMs;
    } else {
        tps = kClosedThrottle;
        rpm = kRunFromRpm;
    }
}

TEngineInputs TDriveCycle::At(std::uint64_t msSinceStart, const SiteList& tpsSites,
                              const SiteList& rpmSites) const {
    TEngineInputs in;
    const double s = static_cast<double>(msSinceStart) / 1000.0;

    const bool dyno =
        Drive_.Type == TSimDrive::Kind::Sweep || Drive_.Type == TSimDrive::Kind::Inertia;
    in.CoolantC = kWarmC - (kWarmC - kColdC) * std::exp(-s / (dyno ? kDynoWarmUpS : kRoadWarmUpS));
    in.TempSensor = 40.0 + (100.0 - in.CoolantC) * 1.6;
    in.TempSensorRaw = static_cast<int>(in.TempSensor);
    in.PhotoRaw = static_cast<int>(128.0 + 100.0 * std::sin(2.0 * kPi * s / 60.0));
    in.Disturbance = 0.03 * std::sin(2.0 * kPi * s / 1.7);

    const double idle = IdleRpm(in.CoolantC);
    double tps = kClosedThrottle;
    double rpm = 0.0;
    if (msSinceStart < kStartMs) {
        // 0.3 s standing, cranking at 250 rpm, then catching to idle speed.
        if (s < 0.3) {
            rpm = 0.0;
        } else if (s < 1.0) {
            rpm = 250.0;
        } else {
            rpm = 250.0 + (idle - 250.0) * (s - 1.0);
        }
    } else {
        DrivenPoint(msSinceStart, idle, tpsSites, rpmSites, tps, rpm);
    }
    if (Hold_) {
        tps = Hold_->Tps;
        rpm = Hold_->Rpm;
    }
    in.TpsRaw = std::clamp(static_cast<int>(tps), 0, 255);
    in.Rpm = std::max(static_cast<int>(rpm), 0);
    // Manifold pressure: near vacuum at closed throttle, atmospheric at full throttle.
    in.GpSensorRaw = in.Rpm == 0 ? 204 : std::clamp(50 + in.TpsRaw * 150 / 255, 0, 255);
    return in;
}

}  // namespace zv::sim
