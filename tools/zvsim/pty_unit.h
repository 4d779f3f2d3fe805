#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "unit/sim_unit.h"
#include "unit/watched_unit.h"

namespace zv::tool {

// The simulated unit behind a pseudo-terminal, at true 9600-baud timing. A pseudo-terminal
// moves bytes as fast as they are written, so the simulated line paces them: a byte the program
// writes reaches the unit 1.0417 ms after the line is free, and each answer byte reaches the
// program's side 1.0417 ms after the previous one. The line's clock follows the real clock.
//
// A spare descriptor of the terminal's own side stays open, so the program may close and reopen
// the port as often as it likes without the terminal hanging up.
class TPtyUnit {
  public:
    explicit TPtyUnit(std::unique_ptr<sim::TSimUnit> unit);
    ~TPtyUnit();
    TPtyUnit(const TPtyUnit&) = delete;
    TPtyUnit& operator=(const TPtyUnit&) = delete;

    // False (and Error() says why) when no pseudo-terminal could be had.
    bool Start();
    const std::string& DevicePath() const { return devicePath_; }
    const std::string& Error() const { return error_; }

    sim::TSimUnit& Unit() { return *unit_; }
    sim::TSimLine& Line() { return line_; }
    sim::VirtualTimerService& Clock() { return clock_; }
    // The unit as the line sees it: stray bytes on demand, and where each live record began.
    sim::WatchedUnit& Watched() { return watched_; }

    // Waits for bytes from the program or for the line's next event, whichever comes first, and
    // handles it. Returns early (false) when a signal arrived; signals in blockedMask are let
    // through only while waiting.
    bool Step(const void* waitSigmask);
    // The unit ignores everything from now (the real time, not the last event's) for ms.
    void GoSilentFor(std::uint64_t ms);

  private:
    void CatchUp();
    void ReadProgram();
    void SendToProgram();

    sim::VirtualTimerService clock_;
    sim::TSimLine line_;
    std::unique_ptr<sim::TSimUnit> unit_;
    sim::WatchedUnit watched_;
    std::chrono::steady_clock::time_point start_;
    int master_ = -1;
    int spareSlave_ = -1;
    std::string devicePath_;
    std::string error_;
};

}  // namespace zv::tool
