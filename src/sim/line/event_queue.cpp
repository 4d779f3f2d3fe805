#include "line/event_queue.h"

#include <stdexcept>
#include <utility>

namespace zv::sim {

namespace {

// Enough for the link, the line and the unit of one simulated session without growing.
constexpr std::size_t kInitialSlots = 32;

}  // namespace

EventQueue::EventQueue() {
    Slots_.reserve(kInitialSlots);
    Heap_.reserve(kInitialSlots);
    FreeSlots_.reserve(kInitialSlots);
}

std::uint32_t EventQueue::TakeSlot() {
    if (!FreeSlots_.empty()) {
        const std::uint32_t slot = FreeSlots_.back();
        FreeSlots_.pop_back();
        return slot;
    }
    if (Slots_.size() >= kNotQueued)
        throw std::length_error("virtual clock: too many pending events");
    Slots_.emplace_back();
    return static_cast<std::uint32_t>(Slots_.size() - 1);
}

void EventQueue::FreeSlot(std::uint32_t slot) {
    Slot& s = Slots_[slot];
    s.Action = nullptr;
    s.Fire = nullptr;
    s.Context = nullptr;
    ++s.Uses;
    FreeSlots_.push_back(slot);
}

bool EventQueue::Before(std::uint32_t a, std::uint32_t b) const {
    const Slot& x = Slots_[a];
    const Slot& y = Slots_[b];
    return x.DueUs != y.DueUs ? x.DueUs < y.DueUs : x.Order < y.Order;
}

void EventQueue::Place(std::size_t pos, std::uint32_t slot) {
    Heap_[pos] = slot;
    Slots_[slot].HeapPos = static_cast<std::uint32_t>(pos);
}

void EventQueue::SiftUp(std::size_t pos) {
    const std::uint32_t slot = Heap_[pos];
    while (pos > 0) {
        const std::size_t parent = (pos - 1) / 2;
        if (!Before(slot, Heap_[parent]))
            break;
        Place(pos, Heap_[parent]);
        pos = parent;
    }
    Place(pos, slot);
}

void EventQueue::SiftDown(std::size_t pos) {
    const std::uint32_t slot = Heap_[pos];
    const std::size_t size = Heap_.size();
    for (;;) {
        std::size_t child = 2 * pos + 1;
        if (child >= size)
            break;
        if (child + 1 < size && Before(Heap_[child + 1], Heap_[child]))
            ++child;
        if (!Before(Heap_[child], slot))
            break;
        Place(pos, Heap_[child]);
        pos = child;
    }
    Place(pos, slot);
}

void EventQueue::Queue(std::uint32_t slot, std::uint64_t atUs) {
    Slot& s = Slots_[slot];
    s.DueUs = atUs < NowUs_ ? NowUs_ : atUs;
    s.Order = NextOrder_++;
    if (s.HeapPos == kNotQueued) {
        Heap_.push_back(slot);
        SiftUp(Heap_.size() - 1);
        return;
    }
    // Re-armed in place: it may have moved either way.
    const std::size_t pos = s.HeapPos;
    SiftUp(pos);
    SiftDown(Slots_[slot].HeapPos);
}

void EventQueue::Unqueue(std::uint32_t slot) {
    const std::size_t pos = Slots_[slot].HeapPos;
    if (pos == kNotQueued)
        return;
    Slots_[slot].HeapPos = kNotQueued;
    const std::uint32_t last = Heap_.back();
    Heap_.pop_back();
    if (pos == Heap_.size())
        return;
    Place(pos, last);
    SiftUp(pos);
    SiftDown(Slots_[last].HeapPos);
}

EventQueue::EventId EventQueue::Schedule(std::uint64_t atUs, std::function<void()> action) {
    const std::uint32_t slot = TakeSlot();
    Slots_[slot].Action = std::move(action);
    Queue(slot, atUs);
    return (static_cast<std::uint64_t>(Slots_[slot].Uses) << 32 | slot) + 1;
}

void EventQueue::Cancel(EventId id) {
    if (id == 0)
        return;
    const std::uint64_t raw = id - 1;
    const auto slot = static_cast<std::uint32_t>(raw & 0xFFFFFFFFu);
    if (slot >= Slots_.size())
        return;
    const Slot& s = Slots_[slot];
    if (s.Uses != static_cast<std::uint32_t>(raw >> 32) || s.Fire != nullptr ||
        s.HeapPos == kNotQueued)
        return;
    Unqueue(slot);
    FreeSlot(slot);
}

bool EventQueue::RunNext(std::uint64_t limitUs) {
    if (Heap_.empty())
        return false;
    const std::uint32_t slot = Heap_.front();
    if (Slots_[slot].DueUs > limitUs)
        return false;
    NowUs_ = Slots_[slot].DueUs;
    Unqueue(slot);
    // Nothing may refer into Slots_ while the event runs: it may schedule and grow the queue.
    if (Slots_[slot].Fire != nullptr) {
        Slots_[slot].Fire(Slots_[slot].Context);
        return true;
    }
    auto action = std::move(Slots_[slot].Action);
    FreeSlot(slot);
    action();
    return true;
}

std::uint64_t EventQueue::EarliestDueUs() const {
    return Slots_[Heap_.front()].DueUs;
}

std::uint32_t EventQueue::AddRecurring(FireFn fire, void* context) {
    const std::uint32_t slot = TakeSlot();
    Slots_[slot].Fire = fire;
    Slots_[slot].Context = context;
    return slot;
}

void EventQueue::ArmRecurring(std::uint32_t slot, std::uint64_t atUs) {
    Queue(slot, atUs);
}

void EventQueue::DisarmRecurring(std::uint32_t slot) {
    Unqueue(slot);
}

bool EventQueue::RecurringArmed(std::uint32_t slot) const {
    return Slots_[slot].HeapPos != kNotQueued;
}

void EventQueue::RemoveRecurring(std::uint32_t slot) {
    Unqueue(slot);
    FreeSlot(slot);
}

RecurringEvent::RecurringEvent(std::shared_ptr<EventQueue> queue, EventQueue::FireFn fire,
                               void* context)
    : Queue_(std::move(queue)), Slot_(Queue_->AddRecurring(fire, context)) {}

RecurringEvent::~RecurringEvent() {
    Queue_->RemoveRecurring(Slot_);
}

}  // namespace zv::sim
