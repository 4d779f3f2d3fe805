#include "editors/param_form.h"

#include <algorithm>
#include <utility>

#include "history/step_names.h"
#include "pages/page_host.h"
#include "pages/step_keys.h"
#include "pages/value_tip.h"
#include "text/point_format.h"

namespace zv {

namespace {

// A byte parameter: its place (also the unit's address), the range the keys keep and the
// Page Up / Page Down step.
struct TParamItem {
    std::size_t Offset;
    int Min, Max, PageStep;
};
// Items 1..6; item 0 is the pulse word, item 7 the curve.
constexpr std::array<TParamItem, 7> kItems = {{
    {0, 0, 0, 15},      // Pulse, by firmware below
    {16, 0, 255, 15},   // OutValAtZeroRpm
    {21, 200, 255, 5},  // MaxOutValue
    {17, 0, 30, 15},    // TpsAccelOutFact
    {19, 0, 50, 15},    // TpsAccelRetSpeed
    {2, 2, 100, 15},    // ContactIdle
    {3, 110, 231, 15},  // ContactFull
}};
constexpr int kPulseMax = 500;
constexpr int kPageStep = 15;
constexpr int kDigIOLAsPulse = 7;
constexpr std::uint8_t kIdleDefault = 34;
constexpr std::uint8_t kFullDefault = 170;

// Tab's order; it passes over the items the unit's firmware hides.
constexpr std::array<int, 8> kTabCycle = {0, 5, 6, 1, 2, 3, 4, 7};

int PulseMin(int firmware) {
    return firmware >= 37 ? 47 : 32;
}

bool AccelShown(int firmware) {
    return firmware > 27 || firmware == 26;
}

const TextPair kRawOutput = {"Ausgabewert (roh, 0..255)", "output value (raw, 0..255)"};
// What each item sets and its unit, by item.
const std::array<std::pair<TextPair, TextPair>, kParamItemCount> kItemTips = {{
    {{"Impulse pro Umdrehung", "Pulses per revolution"}, {"Impulse", "pulses"}},
    {{"Ausgabewert bei Motorstillstand", "Output value at zero rpm"}, kRawOutput},
    {{"Maximaler Ausgabewert", "Maximum output value"}, kRawOutput},
    {{"Beschleunigungsfaktor", "Acceleration factor"}, kCountsUnit},
    {{"Rückstellgeschwindigkeit", "Retard speed"}, kCountsUnit},
    {{"Schwelle Leerlaufkontakt", "Idle contact threshold"}, kRawThrottleUnit},
    {{"Schwelle Vollastkontakt", "WOT contact threshold"}, kRawThrottleUnit},
    {{"Skalierte Drosselklappe am Kurvenpunkt", "Scaled throttle at the curve point"},
     {"Drosselklappe skaliert (roh, 0..255)", "scaled throttle (raw, 0..255)"}},
}};

std::string PercentText(int b) {
    return FormatPoint("%2.1f", b / 2.55) + "% TPS";
}

// The closed-throttle value belongs between these: the left lamp lights at or below the first,
// the right one at or above the second.
constexpr int kPotiLowMax = 30;
constexpr int kPotiHighMin = 35;

constexpr std::uint32_t kRed = 0xFF0000, kDarkRed = 0x800000, kGreen = 0x00FF00,
                        kDarkGreen = 0x008000, kYellow = 0xFFFF00, kOlive = 0x808000;

}  // namespace

TParamForm::TParamForm(TPageHost& host) : host_(host) {
    state_.Chart.MaxValue = 255;
    state_.Chart.ValueMin = 0.0;
    state_.Chart.ValueMax = 255.0;
    SetLanguage(host_.CurrentLanguage());
}

void TParamForm::LoadFromImage() {
    const int firmware = host_.Data().DeviceData.Firmware;
    state_.OutputAtZeroVisible = firmware > 20;
    state_.AccelVisible = AccelShown(firmware);
    state_.MaxOutVisible = firmware >= 30;
    state_.PinLVisible = firmware >= 32;
    state_.Chart.Points = host_.Data().DeviceData.Image.data() + img::TpsScale;
    state_.PinLDown = TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(), kDigIOLAsPulse);
    if (!ItemShown(state_.Selected)) {
        state_.Selected = 0;
        Highlight();
    }
    SetLanguage(host_.CurrentLanguage());
    ShowValues();
    NotifyChanged();
}

void TParamForm::ShowValues() {
    const TZVDataClass& data = host_.Data();
    state_.Values[0] = std::to_string(data.PulseFromDataSet(data.DeviceData));
    for (std::size_t i = 1; i < kItems.size(); ++i)
        state_.Values[i] = std::to_string(data.DeviceData.Image[kItems[i].Offset]);
    const int idle = data.DeviceData.Image[kItems[5].Offset];
    const int full = data.DeviceData.Image[kItems[6].Offset];
    state_.IdlePercent = PercentText(idle);
    state_.WOTPercent = PercentText(full);
    state_.IdleMarker = idle - 7;
    state_.WOTMarker = full - 7;
}

void TParamForm::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    host_.FocusKeyControl();
    Highlight();
    NotifyChanged();
}

void TParamForm::RefreshPage() {
    SetLanguage(host_.CurrentLanguage());
}

void TParamForm::Highlight() {
    for (std::size_t i = 0; i < state_.PanelColours.size(); ++i)
        state_.PanelColours[i] =
            static_cast<int>(i) == state_.Selected ? TPanelColour::Aqua : TPanelColour::White;
    state_.Chart.CursorVisible = state_.Selected == kParamCurveItem;
}

void TParamForm::SetLanguage(Language lang) {
    const bool g = lang == Language::German;
    TParamFormTexts& t = state_.Texts;
    t.PulseGroup = g ? " Drehzahlerfassung " : " Revolution meassurement ";
    t.PulseLabel = g ? "Anzahl Impulse pro Umdrehung (Anzahl Schwungradzähne)"
                     : "Number of pulses per revolution";
    t.PotiGroup = g ? " Potentiometer Einstellung " : " TPS Adjust ";
    t.ContactGroup = g ? " Kontakteinstellung " : " Contact Adjustment ";
    t.IdleContact = g ? "Leerlaufkontakt" : "Idle contact";
    t.WOTContact = g ? "Vollastkontakt" : "WOT contact";
    t.ContactDefault = g ? "Orginalwerte\nsetzten" : "Set defaults";
    t.OutputAtZeroGroup = g ? " Ausgabe Motorstillstand " : " Engine stop output ";
    t.OutputAtZeroLabel = g ? "Ausgabewert bei Motorstillstand" : "Output value at zero rpm";
    t.MaxOutGroup = g ? " Maximaler Ausgabewert " : " Maximum output ";
    t.MaxOutLabel = g ? "Wert 200 - 255" : "Value 200 - 255";
    t.AccelGroup = "TPS Acceleration";
    t.AccelFactLabel = g ? "Beschleunigungsfaktor" : "Acceleration factor";
    t.AccelFactHint = g ? "Stellt die Hubhöhe des Signals ein" : "...";
    t.AccelRetLabel = g ? "Rückstellgeschwindigkeit" : "Retard speed";
    t.AccelRetHint = g ? "Geschwindigkeit der Rücknahme des Beschleunigungssignals"
                       : "How fast the acceleration value will get back to zero after TPS is "
                         "not accelerating.";
    t.PinLGroup = g ? " Dig.-Ausgang Pin \"L\" Funktion " : " Dig Out Pin L function ";
    t.PinLHint = g ? "Das 50Hz Pulssignal kann genutzt werden um einer\r\n"
                     "Motronic ein Fahrgeschwindigkeitssignal zuzuführen\r\n"
                     "falls kein Raddrehzahlimpuls zur Verfügung steht um\r\n"
                     "vorgezogenen Drehzahlbegrenzer (6500U/min) zu umgehen."
                   : "The 50Hz pulse signal can be used as a simulated\r\n"
                     "wheel speed signal if no real wheel signal is available\r\n"
                     "to avoid early (6500rpm) rpm cut off";
    if (state_.PinLDown)
        t.PinLLabel = g ? "50Hz Puls Geschwindigkeitssignal" : "50Hz pulse speed sim signal";
    else
        t.PinLLabel = g ? "Leerlaufkontakt" : "Idle Contact";
    t.PotiAidLabel = g ? "Drosselklappe geschlossen (roh)" : "Closed throttle (raw)";
    t.PotiLow = "≤ " + std::to_string(kPotiLowMax);
    t.PotiMid = std::to_string(kPotiLowMax + 1) + ".." + std::to_string(kPotiHighMin - 1);
    t.PotiHigh = "≥ " + std::to_string(kPotiHighMin);
    t.AccelValueLabel = g ? "Beschleunigungswert" : "Acceleration value";
    t.AdcLabel = g ? "Drosselklappe roh → skaliert" : "TPS raw → scaled";
    SetTips(lang);
    state_.Chart.InputAxis = g ? "Drosselklappenpotentiometer" : "TPS";
    state_.Chart.ValueAxis = g ? "Drosselklappe skaliert" : "TPS scaled";
    NotifyChanged();
}

void TParamForm::SetTips(Language lang) {
    TParamFormTexts& t = state_.Texts;
    for (std::size_t i = 0; i < t.Tips.size(); ++i) {
        TValueTip tip{kItemTips[i].first.Pick(lang), kItemTips[i].second.Pick(lang),
                      RangeText(0, 255), kPageStep};
        tip.OwnKeys = host_.ConfiguredStepKeys();
        if (i == 0) {
            tip.Range = RangeText(PulseMin(host_.Data().DeviceData.Firmware), kPulseMax);
        } else if (i < kItems.size()) {
            tip.Range = RangeText(kItems[i].Min, kItems[i].Max);
            tip.PageStep = kItems[i].PageStep;
        }
        t.Tips[i] = ValueTipText(tip, lang);
    }
    // The unit's own hints of the acceleration values lead their texts.
    t.Tips[3] = HintedTip(t.AccelFactHint, t.Tips[3]);
    t.Tips[4] = HintedTip(t.AccelRetHint, t.Tips[4]);
}

void TParamForm::HandleKey(std::uint8_t key) {
    key = host_.TranslateStepKey(key);
    switch (key) {
        case vk::Tab:
            Tab();
            return;
        case vk::Esc:
            for (const int item : {0, 1, 2, 5, 6})
                state_.PanelColours[static_cast<std::size_t>(item)] = TPanelColour::ButtonFace;
            state_.Chart.CursorVisible = false;
            NotifyChanged();
            host_.ShowPageSelection();
            return;
        case vk::Left:
        case vk::Right:
            if (state_.Selected == kParamCurveItem) {
                state_.Chart.Cursor =
                    std::clamp(state_.Chart.Cursor + (key == vk::Left ? -1 : 1), 0, 15);
                NotifyChanged();
            }
            return;
        default:
            break;
    }
    const int step = state_.Selected == kParamCurveItem
                         ? kPageStep
                         : kItems[static_cast<std::size_t>(state_.Selected)].PageStep;
    const int delta = StepOfKey(key) != 0 ? StepOfKey(key) : PageStepOfKey(key, step);
    if (delta == 0 || host_.PauseTimerActive())
        return;
    if (state_.Selected == 0)
        StepPulse(delta);
    else if (state_.Selected == kParamCurveItem)
        StepPoint(delta);
    else
        StepItem(state_.Selected, delta);
}

// Only what the operator sees can be selected: a hidden item would be written to the unit
// unseen.
bool TParamForm::ItemShown(int item) const {
    switch (item) {
        case 1:
            return state_.OutputAtZeroVisible;
        case 2:
            return state_.MaxOutVisible;
        case 3:
        case 4:
        case kParamCurveItem:
            return state_.AccelVisible;
        default:
            return item >= 0 && item < kParamItemCount;
    }
}

void TParamForm::Tab() {
    auto at = std::find(kTabCycle.begin(), kTabCycle.end(), state_.Selected);
    if (at == kTabCycle.end())
        return;
    do {
        at = std::next(at) == kTabCycle.end() ? kTabCycle.begin() : std::next(at);
    } while (!ItemShown(*at));
    state_.Selected = *at;
    Highlight();
    NotifyChanged();
}

void TParamForm::StepItem(int item, int delta) {
    const TParamItem& p = kItems[static_cast<std::size_t>(item)];
    const int old = host_.Data().DeviceData.Image[p.Offset];
    const int value = std::clamp(old + delta, p.Min, p.Max);
    TEditStep step(host_.History(),
                   ValueStep(kItemTips[static_cast<std::size_t>(item)].first, old, value));
    if (!WriteMainByte(host_, p.Offset, value, true))
        return;
    ShowValues();
    NotifyChanged();
}

void TParamForm::StepPulse(int delta) {
    TZVDataClass& data = host_.Data();
    const int old = data.PulseFromDataSet(data.DeviceData);
    const int value = std::clamp(old + delta, PulseMin(data.DeviceData.Firmware), kPulseMax);
    if (std::to_string(value) == state_.Values[0])
        return;
    TEditStep step(host_.History(), ValueStep(kItemTips[0].first, old, value));
    WriteMainBytes(host_, img::PulseWord,
                   WordBytes(data.PulseToRaw(static_cast<std::uint16_t>(value))), true);
    ShowValues();
    state_.Values[0] = std::to_string(value);
    NotifyChanged();
}

void TParamForm::StepPoint(int delta) {
    const std::size_t offset = img::TpsScale + 15 - static_cast<std::size_t>(state_.Chart.Cursor);
    const int old = host_.Data().DeviceData.Image[offset];
    const int value = std::clamp(old + delta, 0, 255);
    TEditStep step(host_.History(), CurvePointStep(img::TpsScale, state_.Chart.Cursor, old, value));
    if (WriteMainByte(host_, offset, value))
        NotifyChanged();
}

void TParamForm::ValuePanelClick(int item) {
    if (item >= kParamCurveItem || !ItemShown(item))
        return;
    state_.Selected = item;
    Highlight();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TParamForm::PointClick(int point) {
    if (point < 0 || point > 15 || !state_.AccelVisible)
        return;
    state_.Selected = kParamCurveItem;
    state_.Chart.Cursor = point;
    Highlight();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TParamForm::ContactDefaultSpeedButtonClick() {
    const std::array<std::uint8_t, 2> bytes = {kIdleDefault, kFullDefault};
    TEditStep step(host_.History(), NameStep(stepname::ContactDefaults));
    if (WriteMainBytes(host_, kItems[5].Offset, bytes, true)) {
        ShowValues();
        NotifyChanged();
    }
}

void TParamForm::DigOut_L_FuncSpeedButtonClick() {
    if (!state_.PinLVisible)
        return;
    const bool pulse = !TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(), kDigIOLAsPulse);
    TEditStep step(host_.History(), NameStep(stepname::PinLFunction, pulse ? "50 Hz" : "IDLE"));
    const std::uint16_t flags = ToggleMainFlag(host_, kDigIOLAsPulse);
    state_.PinLDown = TZVDataClass::TestFlag(flags, kDigIOLAsPulse);
    SetLanguage(host_.CurrentLanguage());
}

void TParamForm::ShowLiveFrame(const TLiveRecord& record) {
    const auto& b = record.Bytes;
    const bool old = record.Layout == TLiveLayout::Live11;
    if (b.size() < (old ? 8u : 3u))
        return;
    const int v = b[old ? 1 : 2];
    const std::uint8_t contacts = b[old ? 7 : 0];
    state_.Throttle = v;
    state_.LowArrow = v <= kPotiLowMax ? kRed : kDarkRed;
    state_.HighArrow = v >= kPotiHighMin ? kRed : kDarkRed;
    state_.MidShape = v > kPotiLowMax && v < kPotiHighMin ? kGreen : kDarkGreen;
    state_.IdleShape = TZVDataClass::TestBit(contacts, 6) ? kGreen : kDarkGreen;
    state_.WOTShape = TZVDataClass::TestBit(contacts, 7) ? kYellow : kOlive;
    const bool withAccel =
        record.Layout == TLiveLayout::Live24 || record.Layout == TLiveLayout::Live28;
    if (withAccel && state_.AccelVisible && b.size() > 20) {
        const int accel = static_cast<std::int8_t>(b[17]);
        state_.AccelValue = std::to_string(accel);
        state_.AccelGauge = accel + 128;
        state_.AccelNegative = accel < 0;
        state_.Chart.Marker = v;
        state_.AdcInput = std::to_string(v);
        state_.AdcScaled = std::to_string(b[20]);
    }
    NotifyChanged();
}

const TParamFormState& TParamForm::State() {
    state_.Chart.Points = host_.Data().DeviceData.Image.data() + img::TpsScale;
    state_.Chart.MarkerVisible = state_.AccelVisible && host_.Controls().CurveChartsLiveCursor;
    return state_;
}

}  // namespace zv
