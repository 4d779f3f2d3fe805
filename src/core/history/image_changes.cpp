#include "history/image_changes.h"

#include <algorithm>
#include <span>

#include "link/transfer_table.h"

namespace zv {

namespace {

constexpr std::size_t kBlock = 16;
constexpr std::size_t kDeviceDataEnd = 256;

}  // namespace

std::optional<TImageWrite> UnitPlaceOfBlock(std::size_t offset, int firmware) {
    TImageWrite place;
    place.Offset = offset;
    if (offset < kDeviceDataEnd) {
        place.Address = static_cast<std::uint16_t>(offset);
    } else if (offset >= img::FuelMap && offset < img::FuelMap + 256) {
        place.Address =
            static_cast<std::uint16_t>(FuelMapAddress(firmware) + (offset - img::FuelMap));
    } else if (offset >= img::AfrMap && offset < img::AfrMap + 256) {
        place.Area = 1;
        place.Address = static_cast<std::uint16_t>(offset - kAfrAreaStart);
    } else {
        return std::nullopt;
    }
    return place;
}

void RecordImageChanges(TEditHistory& history, const ImageBytes& before, const ImageBytes& after,
                        int firmware) {
    for (std::size_t offset = 0; offset < kImageSize; offset += kBlock) {
        const auto old = std::span(before).subspan(offset, kBlock);
        const auto now = std::span(after).subspan(offset, kBlock);
        if (std::equal(old.begin(), old.end(), now.begin()))
            continue;
        if (const auto place = UnitPlaceOfBlock(offset, firmware))
            history.Record(*place, old, now);
    }
}

}  // namespace zv
