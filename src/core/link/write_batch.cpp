#include "link/write_batch.h"

#include <algorithm>
#include <bit>

#include "link/tcomx.h"
#include "link/transfer_table.h"

namespace zv {

namespace {

constexpr std::size_t kRow = 16;
// From this many changed bytes on, one row write is as quick as single writes and their
// read-backs, and it needs only one read-back.
constexpr std::size_t kRowWriteFrom = 4;

// The changed bytes of one row of the unit's memory.
struct TRow {
    std::uint8_t Area = 2;
    std::uint16_t Address = 0;  // first address of the row, a multiple of 16
    std::ptrdiff_t Delta = 0;   // image offset less unit address, the same for all its bytes
    std::uint16_t Changed = 0;  // bit i: address + i

    std::ptrdiff_t OffsetOf(std::size_t i) const {
        return static_cast<std::ptrdiff_t>(Address + i) + Delta;
    }
};

// The row written whole, where the image keeps all sixteen of the unit's bytes in a row.
bool WholeRowFits(const TRow& row, int firmware) {
    const auto first = ImageOffsetOf(row.Area, row.Address, firmware);
    const auto last = ImageOffsetOf(row.Area, static_cast<std::uint16_t>(row.Address + kRow - 1),
                                    firmware);
    return first && last && *last == *first + kRow - 1 &&
           static_cast<std::ptrdiff_t>(*first) == row.OffsetOf(0);
}

// Runs of changed bytes, two at a time where two stand together.
void AddSmallWrites(const TRow& row, std::vector<TBatchWrite>& writes) {
    for (std::size_t i = 0; i < kRow; ++i) {
        if (!(row.Changed & (1u << i)))
            continue;
        const bool pair = i + 1 < kRow && (row.Changed & (1u << (i + 1)));
        writes.push_back({static_cast<std::size_t>(row.OffsetOf(i)), row.Area,
                          static_cast<std::uint16_t>(row.Address + i), pair ? 2u : 1u});
        if (pair)
            ++i;
    }
}

}  // namespace

void TWriteBatch::Add(std::size_t offset, std::uint8_t area, std::uint16_t address,
                      std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        bytes_.push_back({offset + i, area, static_cast<std::uint16_t>(address + i)});
}

std::vector<TBatchWrite> TWriteBatch::Plan(int firmware) const {
    std::vector<TRow> rows;
    for (const TByte& byte : bytes_) {
        const auto rowAddress = static_cast<std::uint16_t>(byte.Address & ~0xFu);
        const auto inRow = static_cast<std::size_t>(byte.Address - rowAddress);
        auto row = std::find_if(rows.begin(), rows.end(), [&](const TRow& r) {
            return r.Area == byte.Area && r.Address == rowAddress;
        });
        if (row == rows.end()) {
            const auto delta =
                static_cast<std::ptrdiff_t>(byte.Offset) - static_cast<std::ptrdiff_t>(byte.Address);
            rows.push_back({byte.Area, rowAddress, delta, 0});
            row = rows.end() - 1;
        }
        row->Changed = static_cast<std::uint16_t>(row->Changed | (1u << inRow));
    }
    std::vector<TBatchWrite> writes;
    for (const TRow& row : rows) {
        const auto changed = static_cast<std::size_t>(std::popcount(row.Changed));
        if (changed >= kRowWriteFrom && WholeRowFits(row, firmware))
            writes.push_back({static_cast<std::size_t>(row.OffsetOf(0)), row.Area, row.Address, kRow});
        else
            AddSmallWrites(row, writes);
    }
    return writes;
}

std::size_t QueueBatch(TComX& link, const std::vector<TBatchWrite>& plan, const ImageBytes& image) {
    const std::uint32_t batch = plan.size() > 1 ? link.NewBatch() : 0;
    std::size_t queued = 0;
    for (const TBatchWrite& write : plan) {
        const std::uint8_t kind = write.Length == 16  ? wkind::SixteenBytes
                                  : write.Length == 2 ? wkind::TwoBytes
                                                      : wkind::OneByte;
        if (write.Offset + write.Length <= image.size() &&
            link.QueueWrite(write.Area, &image[write.Offset], kind, write.Address, batch))
            ++queued;
    }
    return queued;
}

}  // namespace zv
