#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "data/zv_data_class.h"

namespace zv {

class TComX;

// Every transfer the online mode runs through the link.
enum class TTransfer : std::uint8_t {
    Identification,
    DeviceDataUpload,
    FuelMapUpload,
    AfrMapUpload,
    DeviceDataDownload,
    FuelMapDownload,
    AfrMapDownload,
    TpsSitesDownload,
    RpmSitesDownload,
    IdleCurveDownload,
    TempCurveDownload,
    GpCurveDownload,
    FotoCurveDownload,
    LiveStream,
};

// Which data set a transfer reads into or writes from.
enum class TTransferSide : std::uint8_t { ReceiveIdent, ReceiveImage, DeviceImage, LiveRecord };

struct TTransferInfo {
    const char* StatusText = "";
    std::uint8_t Job = 0;
    std::uint8_t Area = 2;
    std::uint16_t Address = 0xFFFF;  // 0xFFFF: not sent
    std::uint16_t Length = 0;        // bytes moved
    TTransferSide Side = TTransferSide::ReceiveImage;
    std::size_t ImageOffset = 0;  // place in the data set's Image (image sides only)
    int MinFirmware = 0;          // lowest firmware index the transfer runs for
    int ProgressMax = 0;          // top of the progress bar while it runs (Counter)
};

// Unit address of the fuel map in area 2: 0x100 from firmware index 9 on, 0x300 below.
std::uint16_t FuelMapAddress(int firmware);
// Live record length by firmware index: 11 up to 8, 18 up to 23, 24 up to 36, else 28.
std::uint16_t LiveRecordLength(int firmware);
// The buffer of the layout a firmware index uses.
std::span<std::uint8_t> LiveRecordBuffer(TLiveRecords& records, int firmware);

// Where the image keeps the unit's byte at an area and address (the device data, the fuel map
// at the firmware's address, the AFR map); nothing for the unit's bytes the image does not hold.
std::optional<std::size_t> ImageOffsetOf(std::uint8_t area, std::uint16_t address, int firmware);
// Where the unit keeps the image's byte at offset (as the uploads of that firmware read it);
// nothing for the bytes only the PC holds.
struct TUnitPlace {
    std::uint8_t Area = 2;
    std::uint16_t Address = 0;
    bool operator==(const TUnitPlace&) const = default;
};
std::optional<TUnitPlace> UnitPlaceOf(std::size_t offset, int firmware);
inline bool UnitKeeps(std::size_t offset, int firmware) {
    return UnitPlaceOf(offset, firmware).has_value();
}

// The transfer as it runs for a firmware index.
TTransferInfo TransferInfo(TTransfer transfer, int firmware);
// Uploads, the identification and the live stream go by the firmware of ReceiveData, downloads
// by that of DeviceData.
int TransferFirmware(const TZVDataClass& data, TTransfer transfer);
bool TransferApplies(const TZVDataClass& data, TTransfer transfer);
// Starts the transfer's job on the right part of the data image. False, and nothing started,
// when the transfer does not apply to the unit's firmware or the link refused the job.
bool StartTransfer(TComX& link, TZVDataClass& data, TTransfer transfer);

}  // namespace zv
