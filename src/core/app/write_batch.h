#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "history/edit_history.h"

namespace zv {

// One write of a batch as the link queues it: where the bytes lie in the image and in the
// unit, and how many (1, 2 or 16, the link's write kinds).
struct TBatchWrite {
    std::size_t Offset = 0;
    std::uint8_t Area = 2;
    std::uint16_t Address = 0;
    std::size_t Length = 1;

    bool operator==(const TBatchWrite&) const = default;
};

// Collects the unit's bytes an operation changed (a block, a paste, an undo of either) and
// plans the fewest, shortest writes that carry them: a sixteen-byte row where it changed in
// four or more bytes, otherwise its bytes one or two at a time. Every write is read back, so
// a row of sixteen costs as much wire time as four single bytes.
class TWriteBatch {
  public:
    void Add(const TImageWrite& write, std::size_t length);
    bool Empty() const { return bytes_.empty(); }
    void Clear() { bytes_.clear(); }

    // In the order the rows were first touched; within a row, lowest address first. The
    // firmware says where the unit keeps each row of the image (so a whole row is written only
    // where the unit keeps all of it).
    std::vector<TBatchWrite> Plan(int firmware) const;

  private:
    struct TByte {
        std::size_t Offset;
        std::uint8_t Area;
        std::uint16_t Address;
    };
    std::vector<TByte> bytes_;  // in the order they were changed; a byte may come twice
};

}  // namespace zv
