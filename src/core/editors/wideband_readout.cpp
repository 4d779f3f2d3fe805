#include "editors/wideband_readout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "data/zv_data_class.h"
#include "lambda/wideband_sensor.h"

namespace zv {

namespace {

constexpr int kFirstFirmwareWithPcScale = 28;
constexpr double kStoichiometric = 14.7;
constexpr double kRichBelow = 14.2;
constexpr double kLeanAbove = 15.1;
constexpr int kFullBar = 255;

// Formats as the unit's displays always did: a decimal point whatever the locale says.
std::string Format(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    std::string result(text);
    if (const auto comma = result.find(','); comma != std::string::npos)
        result[comma] = '.';
    return result;
}

TAfrReading Convert(std::uint8_t raw, const TWidebandReadout::TSource& source) {
    if (source.Data->DeviceData.Firmware >= kFirstFirmwareWithPcScale)
        return RawToAfr(*source.Data, raw);
    return ByteToAfr(source.Device, raw);
}

}  // namespace

void TWidebandReadout::SetAfrMaster(bool afrMaster) {
    State_.SlaveText = afrMaster ? "Lambda" : "AFR";
}

void TWidebandReadout::ShowWidebandValue(std::uint8_t raw, const TSource& source, int level,
                                         bool afrMaster) {
    State_.Visible = true;
    SetAfrMaster(afrMaster);
    const TAfrReading reading = Convert(raw, source);
    const bool valid = raw >= 1 && raw <= 254 && IsDisplayedAfr(reading);
    if (!valid) {
        State_.Master = State_.Slave = "---";
        State_.BarProgress = kFullBar;
        State_.BarColour = TAfrBarColour::ButtonFace;
        return;
    }
    const int n = std::clamp(level, 0, 5);
    average_ = (average_ * n + reading.Afr) / (n + 1);
    const std::string afr = Format("%2.1f", average_);
    const std::string lambda = Format("%1.2f", average_ / kStoichiometric);
    State_.Master = afrMaster ? afr : lambda;
    State_.Slave = afrMaster ? lambda : afr;
    State_.BarProgress =
        std::min(static_cast<int>(std::trunc(100 - (average_ - 9) * 10)), kFullBar);
    State_.BarColour = average_ < kRichBelow    ? TAfrBarColour::Yellow
                       : average_ <= kLeanAbove ? TAfrBarColour::Green
                                                : TAfrBarColour::Red;
}

}  // namespace zv
