// The wideband page's live side: each live record moves the grid's cursor to the operating
// point and shows the reading and the controller's state; the plot timer draws reading and
// target.
#include <algorithm>
#include <cmath>

#include "data/flag_bits.h"
#include "editors/map_sites.h"
#include "lambda/wbo2_form.h"
#include "sensors/wideband_sensor.h"
#include "pages/page_host.h"

namespace zv {

namespace {

// Live record bytes of the 24- and 28-byte layouts.
constexpr std::size_t kRpm = 1, kThrottle = 2, kState = 18, kValue = 19;
enum : int { kAtUpLimit = 1, kRichLimit = 4, kLeanLimit = 5, kStartupDone = 6, kLockout = 7 };

constexpr int kTraceMax = 51;
constexpr int kAfrOfCellZero = 105;
constexpr std::uint32_t kLime = 0x00FF00, kFuchsia = 0xFF00FF;
constexpr int kFirstNewerVariantFirmware = 37;

bool HasWidebandBytes(const TLiveRecord& record) {
    return (record.Layout == TLiveLayout::Live24 || record.Layout == TLiveLayout::Live28) &&
           record.Bytes.size() > kValue;
}

}  // namespace

void TWBO2Form::ShowLiveFrame(const TLiveRecord& record) {
    if (!HasWidebandBytes(record))
        return;
    timer1Enabled_ = true;
    if (state_.Selected != kWBO2GridField)
        MoveToOperatingPoint(record);
    const std::uint8_t s = record.Bytes[kState];
    const bool done = TZVDataClass::TestBit(s, kStartupDone);
    state_.AfrTarget = done ? state_.Grid[static_cast<std::size_t>(state_.GridRow)]
                                         [static_cast<std::size_t>(state_.GridCol)]
                            : "S " + std::to_string(WidebandStartupCounter(record.Bytes[kValue],
                                                                            record.Layout));
    const TZVDataClass& data = host_.Data();
    if (const auto raw = InputByteWithFunction(record.Bytes, data, kInputWideband))
        wideband_.ShowWidebandValue(*raw, {&data, 0, true}, host_.WBODebounceLevel(),
                                    host_.WBO2DispAfrMaster());
    ShowControllerState(record);
    SetLanguage(host_.CurrentLanguage());
}

// The operating point's cell by the same site lookup as the fuel map's live cursor; the
// lookup's index 0 is the first stored, highest site.
void TWBO2Form::MoveToOperatingPoint(const TLiveRecord& record) {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    const int r = SiteIndex(record.Bytes[kRpm], {image.data() + img::RpmSites, 16}, 15);
    const int t = SiteIndex(record.Bytes[kThrottle], {image.data() + img::TpsSites, 16}, 15);
    state_.GridCol = r <= 15 ? 16 - r : 16;
    state_.GridRow = t <= 15 ? 1 + t : 16;
    CollapseBlock();
}

void TWBO2Form::ShowControllerState(const TLiveRecord& record) {
    const std::uint8_t s = record.Bytes[kState];
    auto bit = [s](int n) { return TZVDataClass::TestBit(s, n); };
    TWBO2Leds& leds = state_.Leds;
    startupDone_ = bit(kStartupDone);
    leds.Startup = !startupDone_;
    leds.Lockout = bit(kLockout);
    leds.UpLim = bit(kRichLimit);
    leds.LowLim = bit(kLeanLimit);
    leds.OutValueAtUpLimit = bit(kAtUpLimit);
    leds.Active =
        startupDone_ && !leds.Lockout && !leds.UpLim && !leds.LowLim && !leds.OutValueAtUpLimit;
    lockout_ = leds.Lockout;
    const std::uint8_t value = record.Bytes[kValue];
    const bool control =
        TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(), flag::WBO2Control);
    if (startupDone_) {
        state_.StartupCount = "end";
        state_.CompValue = std::to_string(WidebandCorrection(value));
    } else {
        state_.StartupCount = std::to_string(WidebandStartupCounter(value, record.Layout));
        state_.CompValue = control ? "startup" : "disbaled";
    }
}

TTraceDraw TWBO2Form::Timer1Tick(int width, int height) {
    TTraceDraw draw;
    if (!timer1Enabled_)
        return draw;
    if (host_.PageOnView() != kWBO2Page) {
        timer1Enabled_ = false;
        return draw;
    }
    // Offline no record arrives: the plot stops until the next one instead of drawing the
    // last record again, or a buffer that the unit's generation never filled.
    if (!host_.RunOnline()) {
        timer1Enabled_ = false;
        return draw;
    }
    if (++column_ >= width) {
        column_ = 0;
        draw.Clear = true;
    }
    const TZVDataClass& data = host_.Data();
    const bool newer = data.ReceiveData.Firmware >= kFirstNewerVariantFirmware;
    const TLiveLayout layout = newer ? TLiveLayout::Live28 : TLiveLayout::Live24;
    AddSample(draw, {layout, data.LiveRecords.Buffer(layout)}, newer ? 1 : 0, height);
    return draw;
}

// The reading over the scale's whole band, and the current cell's target on the same scale.
// A cell without a target (NC) draws no target, and a target outside the scale stays at the
// plot's edge, so that neither wraps around the byte the previous value is kept in.
void TWBO2Form::AddSample(TTraceDraw& draw, const TLiveRecord& record, int variant, int height) {
    const TZVDataSet& set = host_.Data().DeviceData;
    if (set.DispAfrAt5V == 0 || set.DispAfrAt0V >= set.DispAfrAt5V)
        return;
    auto& previous = previous_[static_cast<std::size_t>(variant)];
    auto segment = [&](std::uint8_t& last, int v, std::uint32_t colour) {
        draw.Lines.push_back(
            {column_, TraceY(last, height), column_ + 1, TraceY(v, height), colour});
        last = static_cast<std::uint8_t>(v);
    };
    const int s = InputByteWithFunction(record.Bytes, host_.Data(), kInputWideband).value_or(0);
    segment(previous[0], kTraceMax - s * kTraceMax / 255, kLime);
    const std::uint8_t m = set.Image[CurrentCellOffset()];
    if ((m & 0x80) != 0)
        return;
    const double lo = set.DispAfrAt0V, hi = set.DispAfrAt5V;
    const int target =
        kTraceMax - static_cast<int>(std::trunc((m + kAfrOfCellZero - lo) / (hi - lo) * kTraceMax));
    segment(previous[1], std::clamp(target, 0, kTraceMax), kFuchsia);
}

}  // namespace zv
