#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace zv::sim {

// The pending events of the virtual clock, earliest first; events due at the same microsecond
// run in the order they were scheduled (or re-armed). A simulated transfer runs hundreds of
// events per second of virtual time, so scheduling allocates nothing once the queue has grown
// to its working size: events live in reused slots, ordered by a binary heap of slot numbers,
// and a recurring event (a timer, a byte on the line) keeps its slot and is re-armed in place.
class EventQueue {
  public:
    // Slot number in the low half, the slot's use count in the high half, so that the id of an
    // event that ran or was cancelled never cancels a later event in the same slot. Never 0.
    using EventId = std::uint64_t;
    using FireFn = void (*)(void* context);

    EventQueue();

    std::uint64_t NowUs() const { return NowUs_; }
    void SetNowUs(std::uint64_t us) { NowUs_ = us; }

    // A time in the past means now.
    EventId Schedule(std::uint64_t atUs, std::function<void()> action);
    // Cancelling an event that already ran or was cancelled does nothing.
    void Cancel(EventId id);
    // Runs the earliest event due at or before limitUs, with the clock set to its time; false
    // when there is none.
    bool RunNext(std::uint64_t limitUs);

    std::size_t Pending() const { return Heap_.size(); }
    bool Empty() const { return Heap_.empty(); }
    std::uint64_t EarliestDueUs() const;  // only when not Empty()

    // A slot that stays with its owner; it calls fire(context) each time it comes due.
    std::uint32_t AddRecurring(FireFn fire, void* context);
    void ArmRecurring(std::uint32_t slot, std::uint64_t atUs);
    void DisarmRecurring(std::uint32_t slot);
    bool RecurringArmed(std::uint32_t slot) const;
    void RemoveRecurring(std::uint32_t slot);

  private:
    static constexpr std::uint32_t kNotQueued = 0xFFFFFFFFu;

    struct Slot {
        std::uint64_t DueUs = 0;
        std::uint64_t Order = 0;  // among events due at the same time
        std::uint32_t HeapPos = kNotQueued;
        std::uint32_t Uses = 0;
        FireFn Fire = nullptr;         // recurring
        void* Context = nullptr;       // recurring
        std::function<void()> Action;  // one-shot
    };

    std::uint32_t TakeSlot();
    void FreeSlot(std::uint32_t slot);
    void Queue(std::uint32_t slot, std::uint64_t atUs);
    void Unqueue(std::uint32_t slot);
    bool Before(std::uint32_t a, std::uint32_t b) const;
    void Place(std::size_t pos, std::uint32_t slot);
    void SiftUp(std::size_t pos);
    void SiftDown(std::size_t pos);

    std::uint64_t NowUs_ = 0;
    std::uint64_t NextOrder_ = 0;
    std::vector<Slot> Slots_;
    std::vector<std::uint32_t> Heap_;  // slot numbers
    std::vector<std::uint32_t> FreeSlots_;
};

// Owns one recurring slot of a queue: armed, fired, re-armed without allocating. Removes its
// slot when destroyed, so a pending firing never reaches a destroyed owner. The queue is shared
// so that an owner outliving the clock stays harmless.
class RecurringEvent {
  public:
    RecurringEvent(std::shared_ptr<EventQueue> queue, EventQueue::FireFn fire, void* context);
    ~RecurringEvent();
    RecurringEvent(const RecurringEvent&) = delete;
    RecurringEvent& operator=(const RecurringEvent&) = delete;

    // An armed event moves to the new time, behind the events already scheduled for it.
    void ArmAtUs(std::uint64_t atUs) { Queue_->ArmRecurring(Slot_, atUs); }
    void Disarm() { Queue_->DisarmRecurring(Slot_); }
    bool Armed() const { return Queue_->RecurringArmed(Slot_); }
    std::uint64_t NowUs() const { return Queue_->NowUs(); }

  private:
    std::shared_ptr<EventQueue> Queue_;
    std::uint32_t Slot_;
};

}  // namespace zv::sim
