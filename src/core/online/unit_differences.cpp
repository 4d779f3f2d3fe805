#include "online/unit_differences.h"

#include "link/transfer_table.h"

namespace zv {

namespace {

// Places of the main area that carry a data set's values for a firmware index: the ones a data
// file holds, without the reserved bytes and without what the firmware does not use.
bool CarriesValue(std::size_t offset, int firmware) {
    if (offset >= img::FuelMap && offset < img::UnusedTail) return true;
    if (firmware < 4 || offset > img::RpmSites + 15) return false;
    if (firmware <= 8) return offset <= 3 || (offset >= 206 && offset < img::TpsSites);
    return offset <= 21 || (offset >= 32 && offset <= 42) || offset >= img::TpsScale;
}

bool MainByteDiffers(std::size_t i, const ImageBytes& unit, const ImageBytes& work, int fw) {
    if (i == img::FlagsWord + 1) {
        // Bits 12..15 of the flags word are reserved; bit 10 is ours only from firmware 35.
        const unsigned mask = fw >= 35 ? 0x0F : 0x0B;
        return ((unit[i] ^ work[i]) & mask) != 0;
    }
    return unit[i] != work[i];
}

}  // namespace

std::vector<std::size_t> UnitDifferences(const TZVDataClass& data) {
    return UnitDifferences(data.ReceiveData.Image, data.DeviceData.Image, data.ReceiveData.Firmware);
}

std::vector<std::size_t> UnitDifferences(const ImageBytes& unit, const ImageBytes& work, int fw) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < kMainAreaSize; ++i) {
        if (CarriesValue(i, fw) && MainByteDiffers(i, unit, work, fw))
            offsets.push_back(i);
    }
    if (fw >= 26) {
        for (std::size_t i = img::AfrMap; i < img::AfrMap + 256; ++i) {
            if (PackAfrCell(unit[i]) != PackAfrCell(work[i]))
                offsets.push_back(i);
        }
    }
    return offsets;
}

TWriteBatch DifferencesBatch(const std::vector<std::size_t>& offsets, int firmware) {
    TWriteBatch batch;
    for (const std::size_t offset : offsets) {
        if (const auto place = UnitPlaceOf(offset, firmware))
            batch.Add(offset, place->Area, place->Address, 1);
    }
    return batch;
}

}  // namespace zv
