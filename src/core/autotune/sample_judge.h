#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "autotune/autotune.h"
#include "autotune/tune_sample.h"
#include "autotune/tune_settings.h"

namespace zv {

// The operating point a reading belongs to: where the engine was when it made the gas the
// reading measured.
struct TTunePoint {
    double Rpm = 0.0;
    double Throttle = 0.0;
    double Correction = 0.0;
    double TimeS = 0.0;
    bool Steady = true;  // the throttle held still around it
};

// How long before a reading its gas was made. The gas sweeps the exhaust out at the engine's
// flow, so the travel time is found by adding up the flow back from the reading until it has
// filled the model's volume: a reading after a tip-in belongs to the slow gas of the closed
// throttle, not to the open throttle of the reading's own moment.
double GasDelayS(const std::vector<TTuneSample>& samples, std::size_t k,
                 const TTuneSettings& settings);

// The checks of one run over the samples in time order.
class TSampleJudge {
  public:
    TSampleJudge(const std::vector<TTuneSample>& samples, const std::vector<double>& marks,
                 const TTuneSettings& settings);

    // The reason sample k is not used, or its operating point.
    std::optional<TTuneFilter> Judge(std::size_t k, TTunePoint& point) const;

  private:
    bool AfrValid(const TTuneSample& s) const;
    std::optional<std::size_t> LastAtOrBefore(double t, std::size_t k) const;
    bool HasGap(std::size_t from, std::size_t to) const;
    std::optional<TTuneFilter> FlagsFilter(std::size_t from, std::size_t to) const;
    TTunePoint PointAt(std::size_t first, std::size_t k, double at) const;
    bool Steady(double at, std::size_t first, std::size_t k) const;
    bool ThrottleMoved(double from, std::size_t to, std::size_t k) const;
    bool Enriched(double at, double delay, std::size_t first, std::size_t k) const;
    bool Any(double from, double to, std::size_t k, bool (*what)(const TTuneSample&)) const;
    bool WarmingUp(std::size_t k) const;
    bool SoonAfterMark(double at, double readingTime) const;

    const std::vector<TTuneSample>& s_;
    const std::vector<double>& marks_;
    const TTuneSettings& set_;
    std::vector<double> startS_;          // per sample: the engine start before it, if seen
    std::optional<int> warmCorrection_;  // the temperature correction of the warm engine
};

}  // namespace zv
