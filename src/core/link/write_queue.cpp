#include "link/write_queue.h"

#include <algorithm>
#include <cstdio>

namespace zv {

std::string WriteFailureStatus(const TWriteFailure& failure) {
    char text[64];
    std::snprintf(text, sizeof text, "Write failed: area %u, address 0x%04X",
                  static_cast<unsigned>(failure.Area), static_cast<unsigned>(failure.Address));
    return text;
}

namespace {

// First address past a write's bytes.
std::size_t End(const TQueuedWrite& w) {
    return w.Address + TWriteQueue::KindLength(w.Kind);
}

// True when outer writes every byte that inner writes.
bool Covers(const TQueuedWrite& outer, const TQueuedWrite& inner) {
    return outer.Area == inner.Area && outer.Address <= inner.Address && End(inner) <= End(outer);
}

bool Overlaps(const TQueuedWrite& a, const TQueuedWrite& b) {
    return a.Area == b.Area && a.Address < End(b) && b.Address < End(a);
}

}  // namespace

std::size_t TWriteQueue::KindLength(std::uint8_t kind) {
    switch (kind) {
        case wkind::OneByte:
            return 1;
        case wkind::TwoBytes:
            return 2;
        case wkind::SixteenBytes:
            return 16;
        default:
            return 0;
    }
}

bool TWriteQueue::Push(std::uint8_t area, const std::uint8_t* source, std::uint8_t kind,
                       std::uint16_t address, std::uint32_t batch) {
    const std::size_t length = KindLength(kind);
    if (length == 0 || area > 2 || source == nullptr)
        return false;
    if (static_cast<std::size_t>(address) + length - 1 > 0xFFFF)
        return false;

    TQueuedWrite write;
    write.Area = area;
    write.Kind = kind;
    write.Address = address;
    write.Batch = batch;
    std::copy_n(source, length, write.Data.begin());

    // A waiting write whose bytes the new one all carries is stale and goes.
    const std::size_t first = FrontInFlight_ ? 1 : 0;
    const std::size_t place = PlaceFor(write, first);
    std::deque<TQueuedWrite> kept;
    for (std::size_t i = 0; i < Items_.size(); ++i) {
        if (i == place)
            kept.push_back(write);
        if (i < first || !Covers(write, Items_[i]))
            kept.push_back(Items_[i]);
    }
    if (place == Items_.size())
        kept.push_back(write);
    Items_.swap(kept);
    return true;
}

std::size_t TWriteQueue::PlaceFor(const TQueuedWrite& write, std::size_t first) const {
    // The place of the first waiting write that the new one replaces, as long as nothing queued
    // behind it touches the new write's bytes: the new write then reaches the unit sooner and
    // still after every older write of those bytes. Otherwise it queues last, so that writes of
    // the same bytes reach the unit in the order they were made, whatever their kinds.
    std::size_t place = Items_.size();
    for (std::size_t i = first; i < Items_.size(); ++i) {
        if (Covers(write, Items_[i])) {
            place = std::min(place, i);
        } else if (place < Items_.size() && Overlaps(write, Items_[i])) {
            return Items_.size();
        }
    }
    return place;
}

std::size_t TWriteQueue::CountOfBatch(std::uint32_t batch) const {
    return static_cast<std::size_t>(std::count_if(
        Items_.begin(), Items_.end(), [batch](const TQueuedWrite& w) { return w.Batch == batch; }));
}

bool TWriteQueue::BatchAllRows(std::uint32_t batch) const {
    return std::all_of(Items_.begin(), Items_.end(), [batch](const TQueuedWrite& w) {
        return w.Batch != batch || w.Kind == wkind::SixteenBytes;
    });
}

void TWriteQueue::FrontDone() {
    if (!Items_.empty())
        Items_.pop_front();
    FrontInFlight_ = false;
}

std::optional<TWriteFailure> TWriteQueue::FrontFailed() {
    FrontInFlight_ = false;
    if (Items_.empty())
        return std::nullopt;
    auto& front = Items_.front();
    ++front.Tries;
    const bool superseded = std::any_of(Items_.begin() + 1, Items_.end(),
                                        [&](const TQueuedWrite& w) { return Covers(w, front); });
    if (superseded) {
        Items_.pop_front();
        return std::nullopt;
    }
    if (front.Tries < kMaxTries)
        return std::nullopt;
    TWriteFailure failure{front.Area, front.Kind, front.Address};
    Items_.pop_front();
    return failure;
}

void TWriteQueue::Clear() {
    Items_.clear();
    FrontInFlight_ = false;
}

}  // namespace zv
