#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

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
    NoCorrection,    // the controller runs, but the log's layout does not carry its correction
    Startup,         // the wideband controller had not finished its start-up
    AtLimit,         // the output at its own limit
    FuelCut,         // the gas of a fuel cut may still be in the exhaust
    Enrichment,      // the gas of an acceleration enrichment may still be in the exhaust
    Unsteady,        // the throttle moved
    WarmUp,          // the engine was still warming up
    LowRpm,          // engine speed below the minimum
    AfterMark,       // too soon after a mark or an edit
    NoTarget,        // every cell around the operating point without a target (NC)
};
constexpr std::size_t kTuneFilterCount = 14;

// The filter's name as the autotune view and the tool show it.
const char* TuneFilterName(TTuneFilter filter, Language lang);

// What became of a cell.
enum class TCellVerdict : std::uint8_t {
    Changed,        // a new value within the authority
    Unchanged,      // enough samples, and they say the cell is right
    TooFewSamples,  // some samples, but less weight than the minimum
    NoTarget,       // the target cell is NC: the operator wants no AFR here
    NoSamples,      // no accepted sample came near it
    Locked,         // the operator keeps it as it is
    Inseparable,    // its readings always mix it with the same neighbours: only their mix is known
};

// How far a cell's proposal can be trusted.
enum class TCellConfidence : std::uint8_t { None, Low, Medium, High };
const char* CellConfidenceName(TCellConfidence confidence, Language lang);

constexpr std::size_t kCellVerdictCount = 7;

const char* CellVerdictName(TCellVerdict verdict, Language lang);

struct TTuneCell {
    int Samples = 0;      // samples with a share on the cell
    double Weight = 0.0;  // the sum of their shares
    double MaxShare = 0.0;
    // The factor the fit asks of the cell (1 without samples), and how far the readings on the
    // cell scatter around the fit: their share-weighted root mean square, as a fraction.
    double Ratio = 0.0;
    double Spread = 0.0;
    bool SmallShares = false;     // no reading lay near the cell's own sites
    bool FromTransients = false;  // most of its weight came while the throttle moved
    // How well its readings pin it down apart from its neighbours, 0..1 (see TCellFit).
    double Separable = 0.0;
    TCellConfidence Confidence = TCellConfidence::None;
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
    // The sensor delay the run used: the fuel-cut edges found, and the model with the volume
    // they gave where there were enough.
    int DelayEdges = 0;
    bool DelayEstimated = false;
    TDelayModel Delay;
    // What the run could not use of its sources, to be shown beside the result.
    std::vector<TextPair> Notes;
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
// a gas travel time earlier, tells how much fuel the engine needed there for its target; the
// cells around all such points take the values that fit every reading at once through the
// unit's own interpolation (each reading counts for each cell's share of it), and each cell
// with enough weight takes its value within the authority.
TTuneResult RunAutotune(const TZVDataClass& data, const TTuneLog& log,
                        const TTuneSettings& settings);

// The sensor delay a run used, for the tuner to check: "Sensor delay estimated from 12 fuel-cut
// edges: 1.00 s at idle, 0.13 s at 6000 rpm full load".
std::string TuneDelayLine(const TTuneResult& result, const TTuneSettings& settings,
                          Language lang);

// A cell's confidence with what lowers it: "low (small shares only)".
std::string CellConfidenceText(const TTuneCell& cell, Language lang);

}  // namespace zv
