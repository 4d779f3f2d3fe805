#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace zv {

// Kinds of a queued write: how many bytes it carries.
namespace wkind {
enum : std::uint8_t { OneByte = 0, TwoBytes = 1, SixteenBytes = 2 };
}

// One edit waiting to be written into the unit while the live stream runs.
struct TQueuedWrite {
    std::uint8_t Area = 2;
    std::uint8_t Kind = wkind::OneByte;
    std::uint16_t Address = 0;
    std::array<std::uint8_t, 16> Data{};
    std::uint8_t Tries = 0;  // tries that failed so far
    // Writes of one operation (a block, a paste, an undo) share a batch number and go out one
    // after the other; 0 for a write of its own, which waits for a live record like any edit.
    std::uint32_t Batch = 0;
};

// A queued write that was given up: the unit does not hold this edit.
struct TWriteFailure {
    std::uint8_t Area = 0;
    std::uint8_t Kind = 0;
    std::uint16_t Address = 0;

    bool operator==(const TWriteFailure&) const = default;
};

// "Write failed: area 2, address 0x0104" for the status panel.
std::string WriteFailureStatus(const TWriteFailure& failure);

// Pending writes of the live stream, in the order the operator made the edits. Each keeps its
// own area, address and bytes, so no edit overwrites another one's data. Writes that touch the
// same bytes stay in the order they were made, whatever their kinds; a newer write that carries
// every byte of one still waiting replaces it.
class TWriteQueue {
  public:
    static constexpr std::uint8_t kMaxTries = 3;

    // Bytes of a kind; 0 for an unknown kind.
    static std::size_t KindLength(std::uint8_t kind);

    // Copies the bytes at once, so later changes of the source do not leak into this write.
    // False (nothing queued) for an unknown kind or area, no source, or a range past 0xFFFF.
    bool Push(std::uint8_t area, const std::uint8_t* source, std::uint8_t kind,
              std::uint16_t address, std::uint32_t batch = 0);
    // Writes still waiting of a batch, the front one included, and whether all of them are
    // whole rows of sixteen bytes.
    std::size_t CountOfBatch(std::uint32_t batch) const;
    bool BatchAllRows(std::uint32_t batch) const;

    bool Empty() const { return Items_.empty(); }
    std::size_t Size() const { return Items_.size(); }
    const TQueuedWrite& Front() const { return Items_.front(); }

    // The front write is on the wire; a new edit of its place must queue behind it.
    void BeginFront() { FrontInFlight_ = !Items_.empty(); }
    bool FrontInFlight() const { return FrontInFlight_; }
    void FrontDone();
    // Counts a failed try. The write stays in front for another try unless it has used up its
    // tries (then it is removed and returned) or a newer write of all its bytes waits (then it
    // is removed quietly: the newer one carries the values that matter).
    std::optional<TWriteFailure> FrontFailed();

    void Clear();

  private:
    // Where a new write goes among the waiting ones (from index first); the size means last.
    std::size_t PlaceFor(const TQueuedWrite& write, std::size_t first) const;

    std::deque<TQueuedWrite> Items_;
    bool FrontInFlight_ = false;
};

}  // namespace zv
