#pragma once
// Autotune end to end: the simulated unit runs its engine on a data set whose fuel map is off in
// a block and an area, a logger writes what the unit reports as the program's logger does, the
// log is read back and tuned from, and the result goes into the map for the next run. The
// engine's true need is the default map (at the default targets), so every cell's error is
// known.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "autotune/autotune.h"
#include "autotune/log_samples.h"
#include "data/default_data.h"
#include "data/flag_bits.h"
#include "data/zv_data_class.h"
#include "logger/log_format.h"
#include "logview/log_reader.h"
#include "sensors/wideband_sensor.h"
#include "temp_dir.h"
#include "unit/sim_unit.h"

namespace zv::test {

enum class TDrive { Inertia, Road };

struct TTuneScenario {
    TDrive Drive = TDrive::Inertia;
    bool WidebandOnE = false;
    bool ControllerOn = false;

    std::string Name() const {
        return std::string(Drive == TDrive::Inertia ? "inertia sweep" : "road drive") +
               ", wideband on " + (WidebandOnE ? "E" : "F") + ", controller " +
               (ControllerOn ? "on" : "off");
    }
};

constexpr int kDriveFirmware = 30;
constexpr std::uint64_t kRecordMs = 50;  // the link brings some 20 records a second
// The inertia dynamometer: logged from after its warm-up, two runs at each of the 14 throttle
// sites above a closed throttle.
constexpr std::uint64_t kInertiaFromMs = 62000;
constexpr std::uint64_t kInertiaMs = kInertiaFromMs + 2 * 14 * 14000;
// The road: from the cold start, fifteen rounds of the cycle.
constexpr std::uint64_t kRoadMs = 2000 + 15 * 40000;

inline std::size_t Sz(int i) {
    return static_cast<std::size_t>(i);
}

// The default data set of the firmware with the wideband input and controller of the scenario.
// With the wideband on E and the controller on, F is the narrowband input: only then does the
// log carry the controller's correction beside input E.
inline TZVDataClass ScenarioData(const TTuneScenario& s) {
    TZVDataClass data;
    data.DeviceData.Firmware = kDriveFirmware;
    ApplyDefaultFields(data);
    data.FieldsToImage();
    data.DeviceData.Image = data.FileData.Image;
    std::uint16_t flags = data.DeviceData.FlagsWord();
    for (int bit : {flag::NarrowBandLambdaControl, flag::TempInAsLambda, flag::GPInAsLambda,
                    flag::AnaInFMode1, flag::AnaInEMode1, flag::WBO2Control})
        TZVDataClass::ClearFlag(flags, bit);
    data.InputESelect = data.InputFSelect = 0;
    if (s.WidebandOnE) {
        TZVDataClass::SetFlag(flags, flag::GPInAsLambda);
        TZVDataClass::SetFlag(flags, flag::AnaInEMode1);
        data.InputESelect = 2;
        if (s.ControllerOn) {
            TZVDataClass::SetFlag(flags, flag::TempInAsLambda);
            data.InputFSelect = 1;
        }
    } else {
        TZVDataClass::SetFlag(flags, flag::TempInAsLambda);
        TZVDataClass::SetFlag(flags, flag::AnaInFMode1);
        data.InputFSelect = 2;
    }
    if (s.ControllerOn)
        TZVDataClass::SetFlag(flags, flag::WBO2Control);
    data.DeviceData.SetFlagsWord(flags);
    // A custom scale: the PC reads the input as the unit does.
    data.DeviceData.DispAfrAt0V = data.DeviceData.Image[33];
    data.DeviceData.DispAfrAt5V = data.DeviceData.Image[34];
    return data;
}

inline int TrueCell(int t, int r) {
    return DefaultMapRow(t)[Sz(r)];
}

inline int CellOf(const TZVDataClass& data, int t, int r) {
    return data.DeviceData.Image[FuelMapOffset(t, r)];
}

// A block that needs 17.6 % more fuel (full load, the middle of the speed range) and an area
// that is 12 % rich (part load in the middle).
inline bool InLeanBlock(int t, int r) {
    return t >= 12 && r >= 5 && r <= 10;
}
inline bool InRichArea(int t, int r) {
    return t >= 5 && t <= 8 && r >= 4 && r <= 8;
}

inline void Perturb(TZVDataClass& data) {
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            std::uint8_t& cell = data.DeviceData.Image[FuelMapOffset(t, r)];
            if (InLeanBlock(t, r))
                cell = static_cast<std::uint8_t>(TrueCell(t, r) * 0.85 + 0.5);
            else if (InRichArea(t, r))
                cell = static_cast<std::uint8_t>(TrueCell(t, r) * 1.12 + 0.5);
        }
    }
}

// Runs the engine on the data set for the drive and logs it as the program's logger does.
inline std::string DriveLog(const TZVDataClass& data, TDrive drive, const TempDir& dir,
                            const std::string& name) {
    sim::TSimUnitConfig config;
    config.Firmware = kDriveFirmware;
    config.Drive.Type = drive == TDrive::Inertia ? TSimDrive::Kind::Inertia : TSimDrive::Kind::Cycle;
    sim::TSimUnit unit(config);
    unit.LoadImage(data.DeviceData.Image);
    const TLogConfig logConfig{kDriveFirmware, data.InputESelect, data.InputFSelect, false};
    const TLogColumns columns = BuildLogColumns(logConfig);
    std::string text;
    for (const std::string& line : LogHeaderLines("ZP-1", 0, columns.Columns))
        text += line + "\r\n";
    const std::uint64_t from = drive == TDrive::Inertia ? kInertiaFromMs : kRecordMs;
    const std::uint64_t until = drive == TDrive::Inertia ? kInertiaMs : kRoadMs;
    for (std::uint64_t t = from; t <= until; t += kRecordMs) {
        const std::vector<std::uint8_t> record = unit.LiveRecordAt(t);
        TLogAfr afr;
        afr.ScaleF = RawToAfr(data, record[5]).Afr;
        afr.ScaleE = RawToAfr(data, record[7]).Afr;
        text += FormatLogLine(columns, logConfig, record, static_cast<std::uint32_t>(t - from), afr) +
                "\r\n";
    }
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// How close the covered cells of a pass are to the engine's need.
struct TPassFigures {
    int Covered = 0;
    int Within5 = 0;
    int Within3 = 0;
    int WrongWay = 0;     // cells off by more than the noise (1.5 %) that moved further away
    int Worse = 0;        // cells moved further out, or out of the 3 % band
    int Unfounded = 0;    // cells changed without samples
    int InLean = 0;       // covered cells of the lean block
    int InRich = 0;       // and of the rich area
    double Share5() const { return Covered ? 100.0 * Within5 / Covered : 0.0; }
    double Share3() const { return Covered ? 100.0 * Within3 / Covered : 0.0; }
};

// A cell's distance from its need as a fraction; half a count of rounding is no error.
inline double Off(int value, int need) {
    return std::max(0.0, std::abs(value - need) - 0.5) / need;
}

// Within the band a cell may wander by the readings' noise; outside it, or leaving it, counts.
constexpr double kBand = 0.03;
constexpr double kNoise = 0.015;

inline TPassFigures Judge(const TTuneResult& result, const TZVDataClass& after) {
    TPassFigures f;
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const TTuneCell& cell = result.Cell(t, r);
            const int need = TrueCell(t, r);
            const double before = Off(cell.Old, need);
            const double now = Off(CellOf(after, t, r), need);
            if (cell.Verdict == TCellVerdict::Changed) {
                if (before > kNoise && now > before)
                    ++f.WrongWay;
                if (now > std::max(before, kBand))
                    ++f.Worse;
            }
            if (cell.Samples == 0 && cell.New != cell.Old)
                ++f.Unfounded;
            if (cell.Verdict != TCellVerdict::Changed && cell.Verdict != TCellVerdict::Unchanged)
                continue;
            ++f.Covered;
            f.InLean += InLeanBlock(t, r) ? 1 : 0;
            f.InRich += InRichArea(t, r) ? 1 : 0;
            f.Within5 += now <= 0.05 ? 1 : 0;
            f.Within3 += now <= kBand ? 1 : 0;
        }
    }
    return f;
}

inline void ApplyChanged(const TTuneResult& result, TZVDataClass& data) {
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            if (result.Cell(t, r).Verdict == TCellVerdict::Changed)
                data.DeviceData.Image[FuelMapOffset(t, r)] =
                    static_cast<std::uint8_t>(result.Cell(t, r).New);
        }
    }
}

}  // namespace zv::test
