#pragma once

#include <cstdint>
#include <span>

namespace zv {

// One row of a transition table: a state and the state that follows it for outcome 1, 2 and 3.
struct TSequenceRow {
    std::uint8_t State;
    std::uint8_t Next[3];
};

// States of the online mode.
namespace link {
inline constexpr std::uint8_t Connect = 0;
inline constexpr std::uint8_t ConnectTransfer = 1;
inline constexpr std::uint8_t AwaitUnit = 2;
inline constexpr std::uint8_t Identify = 5;
inline constexpr std::uint8_t DeviceDataUpload = 6;
inline constexpr std::uint8_t FuelMapUpload = 7;
inline constexpr std::uint8_t AfrMapUpload = 8;
inline constexpr std::uint8_t AcceptUpload = 9;
inline constexpr std::uint8_t TakeOver = 10;
// Between reading the unit's data and overwriting them: they are saved as a backup.
inline constexpr std::uint8_t SaveBackup = 11;
inline constexpr std::uint8_t DeviceDataDownload = 13;
inline constexpr std::uint8_t FuelMapDownload = 14;
inline constexpr std::uint8_t AfrMapDownload = 15;
inline constexpr std::uint8_t RpmSitesDownload = 16;
inline constexpr std::uint8_t TpsSitesDownload = 17;
inline constexpr std::uint8_t IdleCurveDownload = 18;
inline constexpr std::uint8_t TempCurveDownload = 19;
inline constexpr std::uint8_t GpCurveDownload = 20;
inline constexpr std::uint8_t FotoCurveDownload = 21;
inline constexpr std::uint8_t RunOnline = 36;
inline constexpr std::uint8_t CancelOnline = 37;
inline constexpr std::uint8_t Offline = 38;
inline constexpr std::uint8_t Idle = 39;
}

// Each operator action runs its own sequence through the states.
enum class TSequence : std::uint8_t {
    Main,
    Upload,
    Download,
    MapDownload,
    AfrMapDownload,
    IdleCurveDownload,
    TempCurveDownload,
    GpCurveDownload,
    FotoCurveDownload,
    // F8 with a backup: the unit's data are read and saved before the download writes.
    BackupDownload,
};

std::span<const TSequenceRow> SequenceRows(TSequence sequence);

// The next state after a state for an outcome 1..3. A next state the sequence has no row for
// (39, the end, among them) gives 38, so that every sequence closes the port on its way out;
// only from 38 itself does the sequence end in 39.
std::uint8_t NextStateOf(TSequence sequence, std::uint8_t state, int outcome);

// Whether the sequence has a row for the state.
bool SequenceHasState(TSequence sequence, std::uint8_t state);

}  // namespace zv
