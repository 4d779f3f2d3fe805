#include "unit/watched_unit.h"

#include <functional>
#include <memory>

namespace zv::sim {

void WatchedUnit::ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) {
    const std::size_t before = Unit_.OutputSize();
    Unit_.ReceiveByte(byte, nowMs);
    // Noise goes out only while the unit has nothing to say, so a reply decided now starts
    // right after what the unit still has queued.
    if (byte == 0xA0 && Unit_.OutputSize() > before)
        RecordStarts_.push_back(Taken_ + before);
}

std::uint8_t WatchedUnit::TakeOutputByte() {
    ++Taken_;
    if (Unit_.HasOutput())
        return Unit_.TakeOutputByte();
    const std::uint8_t byte = Noise_.front();
    Noise_.pop_front();
    return byte;
}

void WatchedUnit::StartNoise(VirtualTimerService& clock, TSimLine& line, std::mt19937& rng) {
    auto noise = std::make_shared<std::function<void()>>();
    *noise = [this, &clock, &line, &rng, noise] {
        const int n = 1 + static_cast<int>(rng() % 3u);
        for (int i = 0; i < n; ++i)
            AddNoise(static_cast<std::uint8_t>(rng()));
        line.PollUnit();
        const auto nextMs = std::uniform_int_distribution<std::uint64_t>(100, 600)(rng);
        clock.ScheduleAfterUs(nextMs * 1000, [noise] { (*noise)(); });
    };
    clock.ScheduleAfterUs(50000, [noise] { (*noise)(); });
}

std::vector<int> ReceivedUnitBytes(const std::vector<LineByte>& traffic) {
    std::vector<int> received;
    for (const auto& b : traffic) {
        if (b.Direction != LineDirection::UnitToPc)
            continue;
        if (received.size() <= b.Index)
            received.resize(b.Index + 1, -1);
        received[b.Index] = b.Lost ? -1 : b.Received;
    }
    return received;
}

bool RecordWasSent(const std::vector<std::uint8_t>& record, const std::vector<int>& received,
                   const std::vector<std::uint64_t>& starts, std::size_t window) {
    for (auto it = starts.rbegin();
         it != starts.rend() && static_cast<std::size_t>(it - starts.rbegin()) < window; ++it) {
        const std::uint64_t s = *it;
        if (s + record.size() > received.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < record.size() && same; ++i)
            same = received[s + i] == record[i];
        if (same)
            return true;
    }
    return false;
}

}  // namespace zv::sim
