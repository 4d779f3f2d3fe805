#include "autotune/delay_estimate.h"

#include <algorithm>

namespace zv {

namespace {

constexpr double kMsPerS = 1000.0;
// How long after an output edge its reading edge may come: longer than any exhaust.
constexpr double kSearchS = 4.0;

class TEdgeFinder {
  public:
    TEdgeFinder(const std::vector<TTuneSample>& samples, const TTuneSettings& settings)
        : s_(samples), set_(settings) {}

    std::vector<double> Volumes() const {
        std::vector<double> volumes;
        for (std::size_t i = 1; i < s_.size(); ++i) {
            const bool starts = IsFuelCut(s_[i]) && !IsFuelCut(s_[i - 1]) && Burnt(s_[i - 1]);
            const bool ends = !IsFuelCut(s_[i]) && IsFuelCut(s_[i - 1]) && Lean(s_[i - 1]);
            if (!starts && !ends)
                continue;
            const auto volume = VolumeAfter(i, starts);
            if (volume)
                volumes.push_back(*volume);
        }
        return volumes;
    }

  private:
    bool Burnt(const TTuneSample& s) const {
        return s.Afr > 0.0 && s.Afr >= set_.AfrMin && s.Afr <= set_.AfrMax;
    }
    // Off-scale lean: above the sensor's band, or no reading at all.
    bool Lean(const TTuneSample& s) const { return s.Afr <= 0.0 || s.Afr > set_.AfrMax; }

    // The gas pumped from the output edge between records i - 1 and i to the reading's edge,
    // while the output stays as it went.
    std::optional<double> VolumeAfter(std::size_t i, bool cutStarts) const {
        const double edge = (s_[i - 1].TimeS + s_[i].TimeS) / 2.0;
        for (std::size_t j = i; j < s_.size() && s_[j].TimeS <= edge + kSearchS; ++j) {
            if (IsFuelCut(s_[j]) != cutStarts)
                return std::nullopt;
            if (j > 0 && j > i && (cutStarts ? Lean(s_[j]) : Burnt(s_[j]))) {
                const double seen = (s_[j - 1].TimeS + s_[j].TimeS) / 2.0;
                return Pumped(i - 1, edge, seen - set_.Delay.BaseMs / kMsPerS);
            }
            if (j + 1 < s_.size() && s_[j + 1].TimeS - s_[j].TimeS > set_.MaxRecordGapS)
                return std::nullopt;
        }
        return std::nullopt;
    }

    // rpm-seconds at full load from `from` to `to`, each record's flow holding to the next.
    std::optional<double> Pumped(std::size_t i, double from, double to) const {
        if (to <= from)
            return std::nullopt;
        double volume = 0.0;
        for (; i < s_.size() && s_[i].TimeS < to; ++i) {
            const double next = i + 1 < s_.size() ? s_[i + 1].TimeS : to;
            const double a = std::max(from, s_[i].TimeS);
            const double b = std::min(to, next);
            if (b > a)
                volume += s_[i].Rpm * LoadOfThrottle(s_[i].Throttle) * (b - a);
        }
        return volume * kMsPerS;
    }

    const std::vector<TTuneSample>& s_;
    const TTuneSettings& set_;
};

}  // namespace

TDelayEstimate EstimateDelay(const std::vector<TTuneSample>& samples,
                             const TTuneSettings& settings) {
    std::vector<double> volumes = TEdgeFinder(samples, settings).Volumes();
    TDelayEstimate estimate;
    estimate.Edges = static_cast<int>(volumes.size());
    if (volumes.empty() || estimate.Edges < settings.MinDelayEdges)
        return estimate;
    const auto middle = volumes.begin() + static_cast<std::ptrdiff_t>(volumes.size() / 2);
    std::nth_element(volumes.begin(), middle, volumes.end());
    estimate.VolumeMsRpm = *middle;
    return estimate;
}

TTuneSettings WithEstimatedDelay(const TTuneSettings& settings, const TDelayEstimate& estimate) {
    TTuneSettings used = settings;
    if (settings.EstimateDelay && !settings.FixedDelayMs && estimate.VolumeMsRpm)
        used.Delay.VolumeMsRpm = *estimate.VolumeMsRpm;
    return used;
}

}  // namespace zv
