#include "autotune/tune_sample.h"

#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

constexpr double kRpmFullScale = 10000.0;
constexpr double kPercentFullScale = 100.0;
constexpr double kRawFullScale = 255.0;

// The unit reports a signal at either end of its range when the sensor gives none.
constexpr std::uint8_t kNoSignalLow = 0;
constexpr std::uint8_t kNoSignalHigh = 255;
constexpr int kOverrunBit = 0;  // of the narrowband status byte

double AfrOfInput(const TZVDataClass& data, std::uint8_t raw) {
    if (raw == kNoSignalLow || raw == kNoSignalHigh)
        return 0.0;
    const TAfrReading reading = RawToAfr(data, raw);
    return IsDisplayedAfr(reading) ? reading.Afr : 0.0;
}

}  // namespace

double RpmOfRawSpeed(double raw) {
    return raw * kRpmFullScale / kRawFullScale;
}

double RawSpeedOfRpm(double rpm) {
    return rpm * kRawFullScale / kRpmFullScale;
}

double RawThrottleOfPercent(double percent) {
    return percent * kRawFullScale / kPercentFullScale;
}

double PercentOfRawThrottle(double raw) {
    return raw * kPercentFullScale / kRawFullScale;
}

std::optional<TTuneSample> TuneSampleFromRecord(const TLiveRecord& record, const TZVDataClass& data,
                                                double timeS) {
    if (record.Layout != TLiveLayout::Live24 && record.Layout != TLiveLayout::Live28)
        return std::nullopt;
    const auto& b = record.Bytes;
    TTuneSample s;
    s.TimeS = timeS;
    s.Rpm = RpmOfRawSpeed(b[rec::Rpm]);
    s.Throttle = b[rec::Tps];
    if (const auto input = InputByteWithFunction(b, data, kInputWideband))
        s.Afr = AfrOfInput(data, *input);
    const std::uint8_t flags = b[rec::WBO2Flags];
    s.WbFlags = flags;
    // Before the start-up is done the byte counts the start-up down instead.
    if (TZVDataClass::TestBit(flags, wbflag::StartupDone))
        s.Correction = WidebandCorrection(b[rec::WBO2Value]);
    s.Accel = b[rec::TpsAccel];
    s.Output = b[rec::LMOut];
    s.Overrun = TZVDataClass::TestBit(b[rec::LambdaStatus], kOverrunBit);
    s.IdleContact = TZVDataClass::TestBit(b[rec::Status], rec::IdleContactBit);
    s.FullContact = TZVDataClass::TestBit(b[rec::Status], rec::FullContactBit);
    return s;
}

TFuelMap FuelMapOf(const ImageBytes& image) {
    TFuelMap map;
    map.Throttle = SitesAt(image, img::TpsSites);
    map.Rpm = SitesAt(image, img::RpmSites);
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r)
            map.Fuel[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] =
                image[FuelMapOffset(t, r)];
    }
    return map;
}

}  // namespace zv
