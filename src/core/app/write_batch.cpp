#include "app/write_batch.h"

#include <algorithm>
#include <bit>

#include "history/image_changes.h"

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

// The row written whole, where the unit keeps the image's row at exactly that place.
bool WholeRowFits(const TRow& row, int firmware) {
    const std::ptrdiff_t offset = row.OffsetOf(0);
    if (offset < 0 || offset % static_cast<std::ptrdiff_t>(kRow) != 0)
        return false;
    const auto place = UnitPlaceOfBlock(static_cast<std::size_t>(offset), firmware);
    return place && place->Area == row.Area && place->Address == row.Address;
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

void TWriteBatch::Add(const TImageWrite& write, std::size_t length) {
    if (!write.ToUnit)
        return;
    for (std::size_t i = 0; i < length; ++i)
        bytes_.push_back({write.Offset + i, write.Area, static_cast<std::uint16_t>(write.Address + i)});
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

}  // namespace zv
