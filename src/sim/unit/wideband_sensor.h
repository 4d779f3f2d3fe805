#pragma once

#include <array>
#include <cstdint>

namespace zv::sim {

// How late a wideband sensor reports the mixture that the engine burnt: the exhaust's travel
// from the cylinder to the sensor, which shrinks as the engine turns faster, plus a fixed
// response of the sensor and its controller of 80 ms. 80 + 24000 / rpm, at most 600 ms (a
// standing or cranking engine): 104 ms at 1000 rpm, 84 ms at 6000 rpm.
int WidebandDelayMs(int rpm);

// The wideband sensor in the exhaust as the unit's control loop meets it, one step per loop:
// - the mixture reaches it WidebandDelayMs later (rounded up to whole loops, so never earlier);
// - it follows that mixture as a first-order lag with a time constant of kLagMs;
// - after the engine start its controller heats it for kWarmUpMs, during which its output is
//   0 V: below any sensor error limit, and no reading for the program.
class TWidebandSensor {
  public:
    static constexpr std::uint64_t kLoopMs = 10;
    static constexpr double kLagMs = 100.0;
    static constexpr std::uint64_t kWarmUpMs = 8000;

    // The mixture burnt in the loop before this one, the engine speed now, and the time since
    // the engine start (none: the engine has not started).
    void Step(double burntLambda, int rpm, bool started, std::uint64_t sinceStartMs);
    // The lambda the sensor reads; meaningful only while Ready().
    double Lambda() const { return Lambda_; }
    bool Ready() const { return Ready_; }

  private:
    static constexpr std::size_t kHistory = 64;  // loops: more than the longest delay
    std::array<double, kHistory> Burnt_{};       // ring of the mixtures of past loops
    std::size_t Newest_ = 0;
    bool Filled_ = false;
    double Lambda_ = 5.0;
    bool Ready_ = false;
};

}  // namespace zv::sim
