#pragma once

#include <cstdint>
#include <optional>

#include "link/sim_drive.h"
#include "unit/map_lookup.h"
#include "unit/sweep_plan.h"

namespace zv::sim {

// What the engine and its sensors do, independent of the unit: the operator's throttle, the
// engine speed that results, the coolant warming up, the general-purpose sensor (manifold
// pressure) and the daylight on the photo resistor.
struct TEngineInputs {
    int TpsRaw = 0;          // throttle potentiometer, 0..255 (closed throttle sits at 32)
    int Rpm = 0;             // engine speed in rpm
    double CoolantC = 20.0;  // coolant temperature
    double TempSensor = 0;   // input F wiring when not used for lambda (NTC: cold reads high),
    int TempSensorRaw = 0;   // in counts of 51 per volt, and as the unit's 8-bit conversion
    int GpSensorRaw = 0;     // input E wiring when not used for lambda (manifold pressure)
    int PhotoRaw = 0;        // photo resistor, 0 dark .. 255 bright
    double Disturbance = 0;  // slow mixture wander the lambda controllers work against, +-3 %
};

// How the engine is driven after its start (the same cranking for every drive):
// - cycle: every 40 s idle, acceleration, cruise, full load past the shift lamp thresholds,
//   overrun, idle; the coolant warms from 20 C with a time constant of a minute;
// - hold: throttle and engine speed held where the drive says;
// - sweep: the engine sits on a dynamometer. It warms for kSweepWarmUpMs at a light load point
//   (throttle 60 of 255, 2500 rpm); braked, it warms five times faster than on the road (time
//   constant 12 s from 20 C: within half a degree of 85 C when the warm-up ends), since a tuner
//   sweeps a warm engine. Then TSweepPlan's passes over the unit's sites, one after the other.
// - inertia: the same warm-up on an inertia dynamometer, then runs at each throttle site above
//   a closed throttle in turn, lowest first: the throttle opens at kRunFromRpm (a tip-in), the engine speed climbs to
//   kRunToRpm in kRunMs, the throttle closes (overrun) and the roller brings the engine back
//   down in kRunDownMs, then it idles at closed throttle for kRunIdleMs.
class TDriveCycle {
  public:
    static constexpr std::uint64_t kStartMs = 2000;   // cranking until the engine idles
    static constexpr std::uint64_t kCycleMs = 40000;  // one round of the cycle
    static constexpr std::uint64_t kSweepWarmUpMs = 60000;
    // The first sweep pass begins this long after the engine start.
    static constexpr std::uint64_t kSweepFromMs = kStartMs + kSweepWarmUpMs;

    static constexpr double kRunFromRpm = 1300.0, kRunToRpm = 6500.0;
    static constexpr std::uint64_t kRunMs = 8000, kRunDownMs = 4000, kRunIdleMs = 2000;
    static constexpr std::uint64_t kRunCycleMs = kRunMs + kRunDownMs + kRunIdleMs;

    // Phase boundaries within a round, in ms.
    static constexpr std::uint64_t kAccelFrom = 8000, kCruiseFrom = 12000, kFullLoadFrom = 22000,
                                   kOverrunFrom = 28000, kIdleFrom = 33000;

    void SetDrive(const TSimDrive& drive) { Drive_ = drive; }
    const TSimDrive& Drive() const { return Drive_; }

    // Inputs at a time since the engine start (before kStartMs the engine cranks); the sweep
    // runs over these sites, lowest first.
    TEngineInputs At(std::uint64_t msSinceStart, const SiteList& tpsSites,
                     const SiteList& rpmSites) const;

    // Holds throttle and engine speed at a fixed point from the first moment, cranking
    // included (tests, bench set-ups); the temperature, sensors and disturbance still follow
    // the time.
    void HoldAt(int tpsRaw, int rpm) { Hold_ = Point{tpsRaw, rpm}; }
    void FollowCycle() { Hold_.reset(); }
    bool Holding() const { return Hold_.has_value(); }

  private:
    struct Point {
        int Tps;
        int Rpm;
    };
    // Throttle raw and rpm of the drive once the engine runs.
    void DrivenPoint(std::uint64_t msSinceStart, double idle, const SiteList& tpsSites,
                     const SiteList& rpmSites, double& tps, double& rpm) const;
    void InertiaPoint(std::uint64_t running, double idle, const SiteList& tpsSites, double& tps,
                      double& rpm) const;

    TSimDrive Drive_;
    std::optional<Point> Hold_;
};

// The throttle byte of a whole percent, rounded to the nearest count.
int TpsRawOfPercent(int percent);

}  // namespace zv::sim
