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
                       std::uint16_t address) {
    const std::size_t length = KindLength(kind);
    if (length == 0 || area > 2 || source == nullptr)
        return false;
    if (static_cast<std::size_t>(address) + length - 1 > 0xFFFF)
        return false;

    TQueuedWrite write;
    write.Area = area;
    write.Kind = kind;
    write.Address = address;
    std::copy_n(source, length, write.Data.begin());

    const std::size_t first = FrontInFlight_ ? 1 : 0;
    for (std::size_t i = first; i < Items_.size(); ++i) {
        auto& w = Items_[i];
        if (w.Area == area && w.Kind == kind && w.Address == address) {
            // Keeps its place in the order: the place was edited first back then.
            w = write;
            return true;
        }
    }
    Items_.push_back(write);
    return true;
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
    const bool superseded =
        std::any_of(Items_.begin() + 1, Items_.end(), [&](const TQueuedWrite& w) {
            return w.Area == front.Area && w.Kind == front.Kind && w.Address == front.Address;
        });
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
