#include "autotune/autotune.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "autotune/cell_weights.h"
#include "data/zv_data_class.h"

namespace zv {

namespace {

constexpr double kCorrectionScale = 128.0;
constexpr int kFuelMax = 255;
constexpr int kAfrZero = 105;  // a target cell holds AFR x 10 - 105
constexpr double kMsPerS = 1000.0;
// Sums of shares meet a whole number of samples despite rounding in the shares.
constexpr double kWeightSlack = 1e-9;

constexpr std::array<TextPair, kTuneFilterCount> kFilterNames = {{
    {"kein Messwert", "no reading"},
    {"außerhalb der Fehlergrenzen", "outside error limits"},
    {"nahe ungültigem Messwert", "near a bad reading"},
    {"kein früherer Betriebspunkt", "no earlier operating point"},
    {"Regleranlauf", "controller start-up"},
    {"an einer Grenze", "at a limit"},
    {"Drosselklappe nicht ruhig", "throttle not steady"},
    {"Drehzahl zu niedrig", "engine speed too low"},
    {"kurz nach Markierung/Änderung", "soon after a mark or edit"},
    {"kein Zielwert", "no target"},
}};

constexpr std::array<TextPair, 5> kVerdictNames = {{
    {"geändert", "changed"},
    {"unverändert", "unchanged"},
    {"zu wenig Messwerte", "too few samples"},
    {"kein Zielwert (NC)", "no target (NC)"},
    {"keine Messwerte", "no samples"},
}};

const TextPair kSitesNotRising = {
    "Die Stützstellen steigen nicht streng an; Autotune braucht gültige Stützstellen.",
    "The sites do not rise strictly; autotune needs valid sites."};
const TextPair kNoAfrRange = {"Die Fehlergrenzen des Breitbandsensors ergeben keinen AFR-Bereich.",
                              "The wideband sensor's error limits give no AFR range."};

bool Bit(std::uint8_t byte, int n) {
    return TZVDataClass::TestBit(byte, n);
}

// A ratio with its share on one cell.
struct TShare {
    double Ratio = 0.0;
    double Weight = 0.0;
};

// The smallest ratio at which the shares below and at it reach q of the total.
double WeightedQuantile(const std::vector<TShare>& sorted, double total, double q) {
    double sum = 0.0;
    for (const TShare& s : sorted) {
        sum += s.Weight;
        if (sum + kWeightSlack >= q * total)
            return s.Ratio;
    }
    return sorted.back().Ratio;
}

// The unit's fuel map and AFR target map and their sites, as read once for a run.
struct TMaps {
    TFuelMap Map;
    std::array<std::array<int, 16>, 16> Target{};  // [t][r]; a target < 0 is NC

    explicit TMaps(const ImageBytes& image) : Map(FuelMapOf(image)) {
        for (int t = 0; t < 16; ++t) {
            for (int r = 0; r < 16; ++r) {
                const std::uint8_t target = image[FuelMapOffset(t, r) - img::FuelMap + img::AfrMap];
                Target[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] =
                    (target & 0x80) != 0 ? -1 : target + kAfrZero;
            }
        }
    }
    int TargetAfr10(int t, int r) const {
        return Target[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    }
};

// The operating point a reading belongs to.
struct TPoint {
    double Rpm = 0.0;
    double Throttle = 0.0;
    double Correction = 0.0;
    double TimeS = 0.0;
};

double Along(double a, double b, double f) {
    return a + (b - a) * f;
}

// One pass over the samples in time order.
class TSampleJudge {
  public:
    TSampleJudge(const std::vector<TTuneSample>& samples, const std::vector<double>& marks,
                 const TTuneSettings& settings)
        : s_(samples), marks_(marks), set_(settings) {}

    // The reason sample k is not used, or its operating point.
    std::optional<TTuneFilter> Judge(std::size_t k, TPoint& point) const {
        const TTuneSample& reading = s_[k];
        if (reading.Afr <= 0.0)
            return TTuneFilter::NoReading;
        if (!AfrValid(reading))
            return TTuneFilter::OutsideLimits;
        const double at = reading.TimeS - set_.SensorDelayMs(reading.Rpm) / kMsPerS;
        const std::optional<std::size_t> first = LastAtOrBefore(at, k);
        if (!first || HasGap(*first, k))
            return TTuneFilter::NoEarlierPoint;
        for (std::size_t i = *first; i < k; ++i) {
            if (!AfrValid(s_[i]))
                return TTuneFilter::NearBadReading;
        }
        if (const auto flags = FlagsFilter(*first, k))
            return flags;
        point = PointAt(*first, k, at);
        point.TimeS = at;
        if (set_.RequireSteadyThrottle && !Steady(at, *first, k))
            return TTuneFilter::Unsteady;
        if (point.Rpm < set_.MinRpm)
            return TTuneFilter::LowRpm;
        if (SoonAfterMark(at, reading.TimeS))
            return TTuneFilter::AfterMark;
        return std::nullopt;
    }

  private:
    bool AfrValid(const TTuneSample& s) const {
        return s.Afr > 0.0 && s.Afr >= set_.AfrMin && s.Afr <= set_.AfrMax;
    }

    // The last sample at or before time t, not after sample k.
    std::optional<std::size_t> LastAtOrBefore(double t, std::size_t k) const {
        const auto end = s_.begin() + static_cast<std::ptrdiff_t>(k + 1);
        const auto after = std::upper_bound(
            s_.begin(), end, t, [](double v, const TTuneSample& s) { return v < s.TimeS; });
        if (after == s_.begin())
            return std::nullopt;
        return static_cast<std::size_t>(after - s_.begin()) - 1;
    }

    bool HasGap(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i) {
            if (s_[i + 1].TimeS - s_[i].TimeS > set_.MaxRecordGapS)
                return true;
        }
        return false;
    }

    // The controller's state from the operating point to the reading, where known.
    std::optional<TTuneFilter> FlagsFilter(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i <= to; ++i) {
            if (!s_[i].WbFlags)
                continue;
            const std::uint8_t f = *s_[i].WbFlags;
            if (set_.RequireStartupDone && !Bit(f, wbflag::StartupDone))
                return TTuneFilter::Startup;
            if (set_.RejectAtLimit && (Bit(f, wbflag::RichLimit) || Bit(f, wbflag::LeanLimit) ||
                                       Bit(f, wbflag::OutputAtLimit)))
                return TTuneFilter::AtLimit;
        }
        return std::nullopt;
    }

    TPoint PointAt(std::size_t first, std::size_t k, double at) const {
        const TTuneSample& a = s_[first];
        if (first == k || s_[first + 1].TimeS <= a.TimeS)
            return {a.Rpm, a.Throttle, static_cast<double>(a.Correction)};
        const TTuneSample& b = s_[first + 1];
        const double f = (at - a.TimeS) / (b.TimeS - a.TimeS);
        return {Along(a.Rpm, b.Rpm, f), Along(a.Throttle, b.Throttle, f),
                Along(a.Correction, b.Correction, f)};
    }

    // No acceleration value and little throttle movement in the window up to the operating
    // point (and the record after it, which the point lies before).
    bool Steady(double at, std::size_t first, std::size_t k) const {
        const std::size_t from = LastAtOrBefore(at - set_.SteadyWindowS, k).value_or(0);
        const std::size_t to = std::min(first + 1, k);
        double low = s_[from].Throttle;
        double high = low;
        for (std::size_t i = from; i <= to; ++i) {
            if (s_[i].Accel && *s_[i].Accel != 0)
                return false;
            low = std::min(low, s_[i].Throttle);
            high = std::max(high, s_[i].Throttle);
        }
        return PercentOfRawThrottle(high - low) <= set_.MaxThrottleChangePercent + kWeightSlack;
    }

    // A mark or edit before the reading whose settling time the operating point falls into.
    bool SoonAfterMark(double at, double readingTime) const {
        return std::any_of(marks_.begin(), marks_.end(),
                           [&](double m) { return m <= readingTime && at < m + set_.AfterMarkS; });
    }

    const std::vector<TTuneSample>& s_;
    const std::vector<double>& marks_;
    const TTuneSettings& set_;
};

// The fuel a map gives at a point, mixed from its cells as the unit mixes them.
double FuelAt(const TFuelMap& map, const TPoint& point) {
    double sum = 0.0;
    for (const TCellWeight& c :
         CellWeights(map.Throttle, map.Rpm, point.Throttle, RawSpeedOfRpm(point.Rpm)))
        sum += c.Weight * map.Fuel[static_cast<std::size_t>(c.T)][static_cast<std::size_t>(c.R)];
    return sum;
}

// How much more fuel the map the engine ran on gave at the point than the map being tuned: a
// ratio taken on that map, applied to this one, then asks for the same fuel. 1 where the
// sample ran on this map, or where either map gives no fuel to compare or had sites that do
// not rise.
double RanOnFactor(const std::vector<TFuelEpoch>& epochs, const TFuelMap& now,
                   const TPoint& point) {
    const auto epoch = std::find_if(epochs.begin(), epochs.end(), [&point](const TFuelEpoch& e) {
        return point.TimeS <= e.UntilS;
    });
    if (epoch == epochs.end() || epoch->Map == now || !SitesValid(epoch->Map.Throttle) ||
        !SitesValid(epoch->Map.Rpm))
        return 1.0;
    const double then = FuelAt(epoch->Map, point);
    const double current = FuelAt(now, point);
    return then > 0.0 && current > 0.0 ? then / current : 1.0;
}

// The target at a point, mixed as the fuel is from the cells that have one; 0 when none has.
double TargetAt(const TMaps& maps, std::vector<TCellWeight>& cells) {
    std::erase_if(cells, [&maps](const TCellWeight& c) { return maps.TargetAfr10(c.T, c.R) < 0; });
    double sum = 0.0, weight = 0.0;
    for (const TCellWeight& c : cells) {
        sum += c.Weight * maps.TargetAfr10(c.T, c.R);
        weight += c.Weight;
    }
    return weight > 0.0 ? sum / weight / 10.0 : 0.0;
}

void Propose(TTuneCell& cell, std::vector<TShare>& shares, const TTuneSettings& settings) {
    if (shares.empty()) {
        cell.Verdict = TCellVerdict::NoSamples;
        return;
    }
    std::sort(shares.begin(), shares.end(),
              [](const TShare& a, const TShare& b) { return a.Ratio < b.Ratio; });
    cell.Samples = static_cast<int>(shares.size());
    for (const TShare& s : shares)
        cell.Weight += s.Weight;
    cell.Ratio = WeightedQuantile(shares, cell.Weight, 0.5);
    cell.Spread =
        WeightedQuantile(shares, cell.Weight, 0.75) - WeightedQuantile(shares, cell.Weight, 0.25);
    if (cell.Weight + kWeightSlack < settings.MinSamples) {
        cell.Verdict = TCellVerdict::TooFewSamples;
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
                        const TTuneSettings& settings) {
    TTuneResult result;
    const TMaps maps(data.DeviceData.Image);
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            TTuneCell& cell =
                result.Cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            cell.Old = cell.New =
                maps.Map.Fuel[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
        }
    }
    if (!SitesValid(maps.Map.Throttle) || !SitesValid(maps.Map.Rpm)) {
        result.Refused = kSitesNotRising;
        return result;
    }
    if (!(settings.AfrMin < settings.AfrMax)) {
        result.Refused = kNoAfrRange;
        return result;
    }
    std::vector<TTuneSample> samples = log.Samples;
    std::stable_sort(samples.begin(), samples.end(),
                     [](const TTuneSample& a, const TTuneSample& b) { return a.TimeS < b.TimeS; });
    std::array<std::array<std::vector<TShare>, 16>, 16> shares;
    const TSampleJudge judge(samples, log.MarkTimes, settings);
    result.TotalSamples = static_cast<int>(samples.size());
    for (std::size_t k = 0; k < samples.size(); ++k) {
        TPoint point;
        std::optional<TTuneFilter> rejected = judge.Judge(k, point);
        std::vector<TCellWeight> cells;
        double target = 0.0;
        if (!rejected) {
            cells = CellWeights(maps.Map.Throttle, maps.Map.Rpm, point.Throttle,
                                RawSpeedOfRpm(point.Rpm));
            target = TargetAt(maps, cells);
            if (target <= 0.0)
                rejected = TTuneFilter::NoTarget;
        }
        if (rejected) {
            ++result.Rejected[static_cast<std::size_t>(*rejected)];
            continue;
        }
        ++result.UsedSamples;
        const double ratio = MapAloneAfr(samples[k].Afr, point.Correction) / target *
                             RanOnFactor(log.Epochs, maps.Map, point);
        for (const TCellWeight& c : cells)
            shares[static_cast<std::size_t>(c.T)][static_cast<std::size_t>(c.R)].push_back(
                {ratio, c.Weight});
    }
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            TTuneCell& cell =
                result.Cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            if (maps.TargetAfr10(t, r) < 0)
                cell.Verdict = TCellVerdict::NoTarget;
            else
                Propose(cell, shares[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)],
                        settings);
        }
    }
    return result;
}

}  // namespace zv
