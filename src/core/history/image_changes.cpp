#include "history/image_changes.h"

#include <algorithm>
#include <span>

#include "link/transfer_table.h"

namespace zv {

namespace {

constexpr std::size_t kBlock = 16;

}  // namespace

// The downloads say where the unit keeps each part of the image, and from which firmware on.
std::optional<TImageWrite> UnitPlaceOfBlock(std::size_t offset, int firmware) {
    for (const TTransfer transfer :
         {TTransfer::DeviceDataDownload, TTransfer::FuelMapDownload, TTransfer::AfrMapDownload}) {
        const TTransferInfo info = TransferInfo(transfer, firmware);
        if (offset < info.ImageOffset || offset >= info.ImageOffset + info.Length ||
            firmware < info.MinFirmware)
            continue;
        TImageWrite place;
        place.Offset = offset;
        place.Area = info.Area;
        place.Address = static_cast<std::uint16_t>(info.Address + (offset - info.ImageOffset));
        return place;
    }
    return std::nullopt;
}

void RecordImageChanges(TEditHistory& history, const ImageBytes& before, const ImageBytes& after,
                        int firmware) {
    for (std::size_t offset = 0; offset < kImageSize; offset += kBlock) {
        const auto old = std::span(before).subspan(offset, kBlock);
        const auto now = std::span(after).subspan(offset, kBlock);
        if (std::equal(old.begin(), old.end(), now.begin()))
            continue;
        TImageWrite pcOnly;
        pcOnly.Offset = offset;
        pcOnly.ToUnit = false;
        history.Record(UnitPlaceOfBlock(offset, firmware).value_or(pcOnly), old, now, firmware);
    }
}

}  // namespace zv
