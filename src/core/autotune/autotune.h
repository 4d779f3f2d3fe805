#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "autotune/tune_sample.h"
#include "autotune/tune_settings.h"
#include "text/text_table.h"

namespace zv {

class TZVDataClass;

// Why a sample was not used, in the order the checks run; each sample counts for its first.
enum class TTuneFilter : std::uint8_t {
    NoReading,       // AFR 0: the sensor gave nothing
    OutsideLimits,   // AFR outside the sensor's error limits
    NearBadReading,  // a bad reading lies between the operating point and the reading
    NoEarlierPoint,  // the records do not reach back to the operating point, or have a gap there
    Startup,         // the wideband controller had not finished its start-up
    AtLimit,         // the controller's correction or the output at a limit
    Unsteady,        // the throttle moved or the acceleration enrichment ran
    LowRpm,          // engine speed below the minimum
    AfterMark,       // too soon after a mark or an edit
    NoTarget,        // every cell around the operating point without a target (NC)
};
constexpr std::size_t kTuneFilterCount = 10;

// The filter's name as the autotune view and the tool show it.
const char* TuneFilterName(TTuneFilter filter, Language lang);

// What became of a cell.
enum class TCellVerdict : std::uint8_t {
    Changed,        // a new value within the authority
    Unchanged,      // enough samples, and they say the cell is right
    TooFewSamples,  // some samples, but less weight than the minimum
    NoTarget,       // the target cell is NC: the operator wants no AFR here
    NoSamples,      // no accepted sample came near it
};

const char* CellVerdictName(TCellVerdict verdict, Language lang);

struct TTuneCell {
    int Samples = 0;      // samples with a share on the cell
    double Weight = 0.0;  // the sum of their shares
    // Weighted median of AFR the map alone would give / target AFR, and the weighted
    // interquartile range around it; 0 without samples.
    double Ratio = 0.0;
    double Spread = 0.0;
    int Old = 0;
    int New = 0;
    double ChangePercent = 0.0;
    bool Capped = false;  // the ratio asked for more than the authority
    TCellVerdict Verdict = TCellVerdict::NoSamples;
};

struct TTuneResult {
    std::array<std::array<TTuneCell, 16>, 16> Cells{};  // [t][r] by site index, lowest first
    int TotalSamples = 0;
    int UsedSamples = 0;
    std::array<int, kTuneFilterCount> Rejected{};
    // Why no cell could be computed at all; nothing when the run went through.
    std::optional<TextPair> Refused;

    int RejectedBy(TTuneFilter filter) const { return Rejected[static_cast<std::size_t>(filter)]; }
    const TTuneCell& Cell(int t, int r) const {
        return Cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    }
    int ChangedCount() const;
};

// The wideband controller's correction as a factor on the map's fuel: one count is 1/128 more
// (positive) or less (negative) fuel. The unit applies it to the map value, so the map alone
// would have given the same air with that much less fuel.
double ControllerFuelFactor(double correction);
// The AFR the engine would have run at on the map alone: leaner where the controller added fuel.
double MapAloneAfr(double measuredAfr, double correction);

// Proposes a new fuel map from samples: each accepted reading, attributed to the operating point
// a sensor delay earlier, gives the ratio of the AFR the map alone would give to the target
// there, shared onto the cells around that point; each cell with enough weight takes its
// weighted median ratio, within the authority.
TTuneResult RunAutotune(const TZVDataClass& data, const TTuneLog& log,
                        const TTuneSettings& settings);

}  // namespace zv
