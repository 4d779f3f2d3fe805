#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "dashboard/dashboard.h"
#include "editors/map_sites.h"

namespace zv {

class TZVDataClass;

// One live moment as autotune sees it, whether it came from a log or from the link.
struct TTuneSample {
    double TimeS = 0.0;
    double Rpm = 0.0;       // engine speed in rpm
    double Throttle = 0.0;  // raw counts 0..255, the unit of the throttle sites
    // The wideband AFR the engine ran at, through the data set's sensor scale; 0 = no reading.
    double Afr = 0.0;
    // The wideband controller's correction in signed counts, as the record gives it; 0 while the
    // controller is still starting up. Some log layouts do not carry it: CorrectionKnown is then
    // false and Correction 0.
    int Correction = 0;
    bool CorrectionKnown = true;
    std::optional<std::uint8_t> WbFlags;  // the controller's flag byte, where known
    std::optional<int> Accel;             // throttle acceleration value, where known
    std::optional<int> Output;            // injector output raw, where known (0: fuel cut)
    bool Overrun = false;                 // the unit reports its overrun fuel cut
    std::optional<int> TempCorrection;    // the engine temperature curve's value, where known
    bool IdleContact = false;
    bool FullContact = false;
};

// The unit cut the fuel: its overrun state, or no output while the engine turns.
inline bool IsFuelCut(const TTuneSample& s) {
    return s.Overrun || (s.Output && *s.Output == 0 && s.Rpm > 0.0);
}

// The fuel map and its sites as the engine ran on them.
struct TFuelMap {
    TSites Throttle{}, Rpm{};
    std::array<std::array<std::uint8_t, 16>, 16> Fuel{};  // [t][r] by site index, lowest first
    bool operator==(const TFuelMap&) const = default;
};
TFuelMap FuelMapOf(const ImageBytes& image);

// A reading tells how far the fuel the engine got was off, so its correction is relative to
// the map the engine ran on then. Samples whose operating point lies at or before UntilS (and
// after the epoch before) ran on Map; later ones on the map being tuned.
struct TFuelEpoch {
    double UntilS = 0.0;
    TFuelMap Map;
};

// A run of samples in time order, the times the operator marked or edited something, and the
// maps earlier samples ran on, in time order.
struct TTuneLog {
    std::vector<TTuneSample> Samples;
    // Whether every source carries the wideband controller's correction (live records do; some
    // log layouts do not).
    bool CorrectionLogged = true;
    std::vector<double> MarkTimes;
    std::vector<TFuelEpoch> Epochs;
};

// Raw engine speed and throttle to the units of a sample, and back to the sites' counts. The
// counts stay fractional, unlike the viewer's RpmRaw/ThrottleRaw, which find the byte a logged
// value was shown from: a sample's share of its four cells is weighed between bytes.
double RpmOfRawSpeed(double raw);
double RawSpeedOfRpm(double rpm);
double RawThrottleOfPercent(double percent);
double PercentOfRawThrottle(double raw);

// A sample from a live record as it arrives. Only records that carry the wideband controller
// (24 and 28 bytes) give one; the AFR is that of the input with the wideband function, through
// the data set's sensor scale, and 0 where there is no reading (no such input, a signal of 0 or
// 255, no scale).
std::optional<TTuneSample> TuneSampleFromRecord(const TLiveRecord& record, const TZVDataClass& data,
                                                double timeS);

}  // namespace zv
