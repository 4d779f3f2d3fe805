#pragma once

#include <optional>
#include <vector>

#include "autotune/tune_sample.h"
#include "autotune/tune_settings.h"

namespace zv {

// The exhaust volume a log shows. A fuel cut sends pure air down the exhaust and the reading
// goes off-scale lean once it arrives; when the fuel returns, the reading comes back once the
// burnt gas arrives. The gas the engine pumped between the edge of the output and the edge of
// the reading (less the model's fixed part) is the volume between valve and sensor.
struct TDelayEstimate {
    int Edges = 0;                       // fuel-cut edges whose reading edge was found
    std::optional<double> VolumeMsRpm;  // their median, where there were enough
};

TDelayEstimate EstimateDelay(const std::vector<TTuneSample>& samples,
                             const TTuneSettings& settings);

// The settings with the estimated volume in the model, where the run asks for the estimate and
// the log gave one.
TTuneSettings WithEstimatedDelay(const TTuneSettings& settings, const TDelayEstimate& estimate);

}  // namespace zv
