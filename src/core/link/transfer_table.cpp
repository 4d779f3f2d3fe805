#include "link/transfer_table.h"

#include "link/tcomx.h"

namespace zv {

std::uint16_t FuelMapAddress(int firmware) {
    return firmware >= 9 ? 0x100 : 0x300;
}

std::uint16_t LiveRecordLength(int firmware) {
    return static_cast<std::uint16_t>(LiveLayoutLength(LiveLayoutOfFirmware(firmware)));
}

std::span<std::uint8_t> LiveRecordBuffer(TLiveRecords& records, int firmware) {
    return records.Buffer(LiveLayoutOfFirmware(firmware));
}

TTransferInfo TransferInfo(TTransfer transfer, int firmware) {
    using S = TTransferSide;
    auto upload = [](const char* text, std::uint8_t area, std::uint16_t address, std::size_t offset,
                     int minFw) {
        return TTransferInfo{text,   job::Read256, area, address, 256, S::ReceiveImage,
                             offset, minFw,        15};
    };
    auto download = [](const char* text, std::uint8_t area, std::uint16_t address,
                       std::size_t offset, int minFw) {
        return TTransferInfo{text,           job::Write256, area,  address, 256,
                             S::DeviceImage, offset,        minFw, 255};
    };
    auto curve = [](const char* text, std::size_t offset) {
        return TTransferInfo{text, job::Write16,   2,      static_cast<std::uint16_t>(offset),
                             16,   S::DeviceImage, offset, 0,
                             16};
    };
    switch (transfer) {
        case TTransfer::Identification:
            return TTransferInfo{
                "Upload Device ID", job::Identify, 2, 0xFFFF, 176, S::ReceiveIdent, 0, 0, 0};
        case TTransfer::DeviceDataUpload:
            return upload("Device Data Upload", 2, 0, 0, 4);
        case TTransfer::FuelMapUpload:
            return upload("ZV map Upload", 2, FuelMapAddress(firmware), img::FuelMap, 0);
        case TTransfer::AfrMapUpload:
            return upload("AFR map Upload", 1, img::AfrMapInArea, img::AfrMap, 26);
        case TTransfer::DeviceDataDownload:
            return download("Device Data Download", 2, 0, 0, 0);
        case TTransfer::FuelMapDownload:
            return download("ZV map download", 2, FuelMapAddress(firmware), img::FuelMap, 0);
        case TTransfer::AfrMapDownload:
            return download("AFR map download", 1, img::AfrMapInArea, img::AfrMap, 27);
        case TTransfer::TpsSitesDownload:
            return curve("Load sites download", img::TpsSites);
        case TTransfer::RpmSitesDownload:
            return curve("Rpm sites download", img::RpmSites);
        case TTransfer::IdleCurveDownload:
            return curve("Idle Download", img::IdleControl);
        case TTransfer::TempCurveDownload:
            return curve("Temp Download", img::TempControl);
        case TTransfer::GpCurveDownload:
            return curve("G.P. Download", img::GeneralPurposeControl);
        case TTransfer::FotoCurveDownload:
            return curve("Foto Download", img::FotoControl);
        case TTransfer::LiveStream:
            return TTransferInfo{"Run Online",
                                 job::StreamStart,
                                 2,
                                 0xFFFF,
                                 LiveRecordLength(firmware),
                                 S::LiveRecord,
                                 0,
                                 0,
                                 15};
    }
    return {};
}

namespace {

// The parts of the image the unit keeps, as the uploads read them. Units too old to give their
// device data still take it by download, so that block counts for every firmware.
constexpr TTransfer kUnitParts[] = {TTransfer::DeviceDataUpload, TTransfer::FuelMapUpload,
                                    TTransfer::AfrMapUpload};

bool PartApplies(TTransfer part, const TTransferInfo& info, int firmware) {
    return part == TTransfer::DeviceDataUpload || firmware >= info.MinFirmware;
}

}  // namespace

std::optional<std::size_t> ImageOffsetOf(std::uint8_t area, std::uint16_t address, int firmware) {
    for (const TTransfer part : kUnitParts) {
        const TTransferInfo info = TransferInfo(part, firmware);
        if (PartApplies(part, info, firmware) && info.Area == area && address >= info.Address &&
            address < info.Address + info.Length)
            return info.ImageOffset + (address - info.Address);
    }
    return std::nullopt;
}

std::optional<TUnitPlace> UnitPlaceOf(std::size_t offset, int firmware) {
    for (const TTransfer part : kUnitParts) {
        const TTransferInfo info = TransferInfo(part, firmware);
        if (PartApplies(part, info, firmware) && offset >= info.ImageOffset &&
            offset < info.ImageOffset + info.Length)
            return TUnitPlace{info.Area,
                              static_cast<std::uint16_t>(info.Address + (offset - info.ImageOffset))};
    }
    return std::nullopt;
}

int TransferFirmware(const TZVDataClass& data, TTransfer transfer) {
    const TTransferSide side = TransferInfo(transfer, 0).Side;
    return side == TTransferSide::DeviceImage ? data.DeviceData.Firmware
                                              : data.ReceiveData.Firmware;
}

bool TransferApplies(const TZVDataClass& data, TTransfer transfer) {
    const int firmware = TransferFirmware(data, transfer);
    return firmware >= TransferInfo(transfer, firmware).MinFirmware;
}

bool StartTransfer(TComX& link, TZVDataClass& data, TTransfer transfer) {
    if (!TransferApplies(data, transfer))
        return false;
    const int firmware = TransferFirmware(data, transfer);
    const TTransferInfo info = TransferInfo(transfer, firmware);
    switch (info.Side) {
        case TTransferSide::ReceiveIdent:
            return link.StartJob(info.Job, info.Area, info.Length, data.ReceiveData.Ident.Text,
                                 info.Address);
        case TTransferSide::ReceiveImage:
            return link.StartJob(info.Job, info.Area, info.Length,
                                 std::span<std::uint8_t>(data.ReceiveData.Image)
                                     .subspan(info.ImageOffset, info.Length),
                                 info.Address);
        case TTransferSide::DeviceImage:
            return link.StartJob(info.Job, info.Area, info.Length,
                                 std::span<std::uint8_t>(data.DeviceData.Image)
                                     .subspan(info.ImageOffset, info.Length),
                                 info.Address);
        case TTransferSide::LiveRecord:
            return link.StartJob(info.Job, info.Area, info.Length,
                                 LiveRecordBuffer(data.LiveRecords, firmware), info.Address);
    }
    return false;
}

}  // namespace zv
