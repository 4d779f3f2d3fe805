#include "autotune/sample_judge.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/zv_data_class.h"
#include "dashboard/dashboard.h"

namespace zv {

namespace {

constexpr double kMsPerS = 1000.0;
constexpr double kSlack = 1e-9;
constexpr double kNoStart = -std::numeric_limits<double>::infinity();
// Further back than any exhaust's delay the records say nothing of the reading's gas.
constexpr double kLongestWalkS = 5.0;

bool Bit(std::uint8_t byte, int n) {
    return TZVDataClass::TestBit(byte, n);
}

double Along(double a, double b, double f) {
    return a + (b - a) * f;
}

bool Enriching(const TTuneSample& s) {
    return s.Accel && *s.Accel != 0;
}

}  // namespace

double GasDelayS(const std::vector<TTuneSample>& samples, std::size_t k,
                 const TTuneSettings& settings) {
    if (settings.FixedDelayMs)
        return *settings.FixedDelayMs / kMsPerS;
    const double scale = settings.DelayScale;
    const double base = settings.Delay.BaseMs * scale / kMsPerS;
    // The volume in rpm-seconds at full load.
    double volume = settings.Delay.VolumeMsRpm * scale / kMsPerS;
    const double readAt = samples[k].TimeS - base;
    // Walk back over the records before the reading, each holding its flow until the next.
    double until = readAt;
    for (std::size_t i = k + 1; i-- > 0;) {
        const TTuneSample& s = samples[i];
        if (s.TimeS >= until)
            continue;
        const double flow = s.Rpm * LoadOfThrottle(s.Throttle);
        const double span = until - s.TimeS;
        if (flow > 0.0 && flow * span >= volume)
            return samples[k].TimeS - (until - volume / flow);
        volume -= flow * span;
        until = s.TimeS;
        if (samples[k].TimeS - until > kLongestWalkS)
            break;
    }
    // The records do not reach back far enough: the steady model at the reading.
    return settings.SensorDelayMs(samples[k].Rpm, samples[k].Throttle) / kMsPerS;
}

TSampleJudge::TSampleJudge(const std::vector<TTuneSample>& samples,
                           const std::vector<double>& marks, const TTuneSettings& settings)
    : s_(samples), marks_(marks), set_(settings), startS_(samples.size(), kNoStart) {
    double start = kNoStart;
    bool stood = false;
    for (std::size_t i = 0; i < s_.size(); ++i) {
        if (s_[i].Rpm <= 0.0) {
            stood = true;
        } else if (stood) {
            start = s_[i].TimeS;
            stood = false;
        }
        startS_[i] = start;
        if (s_[i].TempCorrection && s_[i].Rpm > 0.0)
            warmCorrection_ = std::min(warmCorrection_.value_or(255), *s_[i].TempCorrection);
    }
}

std::optional<TTuneFilter> TSampleJudge::Judge(std::size_t k, TTunePoint& point) const {
    const TTuneSample& reading = s_[k];
    if (reading.Afr <= 0.0)
        return TTuneFilter::NoReading;
    if (!AfrValid(reading))
        return TTuneFilter::OutsideLimits;
    const double delay = GasDelayS(s_, k, set_);
    const double at = reading.TimeS - delay;
    const std::optional<std::size_t> first = LastAtOrBefore(at, k);
    if (!first || HasGap(*first, k))
        return TTuneFilter::NoEarlierPoint;
    for (std::size_t i = *first; i < k; ++i) {
        if (!AfrValid(s_[i]))
            return TTuneFilter::NearBadReading;
    }
    if (set_.ControllerOn && !reading.CorrectionKnown)
        return TTuneFilter::NoCorrection;
    if (const auto flags = FlagsFilter(*first, k))
        return flags;
    if (set_.RejectFuelCut && Any(at - set_.FuelCutHoldoff * delay, reading.TimeS, k, IsFuelCut))
        return TTuneFilter::FuelCut;
    point = PointAt(*first, k, at);
    point.TimeS = at;
    point.Steady = Steady(at, *first, k);
    if (set_.RejectEnrichment && Enriched(at, delay, *first, k))
        return TTuneFilter::Enrichment;
    if (set_.RequireSteadyThrottle && !point.Steady)
        return TTuneFilter::Unsteady;
    if (set_.RejectWarmUp && WarmingUp(k))
        return TTuneFilter::WarmUp;
    if (point.Rpm < set_.MinRpm)
        return TTuneFilter::LowRpm;
    if (SoonAfterMark(at, reading.TimeS))
        return TTuneFilter::AfterMark;
    return std::nullopt;
}

bool TSampleJudge::AfrValid(const TTuneSample& s) const {
    return s.Afr > 0.0 && s.Afr >= set_.AfrMin && s.Afr <= set_.AfrMax;
}

// The last sample at or before time t, not after sample k.
std::optional<std::size_t> TSampleJudge::LastAtOrBefore(double t, std::size_t k) const {
    const auto end = s_.begin() + static_cast<std::ptrdiff_t>(k + 1);
    const auto after = std::upper_bound(s_.begin(), end, t,
                                        [](double v, const TTuneSample& s) { return v < s.TimeS; });
    if (after == s_.begin())
        return std::nullopt;
    return static_cast<std::size_t>(after - s_.begin()) - 1;
}

bool TSampleJudge::HasGap(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i) {
        if (s_[i + 1].TimeS - s_[i].TimeS > set_.MaxRecordGapS)
            return true;
    }
    return false;
}

// The controller's state from the operating point to the reading, where known. A controller
// switched off never starts up, and one at its rich or lean limit applies a correction the
// record still gives; only the output at its own limit leaves the fuel unknown.
std::optional<TTuneFilter> TSampleJudge::FlagsFilter(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i <= to; ++i) {
        if (!s_[i].WbFlags)
            continue;
        const std::uint8_t f = *s_[i].WbFlags;
        if (set_.ControllerOn && set_.RequireStartupDone && !Bit(f, wbflag::StartupDone))
            return TTuneFilter::Startup;
        if (set_.RejectAtLimit && Bit(f, wbflag::OutputAtLimit))
            return TTuneFilter::AtLimit;
    }
    return std::nullopt;
}

TTunePoint TSampleJudge::PointAt(std::size_t first, std::size_t k, double at) const {
    const TTuneSample& a = s_[first];
    const double correction = set_.ControllerOn ? 1.0 : 0.0;
    if (first == k || s_[first + 1].TimeS <= a.TimeS)
        return {a.Rpm, a.Throttle, a.Correction * correction};
    const TTuneSample& b = s_[first + 1];
    const double f = (at - a.TimeS) / (b.TimeS - a.TimeS);
    return {Along(a.Rpm, b.Rpm, f), Along(a.Throttle, b.Throttle, f),
            Along(a.Correction, b.Correction, f) * correction};
}

// Little throttle movement in the window up to the operating point (and the record after it,
// which the point lies before).
bool TSampleJudge::Steady(double at, std::size_t first, std::size_t k) const {
    return !ThrottleMoved(at - set_.SteadyWindowS, std::min(first + 1, k), k);
}

// The throttle moved by more than the steady limit from the record at or before `from` up to
// record `to`.
bool TSampleJudge::ThrottleMoved(double from, std::size_t to, std::size_t k) const {
    const std::size_t start = LastAtOrBefore(from, k).value_or(0);
    double low = s_[start].Throttle;
    double high = low;
    for (std::size_t i = start; i <= to; ++i) {
        low = std::min(low, s_[i].Throttle);
        high = std::max(high, s_[i].Throttle);
    }
    return PercentOfRawThrottle(high - low) > set_.MaxThrottleChangePercent + kSlack;
}

// The acceleration enrichment's gas may be in the reading: where the log has the acceleration
// value, it ran within the hold-off; where it has not, the throttle moved within the time an
// enrichment may run, and the hold-off after it.
bool TSampleJudge::Enriched(double at, double delay, std::size_t first, std::size_t k) const {
    const std::size_t next = std::min(first + 1, k);
    const double holdoff = set_.EnrichmentHoldoff * delay;
    if (s_[k].Accel)
        return Any(at - std::max(holdoff, set_.SteadyWindowS), s_[next].TimeS, k, Enriching);
    return ThrottleMoved(at - set_.EnrichmentS - holdoff, next, k);
}

// A sample of that kind from the record at or before `from` up to time `to`, not after k.
bool TSampleJudge::Any(double from, double to, std::size_t k,
                       bool (*what)(const TTuneSample&)) const {
    std::size_t i = LastAtOrBefore(from, k).value_or(0);
    for (; i <= k && s_[i].TimeS <= to + kSlack; ++i) {
        if (what(s_[i]))
            return true;
    }
    return false;
}

bool TSampleJudge::WarmingUp(std::size_t k) const {
    const TTuneSample& s = s_[k];
    if (s.TimeS - startS_[k] < set_.WarmUpS)
        return true;
    return s.TempCorrection && warmCorrection_ &&
           *s.TempCorrection > *warmCorrection_ + set_.WarmCorrection + kSlack;
}

// A mark or edit before the reading whose settling time the operating point falls into.
bool TSampleJudge::SoonAfterMark(double at, double readingTime) const {
    return std::any_of(marks_.begin(), marks_.end(),
                       [&](double m) { return m <= readingTime && at < m + set_.AfterMarkS; });
}

}  // namespace zv
