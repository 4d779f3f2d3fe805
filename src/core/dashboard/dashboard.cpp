#include "dashboard/dashboard.h"

#include <algorithm>
#include <cstdio>

#include "data/flag_bits.h"
#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"
#include "text/point_format.h"

namespace zv {

namespace {

// The 11-byte layout of the oldest units.
namespace rec11 {
constexpr std::size_t Rpm = 0;
constexpr std::size_t Tps = 1;
constexpr std::size_t Status = 7;
constexpr std::size_t LMOut = 8;
constexpr std::size_t Idle = 9;
}  // namespace rec11


constexpr int kLambdaShiftModeBit = 0;
constexpr int kLambdaLimOffBit = 1;
constexpr int kLambdaStartupBit = 2;
constexpr int kLambdaErrorBit = 3;


constexpr int kLambdaZero = 128;
constexpr double kNarrowbandWeight = 19.0;
constexpr int kNBLambdaLow = 10;
constexpr int kNBLambdaHigh = 32;
constexpr double kAfrOfLambdaOne = 14.7;

const char* const kNoAfr = "---";

bool Bit(std::uint8_t byte, int n) {
    return TZVDataClass::TestBit(byte, n);
}

std::string FormatInt(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", value);
    return buf;
}

// Engine speed: 10000 rpm at full scale.
int RpmOfRaw(std::uint8_t raw) {
    return static_cast<int>(raw * 39.2157);
}

}  // namespace

int WidebandCorrection(std::uint8_t raw) {
    return raw >= 128 ? raw - 255 : raw;
}

int WidebandStartupCounter(std::uint8_t raw, TLiveLayout layout) {
    return layout == TLiveLayout::Live28 ? raw >> 1 : raw;
}

std::optional<std::uint8_t> InputByteWithFunction(std::span<const std::uint8_t> record,
                                                  const TZVDataClass& data, std::uint8_t function) {
    if (data.InputFSelect == function)
        return record[rec::AnaInF];
    if (data.InputESelect == function)
        return record[rec::AnaInE];
    return std::nullopt;
}

std::uint8_t NarrowbandInputByte(const TLiveRecord& record, const TZVDataClass& data) {
    if (record.Layout == TLiveLayout::Live11)
        return 0;
    if (record.Layout != TLiveLayout::Live18)
        return InputByteWithFunction(record.Bytes, data, kInputNarrowband).value_or(0);
    const std::uint16_t flags = data.DeviceData.FlagsWord();
    if (TZVDataClass::TestFlag(flags, flag::TempInAsLambda))
        return record.Bytes[rec::AnaInF];
    if (TZVDataClass::TestFlag(flags, flag::GPInAsLambda))
        return record.Bytes[rec::AnaInE];
    return 0;
}

TLiveRecord CurrentLiveRecord(const TZVDataClass& data) {
    const TLiveLayout layout = LiveLayoutOfFirmware(data.ReceiveData.Firmware);
    return {layout, data.LiveRecords.Buffer(layout)};
}

std::uint32_t DashColourRgb(TDashColour colour) {
    switch (colour) {
        case TDashColour::Green:
            return 0x00FF00;
        case TDashColour::Red:
            return 0xFF0000;
        case TDashColour::Yellow:
            return 0xFFFF00;
        case TDashColour::Grey:
            return 0x808080;
        case TDashColour::Window:
            break;
    }
    return 0xFFFFFF;
}

void TDashboard::ShowEngine(std::uint8_t rpm, std::uint8_t tps, std::uint8_t output) {
    State_.RotDispGauge = rpm;
    State_.RotDispPanel = FormatInt(RpmOfRaw(rpm));
    State_.PotiDispGauge = tps;
    State_.PotiDispPanel = FormatFixed(tps / 51.0, 4, 2);
    State_.OutputDispGauge = output;
    State_.OutputDispPanel = FormatInt(static_cast<int>(output / 2.55));
}

void TDashboard::ShowLive11(std::span<const std::uint8_t, 11> record) {
    ShowEngine(record[rec11::Rpm], record[rec11::Tps], record[rec11::LMOut]);
    const std::uint8_t status = record[rec11::Status];
    State_.IdleGauge = record[rec11::Idle];
    State_.IdleGaugeColour = Bit(status, rec::IdleContactBit) ? TDashColour::Green : TDashColour::Grey;
    State_.IdleLed = Bit(status, rec::IdleContactBit);
    State_.FullLed = Bit(status, rec::FullContactBit);
}

void TDashboard::ShowNarrowbandSignal(std::uint8_t signal) {
    const int s = std::min<int>(signal, kNBLambdaGaugeMax);
    State_.NBLambdaGauge = s;
    if (s < kNBLambdaLow) {
        State_.NBLambdaGaugeColour = TDashColour::Red;
    } else if (s > kNBLambdaHigh) {
        State_.NBLambdaGaugeColour = TDashColour::Yellow;
    } else {
        State_.NBLambdaGaugeColour = TDashColour::Green;
    }
}

void TDashboard::ShowCommon(std::span<const std::uint8_t> record, const TZVDataClass& data,
                            TMeans& means) {
    ShowEngine(record[rec::Rpm], record[rec::Tps], record[rec::LMOut]);
    const std::uint8_t status = record[rec::Status];
    State_.IdleGauge = record[rec::Idle];
    State_.IdleGaugeColour =
        Bit(status, rec::IdleContactBit) ? TDashColour::Green : TDashColour::Window;
    State_.IdleLed = Bit(status, rec::IdleContactBit);
    State_.FullLed = Bit(status, rec::FullContactBit);

    // While the unit runs its startup the byte holds a counter, not a correction.
    const std::uint8_t lambdaStatus = record[rec::LambdaStatus];
    const double correction =
        Bit(lambdaStatus, kLambdaStartupBit) ? 0.0 : record[rec::LambdaVal] - kLambdaZero;
    means.Narrowband =
        (kNarrowbandWeight * means.Narrowband + correction) / (kNarrowbandWeight + 1.0);
    State_.NBCorrectionValPanel = FormatInt(static_cast<int>(means.Narrowband));

    const bool controlOn =
        TZVDataClass::TestFlag(data.DeviceData.FlagsWord(), flag::NarrowBandLambdaControl);
    State_.NBActiveLed = controlOn && !Bit(lambdaStatus, kLambdaShiftModeBit) &&
                         !Bit(lambdaStatus, kLambdaLimOffBit) &&
                         !Bit(lambdaStatus, kLambdaStartupBit) &&
                         !Bit(lambdaStatus, kLambdaErrorBit);
}

void TDashboard::ShowWideband(std::span<const std::uint8_t> record, TLiveLayout layout,
                              const TZVDataClass& data, const TDashboardSettings& settings,
                              TMeans& means) {
    const std::uint8_t flags = record[rec::WBO2Flags];
    State_.WBO2ActiveLed = Bit(flags, wbflag::StartupDone) && !Bit(flags, wbflag::Lockout) &&
                           !Bit(flags, wbflag::RichLimit) && !Bit(flags, wbflag::LeanLimit);
    State_.WBO2ErrorLed = Bit(flags, wbflag::SensorError) || Bit(flags, wbflag::OutputAtLimit);

    if (!settings.WBO2LambdaPanelVisible) {
        return;
    }
    const std::uint8_t signal = InputByteWithFunction(record, data, kInputWideband).value_or(0);
    const TAfrReading reading = RawToAfr(data, signal);
    if (IsDisplayedAfr(reading)) {
        const double mean = means.Wideband.Add(reading.Afr, settings.WBODebounceLevel);
        State_.AFRTopPanel = settings.WBO2DispAfrMaster ? FormatFixed(mean, 2, 1)
                                                        : FormatFixed(mean / kAfrOfLambdaOne, 1, 2);
    } else {
        State_.AFRTopPanel = kNoAfr;
    }

    const std::uint8_t value = record[rec::WBO2Value];
    State_.WBO2CorrectionValPanel = Bit(flags, wbflag::StartupDone)
                                        ? FormatInt(WidebandCorrection(value))
                                        : "S " + FormatInt(WidebandStartupCounter(value, layout));
}

void TDashboard::ShowLive18(std::span<const std::uint8_t, 18> record, const TZVDataClass& data,
                            const TDashboardSettings& settings) {
    ShowCommon(record, data, Means18_);
    if (settings.NBLambdaPanelVisible) {
        ShowNarrowbandSignal(NarrowbandInputByte({TLiveLayout::Live18, record}, data));
    }
}

// The 24- and 28-byte layouts differ only in what the wideband view reads from their tails.
void TDashboard::ShowWithWideband(std::span<const std::uint8_t> record, TLiveLayout layout,
                                  const TZVDataClass& data, const TDashboardSettings& settings,
                                  TMeans& means) {
    ShowCommon(record, data, means);
    if (settings.NBLambdaPanelVisible) {
        ShowNarrowbandSignal(NarrowbandInputByte({layout, record}, data));
    }
    ShowWideband(record, layout, data, settings, means);
}

void TDashboard::ShowLive24(std::span<const std::uint8_t, 24> record, const TZVDataClass& data,
                            const TDashboardSettings& settings) {
    ShowWithWideband(record, TLiveLayout::Live24, data, settings, Means24_);
}

void TDashboard::ShowLive28(std::span<const std::uint8_t, 28> record, const TZVDataClass& data,
                            const TDashboardSettings& settings) {
    ShowWithWideband(record, TLiveLayout::Live28, data, settings, Means28_);
}

TLiveRecord TDashboard::ShowLive(const TZVDataClass& data, const TDashboardSettings& settings) {
    const TLiveRecords& records = data.LiveRecords;
    switch (LiveLayoutOfFirmware(data.ReceiveData.Firmware)) {
        case TLiveLayout::Live11:
            ShowLive11(records.Live11);
            break;
        case TLiveLayout::Live18:
            ShowLive18(records.Live18, data, settings);
            break;
        case TLiveLayout::Live24:
            ShowLive24(records.Live24, data, settings);
            break;
        case TLiveLayout::Live28:
            ShowLive28(records.Live28, data, settings);
            break;
    }
    return CurrentLiveRecord(data);
}

void TDashboard::ResetDisplay() {
    State_.RotDispGauge = 0;
    State_.RotDispPanel.clear();
    State_.PotiDispGauge = 0;
    State_.PotiDispPanel.clear();
    State_.OutputDispGauge = 0;
    State_.OutputDispPanel.clear();
    State_.IdleLed = false;
    State_.FullLed = false;
}

void TDashboard::ResetMeans() {
    Means18_ = {};
    Means24_ = {};
    Means28_ = {};
}

}  // namespace zv
