#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/zv_data_class.h"


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
    // Bytes of the image from offset on, kept by the unit from area and address on.
    void Add(std::size_t offset, std::uint8_t area, std::uint16_t address, std::size_t length);
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

class TComX;

// Queues the planned writes with the bytes the image holds now, as one batch where there are
// several; gives the number of writes queued.
std::size_t QueueBatch(TComX& link, const std::vector<TBatchWrite>& plan, const ImageBytes& image);

}  // namespace zv
