#pragma once

#include <QElapsedTimer>

#include "seams/timer_service.h"

namespace zv {

// Core's timers on QTimer. All of them are precise: the link's time-outs and its 70 ms pacing
// must not be rounded to the coarse timer slack Qt allows by default.
class QtTimerService : public TimerService {
  public:
    QtTimerService();
    std::unique_ptr<Timer> CreateTimer() override;
    std::uint32_t GetTickCount() const override;

  private:
    QElapsedTimer clock_;
};

}  // namespace zv
