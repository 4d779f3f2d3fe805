#include "autotune/tune_settings.h"

#include <algorithm>

#include "data/parameter_table.h"
#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

constexpr double kDelayBaseMs = 80.0;
constexpr double kDelayRpmMs = 24000.0;
constexpr double kDelayMaxMs = 600.0;

double AfrAtLimit(const TZVDataClass& data, int parameter) {
    const std::uint8_t raw = data.DeviceData.Image[Parameter(parameter).Offset];
    const TAfrReading reading = RawToAfr(data, raw);
    return reading.IsReading() ? reading.Afr : 0.0;
}

}  // namespace

double DefaultSensorDelayMs(double rpm) {
    if (rpm <= 0.0)
        return kDelayMaxMs;
    return std::min(kDelayBaseMs + kDelayRpmMs / rpm, kDelayMaxMs);
}

double TTuneSettings::SensorDelayMs(double rpm) const {
    if (FixedDelayMs)
        return *FixedDelayMs;
    return DefaultSensorDelayMs(rpm) * DelayScale;
}

TTuneSettings TuneSettingsFor(const TZVDataClass& data) {
    TTuneSettings settings;
    settings.AfrMin = AfrAtLimit(data, param::WBO2ErrorDetLimLow);
    settings.AfrMax = AfrAtLimit(data, param::WBO2ErrorDetLimHigh);
    return settings;
}

}  // namespace zv
