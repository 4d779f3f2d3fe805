#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "line/event_queue.h"
#include "seams/timer_service.h"

namespace zv::sim {

// Virtual time for the link, the line and the unit: nothing happens until a test or a benchmark
// advances the clock, and then every due event runs in time order (events due at the same
// microsecond run in the order they were scheduled), so that every run is the same. Time is
// kept in microseconds because a byte on a 9600-baud line takes 1.0417 ms.
class VirtualTimerService : public zv::TimerService {
  public:
    using EventId = EventQueue::EventId;

    // startMs lets a test begin near the wrap of the 32-bit tick count.
    explicit VirtualTimerService(std::uint64_t startMs = 0);

    std::unique_ptr<zv::Timer> CreateTimer() override;
    std::uint32_t GetTickCount() const override;

    std::uint64_t NowUs() const;
    std::uint64_t NowMs() const { return NowUs() / 1000; }

    // Runs action at the given time (a time in the past means now). The id cancels it.
    EventId ScheduleAtUs(std::uint64_t atUs, std::function<void()> action);
    EventId ScheduleAfterUs(std::uint64_t delayUs, std::function<void()> action);
    // Cancelling an event that already ran or was cancelled does nothing.
    void Cancel(EventId id);
    // The queue itself, for an owner that re-arms one event again and again (RecurringEvent).
    const std::shared_ptr<EventQueue>& Events() const { return Queue_; }

    // Runs every event due up to now + ms (inclusive) and leaves the clock there.
    void Advance(std::uint64_t ms);
    void AdvanceUs(std::uint64_t us);
    // Runs events until done() holds (checked first and after each event) or limitMs have
    // passed; the clock stops at the event that made done() true. Returns done().
    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs);

    std::size_t PendingEvents() const;
    // When the earliest pending event is due; nothing when none is pending.
    std::optional<std::uint64_t> NextDueUs() const;

  private:
    // Advancing from inside an event would run later events before the current one finished.
    class RunGuard;

    std::shared_ptr<EventQueue> Queue_;
    bool Running_ = false;
};

}  // namespace zv::sim
