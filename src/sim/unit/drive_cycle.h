#pragma once

#include <cstdint>
#include <optional>

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

// A repeating drive cycle after an engine start: cranking and warm idle prelude, then every
// 40 s idle, acceleration, cruise, full load past the shift lamp thresholds, overrun, idle.
class TDriveCycle {
  public:
    static constexpr std::uint64_t kStartMs = 2000;   // cranking until the engine idles
    static constexpr std::uint64_t kCycleMs = 40000;  // one round of the cycle

    // Phase boundaries within a round, in ms.
    static constexpr std::uint64_t kAccelFrom = 8000, kCruiseFrom = 12000, kFullLoadFrom = 22000,
                                   kOverrunFrom = 28000, kIdleFrom = 33000;

    // Inputs at a time since the engine start (before kStartMs the engine cranks).
    TEngineInputs At(std::uint64_t msSinceStart) const;

    // Holds throttle and engine speed at a fixed point (tests, bench set-ups); the temperature,
    // sensors and disturbance still follow the time.
    void HoldAt(int tpsRaw, int rpm) { Hold_ = Point{tpsRaw, rpm}; }
    void FollowCycle() { Hold_.reset(); }
    bool Holding() const { return Hold_.has_value(); }

  private:
    struct Point {
        int Tps;
        int Rpm;
    };
    std::optional<Point> Hold_;
};

}  // namespace zv::sim
