#include "online/sequences.h"

#include <array>

namespace zv {

namespace {

using namespace link;

const TSequenceRow kMain[] = {
    {Connect, {AwaitUnit, Idle, Idle}},
    {AwaitUnit, {Identify, Offline, Idle}},
    {Identify, {DeviceDataUpload, TakeOver, Offline}},
    {DeviceDataUpload, {FuelMapUpload, CancelOnline, Offline}},
    {FuelMapUpload, {AcceptUpload, AfrMapUpload, Offline}},
    {AfrMapUpload, {AcceptUpload, Offline, Idle}},
    {AcceptUpload, {TakeOver, Offline, Idle}},
    {TakeOver, {RunOnline, Offline, Idle}},
    {RunOnline, {Connect, Idle, Idle}},
    {CancelOnline, {Offline, Idle, Idle}},
    {Offline, {Idle, Idle, Idle}},
};

const TSequenceRow kUpload[] = {
    {ConnectTransfer, {Identify, Offline, Idle}},
    {Identify, {DeviceDataUpload, DeviceDataUpload, Offline}},
    {DeviceDataUpload, {FuelMapUpload, CancelOnline, Offline}},
    {FuelMapUpload, {AcceptUpload, AfrMapUpload, Idle}},
    {AfrMapUpload, {AcceptUpload, Offline, Idle}},
    {AcceptUpload, {TakeOver, Offline, Idle}},
    {TakeOver, {Offline, Offline, Idle}},
    {Offline, {Idle, Idle, Idle}},
};

const TSequenceRow kDownload[] = {
    {ConnectTransfer, {Identify, Offline, Idle}},
    {Identify, {DeviceDataDownload, FuelMapDownload, Offline}},
    {DeviceDataDownload, {FuelMapDownload, Offline, Offline}},
    {FuelMapDownload, {AfrMapDownload, Offline, Idle}},
    {AfrMapDownload, {Offline, Offline, Idle}},
    {Offline, {Idle, Idle, Idle}},
};

// The download, after an upload whose data become a backup instead of the working data. Every
// way the reading ends, well or not, leads to the backup step, which decides whether the
// download goes on: into the whole data set (outcome 1) or the maps only (2), as the
// identification found, or not at all (3).
const TSequenceRow kBackupDownload[] = {
    {ConnectTransfer, {Identify, Offline, Idle}},
    {Identify, {DeviceDataUpload, DeviceDataUpload, Offline}},
    {DeviceDataUpload, {FuelMapUpload, SaveBackup, Offline}},
    {FuelMapUpload, {SaveBackup, AfrMapUpload, SaveBackup}},
    {AfrMapUpload, {SaveBackup, SaveBackup, Idle}},
    {SaveBackup, {DeviceDataDownload, FuelMapDownload, Offline}},
    {DeviceDataDownload, {FuelMapDownload, Offline, Offline}},
    {FuelMapDownload, {AfrMapDownload, Offline, Idle}},
    {AfrMapDownload, {Offline, Offline, Idle}},
    {Offline, {Idle, Idle, Idle}},
};

const TSequenceRow kMapDownload[] = {
    {ConnectTransfer, {Identify, CancelOnline, Idle}},
    {Identify, {FuelMapDownload, FuelMapDownload, Offline}},
    {FuelMapDownload, {TpsSitesDownload, CancelOnline, Idle}},
    {TpsSitesDownload, {RpmSitesDownload, CancelOnline, Idle}},
    {RpmSitesDownload, {CancelOnline, CancelOnline, Idle}},
    {CancelOnline, {Offline, Idle, Idle}},
    {Offline, {Idle, Idle, Idle}},
};

// The single-map and single-curve sequences differ only in their transfer state; the
// temperature curve goes straight to offline after its transfer.
constexpr std::array<TSequenceRow, 5> SingleTransfer(std::uint8_t transfer, std::uint8_t after) {
    return {{
        {ConnectTransfer, {Identify, CancelOnline, Idle}},
        {Identify, {transfer, transfer, Offline}},
        {transfer, {after, after, Idle}},
        {CancelOnline, {Offline, Idle, Idle}},
        {Offline, {Idle, Idle, Idle}},
    }};
}

constexpr auto kAfrMapDownload = SingleTransfer(AfrMapDownload, CancelOnline);
constexpr auto kIdleCurveDownload = SingleTransfer(IdleCurveDownload, CancelOnline);
constexpr auto kTempCurveDownload = SingleTransfer(TempCurveDownload, Offline);
constexpr auto kGpCurveDownload = SingleTransfer(GpCurveDownload, CancelOnline);
constexpr auto kFotoCurveDownload = SingleTransfer(FotoCurveDownload, CancelOnline);

}  // namespace

std::span<const TSequenceRow> SequenceRows(TSequence sequence) {
    switch (sequence) {
        case TSequence::Main: return kMain;
        case TSequence::Upload: return kUpload;
        case TSequence::Download: return kDownload;
        case TSequence::MapDownload: return kMapDownload;
        case TSequence::AfrMapDownload: return kAfrMapDownload;
        case TSequence::IdleCurveDownload: return kIdleCurveDownload;
        case TSequence::TempCurveDownload: return kTempCurveDownload;
        case TSequence::GpCurveDownload: return kGpCurveDownload;
        case TSequence::BackupDownload: return kBackupDownload;
        case TSequence::FotoCurveDownload: break;
    }
    return kFotoCurveDownload;
}

bool SequenceHasState(TSequence sequence, std::uint8_t state) {
    for (const auto& row : SequenceRows(sequence)) {
        if (row.State == state) return true;
    }
    return false;
}

std::uint8_t NextStateOf(TSequence sequence, std::uint8_t state, int outcome) {
    // Every way out of a sequence passes the offline state, which closes the port: a next state
    // the table lacks (the end among them) leads there first. Otherwise a failed transfer would
    // end with the port open and no "Offline" shown.
    const std::uint8_t end =
        state == link::Offline || state == link::Idle ? link::Idle : link::Offline;
    if (outcome < 1 || outcome > 3)
        return end;
    for (const auto& row : SequenceRows(sequence)) {
        if (row.State != state) continue;
        const std::uint8_t next = row.Next[outcome - 1];
        return SequenceHasState(sequence, next) ? next : end;
    }
    return end;
}

}  // namespace zv
