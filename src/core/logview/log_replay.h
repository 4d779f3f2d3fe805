#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "logview/log_data.h"
#include "seams/timer_service.h"

namespace zv {

// Plays a log back in its own time, sped up 1, 4 or 16 times: every line whose time the replay
// passes is handed on in order, so that the pages move as they do online.
class TLogReplay {
  public:
    static constexpr int kTickMs = 20;

    TLogReplay(TimerService& timers, const TLogData& log);

    // The line the replay stands at; Play continues after it.
    std::size_t Line() const { return line_; }
    void SetLine(std::size_t line);
    int Speed() const { return speed_; }
    void SetSpeed(int speed);  // 1, 4 or 16
    bool Playing() const { return timer_->Active(); }
    void Play();
    void Pause();

    // Each line passed; the replay stops by itself after the last one.
    std::function<void(std::size_t line)> LinePassed;
    // Play and pause, also the stop at the end.
    std::function<void()> Changed;

  private:
    void Tick();

    const TLogData& log_;
    TimerService& timers_;
    std::unique_ptr<Timer> timer_;
    std::size_t line_ = 0;
    int speed_ = 1;
    double logTime_ = 0.0;      // seconds into the log the replay has reached
    std::uint32_t lastTick_ = 0;
};

}  // namespace zv
