#include "autotune/tune_settings.h"

#include <algorithm>

#include "data/flag_bits.h"
#include "data/parameter_table.h"
#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

// A standing or cranking engine moves hardly any gas; no reading waits longer than this.
constexpr double kLongestDelayMs = 2500.0;
constexpr double kClosedLoad = 0.25;  // the air a closed throttle still passes
constexpr double kRawFullScale = 255.0;

double AfrAtLimit(const TZVDataClass& data, int parameter) {
    const std::uint8_t raw = data.DeviceData.Image[Parameter(parameter).Offset];
    const TAfrReading reading = RawToAfr(data, raw);
    return reading.IsReading() ? reading.Afr : 0.0;
}

}  // namespace

double LoadOfThrottle(double rawThrottle) {
    const double open = std::clamp(rawThrottle / kRawFullScale, 0.0, 1.0);
    return kClosedLoad + (1.0 - kClosedLoad) * open;
}

double TDelayModel::DelayMs(double rpm, double rawThrottle) const {
    const double flow = rpm * LoadOfThrottle(rawThrottle);
    if (flow <= 0.0)
        return kLongestDelayMs;
    return std::min(BaseMs + VolumeMsRpm / flow, kLongestDelayMs);
}

double TTuneSettings::SensorDelayMs(double rpm, double rawThrottle) const {
    if (FixedDelayMs)
        return *FixedDelayMs;
    return Delay.DelayMs(rpm, rawThrottle) * DelayScale;
}

bool TTuneSettings::IsLocked(int t, int r) const {
    return Locked[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
}

TTuneSettings TuneSettingsFor(const TZVDataClass& data) {
    TTuneSettings settings;
    settings.AfrMin = AfrAtLimit(data, param::WBO2ErrorDetLimLow);
    settings.AfrMax = AfrAtLimit(data, param::WBO2ErrorDetLimHigh);
    settings.ControllerOn = TZVDataClass::TestFlag(data.DeviceData.FlagsWord(), flag::WBO2Control);
    return settings;
}

}  // namespace zv
