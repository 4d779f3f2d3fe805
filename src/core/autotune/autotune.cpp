#include "autotune/autotune.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "autotune/cell_solver.h"
#include "autotune/cell_weights.h"
#include "autotune/delay_estimate.h"
#include "autotune/sample_judge.h"
#include "data/zv_data_class.h"

namespace zv {

namespace {

constexpr double kCorrectionScale = 128.0;
constexpr int kFuelMax = 255;
constexpr int kAfrZero = 105;  // a target cell holds AFR x 10 - 105
// Sums of shares meet a whole number of samples despite rounding in the shares.
constexpr double kWeightSlack = 1e-9;

constexpr std::array<TextPair, kTuneFilterCount> kFilterNames = {{
    {"kein Messwert", "no reading"},
    {"außerhalb der Fehlergrenzen", "outside error limits"},
    {"nahe ungültigem Messwert", "near a bad reading"},
    {"kein früherer Betriebspunkt", "no earlier operating point"},
    {"Reglerkorrektur nicht im Log", "controller correction not in the log"},
    {"Regleranlauf", "controller start-up"},
    {"Ausgang an der Grenze", "output at its limit"},
    {"Schubabschaltung", "fuel cut"},
    {"Beschleunigungsanreicherung", "acceleration enrichment"},
    {"Drosselklappe nicht ruhig", "throttle not steady"},
    {"Warmlauf", "warm-up"},
    {"Drehzahl zu niedrig", "engine speed too low"},
    {"kurz nach Markierung/Änderung", "soon after a mark or edit"},
    {"kein Zielwert", "no target"},
}};

constexpr std::array<TextPair, kCellVerdictCount> kVerdictNames = {{
    {"geändert", "changed"},
    {"unverändert", "unchanged"},
    {"zu wenig Messwerte", "too few samples"},
    {"kein Zielwert (NC)", "no target (NC)"},
    {"keine Messwerte", "no samples"},
    {"gesperrt", "locked"},
    {"nicht von den Nachbarn trennbar", "not separable from its neighbours"},
}};

constexpr std::array<TextPair, 4> kConfidenceNames = {{
    {"keine", "none"},
    {"gering", "low"},
    {"mittel", "medium"},
    {"hoch", "high"},
}};

const TextPair kSitesNotRising = {
    "Die Stützstellen steigen nicht streng an; Autotune braucht gültige Stützstellen.",
    "The sites do not rise strictly; autotune needs valid sites."};
const TextPair kNoAfrRange = {"Die Fehlergrenzen des Breitbandsensors ergeben keinen AFR-Bereich.",
                              "The wideband sensor's error limits give no AFR range."};
const TextPair kNoUsableSample = {
    "Kein Messwert ist verwendbar; die Ablehnungsgründe zeigen, warum. Das Kennfeld bleibt, wie "
    "es ist.",
    "No usable sample: every reading was rejected (see the reasons). The map stays as it is."};
const TextPair kNoCorrectionInLog = {
    "Das Log-Format enthält die Korrektur des Breitbandreglers nicht (Breitband auf Eingang E "
    "ohne Schmalband auf F); bei eingeschaltetem Regler sind die Messwerte nicht verwendbar.",
    "The log's layout does not carry the wideband controller's correction (wideband on input E "
    "without the narrowband on F); with the controller on its readings cannot be used."};

// Cells on which a reading counts this much of its weight are fed near their own sites.
constexpr double kOwnShare = 0.3;
// A cell whose readings pin it down less than this (see TCellFit) is not changed: it would take
// its neighbours' error as much as its own.
constexpr double kSeparable = 0.25;
// Readings scattering more than this around the fit make a cell's value doubtful.
constexpr double kTightSpread = 0.03;
constexpr double kLooseSpread = 0.08;

std::size_t Sz(int i) {
    return static_cast<std::size_t>(i);
}

// The unit's fuel map and AFR target map and their sites, as read once for a run.
struct TMaps {
    TFuelMap Map;
    std::array<std::array<int, 16>, 16> Target{};  // [t][r]; a target < 0 is NC

    explicit TMaps(const ImageBytes& image) : Map(FuelMapOf(image)) {
        for (int t = 0; t < 16; ++t) {
            for (int r = 0; r < 16; ++r) {
                const std::uint8_t target = image[FuelMapOffset(t, r) - img::FuelMap + img::AfrMap];
                Target[Sz(t)][Sz(r)] = (target & 0x80) != 0 ? -1 : target + kAfrZero;
            }
        }
    }
    int TargetAfr10(int t, int r) const { return Target[Sz(t)][Sz(r)]; }
    int Fuel(int t, int r) const { return Map.Fuel[Sz(t)][Sz(r)]; }
};

// The fuel a map gives at a point, mixed from its cells as the unit mixes them.
double FuelAt(const TFuelMap& map, const TTunePoint& point) {
    double sum = 0.0;
    for (const TCellWeight& c :
         CellWeights(map.Throttle, map.Rpm, point.Throttle, RawSpeedOfRpm(point.Rpm)))
        sum += c.Weight * map.Fuel[Sz(c.T)][Sz(c.R)];
    return sum;
}

// The map the engine ran on at the point: an earlier one where the samples say so and it had
// valid sites, else the map being tuned.
const TFuelMap& RanOn(const std::vector<TFuelEpoch>& epochs, const TFuelMap& now,
                      const TTunePoint& point) {
    const auto epoch = std::find_if(epochs.begin(), epochs.end(), [&point](const TFuelEpoch& e) {
        return point.TimeS <= e.UntilS;
    });
    if (epoch == epochs.end() || !SitesValid(epoch->Map.Throttle) || !SitesValid(epoch->Map.Rpm))
        return now;
    return epoch->Map;
}

// The target at a point, mixed as the fuel is from the cells that have one; 0 when none has.
double TargetAt(const TMaps& maps, const std::vector<TCellWeight>& cells) {
    double sum = 0.0, weight = 0.0;
    for (const TCellWeight& c : cells) {
        if (maps.TargetAfr10(c.T, c.R) < 0)
            continue;
        sum += c.Weight * maps.TargetAfr10(c.T, c.R);
        weight += c.Weight;
    }
    return weight > 0.0 ? sum / weight / 10.0 : 0.0;
}

// A reading as an equation over the cells around its point; none where the map gives no fuel
// there to compare with.
std::optional<TCellEquation> EquationOf(const TMaps& maps, const std::vector<TCellWeight>& cells,
                                        double needed) {
    double fuel = 0.0;
    for (const TCellWeight& c : cells)
        fuel += c.Weight * maps.Fuel(c.T, c.R);
    if (fuel <= 0.0)
        return std::nullopt;
    TCellEquation e;
    for (const TCellWeight& c : cells) {
        e.Cell[Sz(e.Count)] = c.T * 16 + c.R;
        e.Part[Sz(e.Count)] = c.Weight * maps.Fuel(c.T, c.R) / fuel;
        e.Share[Sz(e.Count)] = c.Weight;
        ++e.Count;
    }
    e.Needed = needed / fuel;
    return e;
}

// What one accepted reading leaves on its cells, for their confidence.
struct TCellStats {
    int Samples = 0;
    double Weight = 0.0, MaxShare = 0.0, SteadyWeight = 0.0, Squares = 0.0;
};

TCellConfidence ConfidenceOf(const TTuneCell& cell, double minSamples) {
    if (cell.Samples == 0)
        return TCellConfidence::None;
    if (cell.SmallShares || cell.FromTransients || cell.Weight + kWeightSlack < minSamples ||
        cell.Spread > kLooseSpread || cell.Separable < kSeparable)
        return TCellConfidence::Low;
    if (cell.Weight >= 2.0 * minSamples && cell.Spread <= kTightSpread)
        return TCellConfidence::High;
    return TCellConfidence::Medium;
}

void Propose(TTuneCell& cell, const TCellStats& stats, double factor, double separable,
             const TTuneSettings& settings, int t, int r) {
    cell.Samples = stats.Samples;
    cell.Separable = separable;
    cell.Weight = stats.Weight;
    cell.MaxShare = stats.MaxShare;
    cell.Ratio = factor;
    cell.Spread = stats.Weight > 0.0 ? std::sqrt(stats.Squares / stats.Weight) : 0.0;
    cell.SmallShares = stats.MaxShare < kOwnShare;
    cell.FromTransients = stats.SteadyWeight * 2.0 < stats.Weight;
    cell.Confidence = ConfidenceOf(cell, settings.MinSamples);
    if (settings.IsLocked(t, r)) {
        cell.Verdict = TCellVerdict::Locked;
        return;
    }
    if (stats.Samples == 0) {
        cell.Verdict = TCellVerdict::NoSamples;
        return;
    }
    if (cell.Weight + kWeightSlack < settings.MinSamples) {
        cell.Verdict = TCellVerdict::TooFewSamples;
        return;
    }
    if (cell.Separable < kSeparable) {
        cell.Verdict = TCellVerdict::Inseparable;
        return;
    }
    const double authority = settings.AuthorityPercent / 100.0;
    const double ratio = std::clamp(cell.Ratio, 1.0 - authority, 1.0 + authority);
    cell.Capped = ratio != cell.Ratio;
    cell.New = std::clamp(static_cast<int>(std::lround(cell.Old * ratio)), 0, kFuelMax);
    cell.ChangePercent = cell.Old > 0 ? (cell.New - cell.Old) * 100.0 / cell.Old : 0.0;
    cell.Verdict = cell.New != cell.Old ? TCellVerdict::Changed : TCellVerdict::Unchanged;
}

}  // namespace

const char* TuneFilterName(TTuneFilter filter, Language lang) {
    return kFilterNames[static_cast<std::size_t>(filter)].Pick(lang);
}

const char* CellVerdictName(TCellVerdict verdict, Language lang) {
    return kVerdictNames[static_cast<std::size_t>(verdict)].Pick(lang);
}

const char* CellConfidenceName(TCellConfidence confidence, Language lang) {
    return kConfidenceNames[static_cast<std::size_t>(confidence)].Pick(lang);
}

std::string CellConfidenceText(const TTuneCell& cell, Language lang) {
    const bool de = lang == Language::German;
    std::string text = CellConfidenceName(cell.Confidence, lang);
    std::vector<std::string> why;
    if (cell.SmallShares)
        why.emplace_back(de ? "nur kleine Anteile" : "small shares only");
    if (cell.FromTransients)
        why.emplace_back(de ? "meist aus Übergängen" : "mostly from transients");
    for (std::size_t i = 0; i < why.size(); ++i)
        text += (i == 0 ? " (" : ", ") + why[i];
    return why.empty() ? text : text + ")";
}

std::string TuneDelayLine(const TTuneResult& result, const TTuneSettings& settings,
                          Language lang) {
    const bool de = lang == Language::German;
    char buf[200];
    if (settings.FixedDelayMs) {
        std::snprintf(buf, sizeof buf, de ? "Sensorverzug fest: %.0f ms" : "Sensor delay fixed: %.0f ms",
                      *settings.FixedDelayMs);
        return buf;
    }
    TTuneSettings used = settings;
    used.Delay = result.Delay;
    constexpr double kIdleRpm = 900.0, kIdleThrottle = 32.0, kHighRpm = 6000.0, kFull = 255.0;
    const double idle = used.SensorDelayMs(kIdleRpm, kIdleThrottle) / 1000.0;
    const double high = used.SensorDelayMs(kHighRpm, kFull) / 1000.0;
    if (result.DelayEstimated)
        std::snprintf(buf, sizeof buf,
                      de ? "Sensorverzug aus %d Schubabschaltungsflanken geschätzt: %.2f s im "
                           "Leerlauf, %.2f s bei 6000 U/min Volllast"
                         : "Sensor delay estimated from %d fuel-cut edges: %.2f s at idle, %.2f s "
                           "at 6000 rpm full load",
                      result.DelayEdges, idle, high);
    else
        std::snprintf(buf, sizeof buf,
                      de ? "Sensorverzug nach Modell (%d Schubabschaltungsflanken, %d nötig für "
                           "eine Schätzung): %.2f s im Leerlauf, %.2f s bei 6000 U/min Volllast"
                         : "Sensor delay by the model (%d fuel-cut edges, %d needed for an "
                           "estimate): %.2f s at idle, %.2f s at 6000 rpm full load",
                      result.DelayEdges, settings.MinDelayEdges, idle, high);
    return buf;
}

int TTuneResult::ChangedCount() const {
    int count = 0;
    for (const auto& row : Cells)
        count += static_cast<int>(std::count_if(row.begin(), row.end(), [](const TTuneCell& c) {
            return c.Verdict == TCellVerdict::Changed;
        }));
    return count;
}

double ControllerFuelFactor(double correction) {
    return 1.0 + correction / kCorrectionScale;
}

double MapAloneAfr(double measuredAfr, double correction) {
    return measuredAfr * ControllerFuelFactor(correction);
}

TTuneResult RunAutotune(const TZVDataClass& data, const TTuneLog& log,
                        const TTuneSettings& requested) {
    TTuneResult result;
    const TMaps maps(data.DeviceData.Image);
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r)
            result.Cells[Sz(t)][Sz(r)].Old = result.Cells[Sz(t)][Sz(r)].New = maps.Fuel(t, r);
    }
    if (!SitesValid(maps.Map.Throttle) || !SitesValid(maps.Map.Rpm)) {
        result.Refused = kSitesNotRising;
        return result;
    }
    if (!(requested.AfrMin < requested.AfrMax)) {
        result.Refused = kNoAfrRange;
        return result;
    }
    std::vector<TTuneSample> samples = log.Samples;
    std::stable_sort(samples.begin(), samples.end(),
                     [](const TTuneSample& a, const TTuneSample& b) { return a.TimeS < b.TimeS; });
    const TDelayEstimate estimate = EstimateDelay(samples, requested);
    const TTuneSettings settings = WithEstimatedDelay(requested, estimate);
    result.DelayEdges = estimate.Edges;
    result.DelayEstimated = settings.Delay != requested.Delay;
    result.Delay = settings.Delay;
    if (settings.ControllerOn && !log.CorrectionLogged)
        result.Notes.push_back(kNoCorrectionInLog);

    std::vector<TCellEquation> equations;
    std::vector<bool> steady;
    const TSampleJudge judge(samples, log.MarkTimes, settings);
    result.TotalSamples = static_cast<int>(samples.size());
    for (std::size_t k = 0; k < samples.size(); ++k) {
        TTunePoint point;
        std::optional<TTuneFilter> rejected = judge.Judge(k, point);
        std::vector<TCellWeight> cells;
        std::optional<TCellEquation> equation;
        if (!rejected) {
            cells = CellWeights(maps.Map.Throttle, maps.Map.Rpm, point.Throttle,
                                RawSpeedOfRpm(point.Rpm));
            const double target = TargetAt(maps, cells);
            // The fuel that would have given the target: what the engine got over how far off
            // the map alone would have left it.
            if (target > 0.0) {
                const double got = FuelAt(RanOn(log.Epochs, maps.Map, point), point);
                equation = EquationOf(maps, cells,
                                      got * MapAloneAfr(samples[k].Afr, point.Correction) / target);
            }
            if (!equation)
                rejected = TTuneFilter::NoTarget;
        }
        if (rejected) {
            ++result.Rejected[static_cast<std::size_t>(*rejected)];
            continue;
        }
        ++result.UsedSamples;
        equations.push_back(*equation);
        steady.push_back(point.Steady);
    }
    if (result.UsedSamples == 0) {
        result.Refused = kNoUsableSample;
        return result;
    }

    std::array<TCellStats, kMapCells> stats{};
    for (const TCellEquation& e : equations) {
        for (int a = 0; a < e.Count; ++a)
            ++stats[Sz(e.Cell[Sz(a)])].Samples;
    }
    // Locked cells and cells without a target are fitted too, so that they take their share of
    // the readings around them instead of leaving it to their neighbours; they are just not
    // changed.
    std::array<bool, kMapCells> free{};
    for (int c = 0; c < kMapCells; ++c)
        free[Sz(c)] = stats[Sz(c)].Samples > 0 && maps.Fuel(c / 16, c % 16) > 0;
    const TCellFit fit = SolveCellFactors(equations, free, settings.Smoothing);
    const std::array<double, kMapCells>& factors = fit.Factors;
    for (std::size_t k = 0; k < equations.size(); ++k) {
        const TCellEquation& e = equations[k];
        const double off = Residual(e, factors);
        for (int a = 0; a < e.Count; ++a) {
            TCellStats& s = stats[Sz(e.Cell[Sz(a)])];
            // The reading's weight on the cell is the cell's place in the unit's mix.
            const double share = e.Share[Sz(a)];
            s.Weight += share;
            s.MaxShare = std::max(s.MaxShare, share);
            s.Squares += share * off * off;
            if (steady[k])
                s.SteadyWeight += share;
        }
    }
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            TTuneCell& cell = result.Cells[Sz(t)][Sz(r)];
            const int c = t * 16 + r;
            if (maps.TargetAfr10(t, r) < 0 && !settings.IsLocked(t, r))
                cell.Verdict = TCellVerdict::NoTarget;
            else
                Propose(cell, stats[Sz(c)], free[Sz(c)] ? factors[Sz(c)] : 1.0,
                        fit.Separable[Sz(c)], settings, t, r);
        }
    }
    return result;
}

}  // namespace zv
