#include "editors/wideband_readout.h"

#include <algorithm>
#include <cmath>

#include "data/zv_data_class.h"
#include "sensors/wideband_sensor.h"
#include "pages/page_host.h"
#include "text/point_format.h"

namespace zv {

namespace {

constexpr int kFirstFirmwareWithPcScale = 28;
constexpr double kStoichiometric = 14.7;
constexpr double kRichBelow = 14.2;
constexpr double kLeanAbove = 15.1;
constexpr int kFullBar = 255;

TAfrReading Convert(std::uint8_t raw, const TWidebandReadout::TSource& source) {
    if (source.PcScale || source.Data->DeviceData.Firmware >= kFirstFirmwareWithPcScale)
        return RawToAfr(*source.Data, raw);
    return ByteToAfr(source.Device, raw);
}

}  // namespace

TDebounceTexts TDebounceTexts::Of(Language lang) {
    const bool g = lang == Language::German;
    TDebounceTexts t;
    t.Hint = g ? "Bedämpfung Anzeigewert" : "Debounce level";
    t.Caption = g ? "Dämpfung" : "Smoothing";
    t.Tip = t.Hint + (g ? ": jeder neue Messwert zählt 1 / (Stufe + 1), 0 = ungedämpft\n"
                          "Bereich: 0 .. 5, mit dem Schieber daneben"
                        : ": each new reading counts 1 / (level + 1), 0 = unsmoothed\n"
                          "Range: 0 .. 5, set with the slider beside it");
    return t;
}

TDebounceDisplay ScrollDebounceLevel(TPageHost& host, const char* section, int position) {
    const int level = kMaxDebounceLevel - std::clamp(position, 0, kMaxDebounceLevel);
    host.SetWBODebounceLevel(level);
    host.Settings().v_WriteInteger(section, "WBODebounceLevel", level);
    return TDebounceDisplay::Of(level);
}

void TWidebandReadout::SetAfrMaster(bool afrMaster) {
    State_.SlaveText = afrMaster ? "Lambda" : "AFR";
    State_.MasterText = afrMaster ? "AFR" : "Lambda";
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
    const double average = mean_.Add(reading.Afr, level);
    const std::string afr = FormatPoint("%2.1f", average);
    const std::string lambda = FormatPoint("%1.2f", average / kStoichiometric);
    State_.Master = afrMaster ? afr : lambda;
    State_.Slave = afrMaster ? lambda : afr;
    State_.BarProgress =
        std::min(static_cast<int>(std::trunc(100 - (average - 9) * 10)), kFullBar);
    State_.BarColour = average < kRichBelow    ? TAfrBarColour::Yellow
                       : average <= kLeanAbove ? TAfrBarColour::Green
                                                : TAfrBarColour::Red;
}

}  // namespace zv
