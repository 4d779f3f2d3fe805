#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace zv {

// One timer. Realised by QTimer (precise) in the program and by the virtual clock in tests.
// Handlers run on the thread that owns the timers (the user-interface thread), one at a time.
class Timer {
  public:
    virtual ~Timer() = default;

    // The handler may be swapped at any time, also from inside the running handler.
    virtual void SetHandler(std::function<void()> handler) = 0;
    // Changing the interval of an active timer restarts its period, as QTimer does.
    virtual void SetInterval(int milliseconds) = 0;
    virtual int Interval() const = 0;
    virtual void SetSingleShot(bool singleShot) = 0;
    virtual bool SingleShot() const = 0;
    // Starts the period from now; an active timer starts over.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
};

// Creates timers and tells the time.
class TimerService {
  public:
    virtual ~TimerService() = default;

    // A stopped, repeating timer with a 0 ms interval and no handler.
    virtual std::unique_ptr<Timer> CreateTimer() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
    virtual std::uint32_t GetTickCount() const = 0;
};

}  // namespace zv
