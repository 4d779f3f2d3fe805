#pragma once

#include <array>
#include <cstdint>

namespace zv::sim {

// The share of full load the engine breathes at a throttle position (raw 0..255) and engine
// speed: even a closed throttle lets some air by, and at low speed the manifold fills long
// before the throttle is wide open.
double ExhaustLoad(int tpsRaw, int rpm);

// How late a wideband sensor reports the mixture the engine burnt at a steady operating point:
// the gas has to sweep out the exhaust volume before the sensor, at the engine's flow (speed
// times load), plus a fixed transport of kTransportMs. About 1 s at idle, 0.11 s at 6000 rpm
// full load; the sensor's own lag comes on top.
int WidebandDelayMs(int tpsRaw, int rpm);

// The wideband sensor in the exhaust as the unit's control loop meets it, one step per loop:
// - the mixture reaches it once the gas after it has filled the exhaust volume (so it arrives
//   late at low flow and early at high, and a tip-in pushes slow gas out fast);
// - it follows that mixture as a first-order lag with a time constant of kLagMs;
// - after the engine start its controller heats it for kWarmUpMs, during which its output is
//   0 V: below any sensor error limit, and no reading for the program.
class TWidebandSensor {
  public:
    static constexpr std::uint64_t kLoopMs = 10;
    static constexpr double kLagMs = 60.0;
    static constexpr std::uint64_t kWarmUpMs = 8000;
    static constexpr double kTransportMs = 50.0;
    static constexpr double kVolume = 380.0;  // rpm-seconds at full load

    // The mixture burnt in the loop before this one, the operating point now, and the time since
    // the engine start (none: the engine has not started).
    void Step(double burntLambda, int tpsRaw, int rpm, bool started, std::uint64_t sinceStartMs);
    // The lambda the sensor reads; meaningful only while Ready().
    double Lambda() const { return Lambda_; }
    bool Ready() const { return Ready_; }

  private:
    static constexpr std::size_t kHistory = 400;  // loops: 4 s, longer than any delay that counts
    std::array<double, kHistory> Burnt_{};        // ring of the mixtures of past loops
    std::array<double, kHistory> Flow_{};         // and the gas each loop pushed on
    std::size_t Newest_ = 0;
    bool Filled_ = false;
    double Lambda_ = 5.0;
    bool Ready_ = false;
};

}  // namespace zv::sim
