#include "editors/lamp_form.h"

#include <algorithm>

#include "data/flag_bits.h"
#include "history/step_names.h"
#include "pages/page_host.h"
#include "pages/step_keys.h"
#include "pages/value_tip.h"

namespace zv {

namespace {

constexpr int kPageStep = 15;
constexpr int kThresholdMin = 50;   // 1960 rpm
constexpr int kThresholdMax = 254;  // 9960 rpm
constexpr int kPointMax = 255;      // 100 % brightness
// Threshold bytes of red, yellow and green: the offset is also the unit's address.
constexpr std::array<std::size_t, 3> kThresholdOffsets = {8, 7, 6};
// The thresholds as the Edit menu names their steps.
constexpr std::array<TextPair, 3> kThresholdNames = {{
    {"Schaltdrehzahl rote Lampe", "red lamp switching speed"},
    {"Schaltdrehzahl gelbe Lampe", "yellow lamp switching speed"},
    {"Schaltdrehzahl grüne Lampe", "green lamp switching speed"},
}};
// Lamp outputs in status byte 0, red first, and their lit and dark colours (0xRRGGBB).
constexpr std::array<int, 3> kLampBits = {5, 4, 3};
constexpr std::array<std::uint32_t, 3> kLit = {0xFF0000, 0xFFFF00, 0x00FF00};
constexpr std::array<std::uint32_t, 3> kDark = {0x800000, 0x808000, 0x008000};
constexpr std::size_t kLiveRpm = 1;
constexpr std::size_t kLiveFoto = 9;

std::string RpmText(int b) {
    return std::to_string(RpmOfByte(b));
}

}  // namespace

TLampForm::TLampForm(TPageHost& host) : host_(host) {
    TCurveChartState& c = state_.Chart;
    c.MaxValue = kPointMax;
    c.ValueMin = 0.0;
    c.ValueMax = 100.0;
    c.ValueUnit = "[%]";
    SetLanguage(host_.CurrentLanguage());
}

void TLampForm::LoadFromImage() {
    state_.Chart.Points = host_.Data().DeviceData.Image.data() + img::FotoControl;
    ShowThresholds();
    NotifyChanged();
}

void TLampForm::ShowThresholds() {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    for (std::size_t i = 0; i < 3; ++i) {
        state_.ThresholdBytes[i] = image[kThresholdOffsets[i]];
        state_.Thresholds[i] = RpmText(image[kThresholdOffsets[i]]);
    }
}

void TLampForm::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    ApplyVisibility();
    cursorShown_ = true;
    panelsShown_ = true;
    Highlight();
    ShowThresholds();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TLampForm::RefreshPage() {
    SetLanguage(host_.CurrentLanguage());
    ApplyVisibility();
    NotifyChanged();
}

// Lamps that show the narrowband mixture have no thresholds to set. What the operator cannot
// see must not be changed in the unit, so a hidden threshold gives the selection back to the
// curve.
void TLampForm::ApplyVisibility() {
    const std::uint16_t flags = host_.Data().DeviceData.FlagsWord();
    const bool narrowBand = flag::HasNarrowbandInput(flags);
    state_.BoundPanelVisible = !(narrowBand && TZVDataClass::TestFlag(flags, flag::LampAsSelect));
    state_.DownloadVisible = state_.BoundPanelVisible;
    if (!state_.BoundPanelVisible && state_.Selected != 0) {
        state_.Selected = 0;
        Highlight();
    }
}

int TLampForm::ItemCount() const {
    return state_.BoundPanelVisible ? 4 : 1;
}

void TLampForm::SetLanguage(Language lang) {
    const bool german = lang == Language::German;
    state_.Chart.InputAxis = german ? "[Fotowiderstand]" : "[Photo resistor]";
    state_.Chart.ValueAxis = german ? "[Helligkeit]" : "[Brightness]";
    TLampFormTexts& t = state_.Texts;
    t.LampLabels = german ? std::array<std::string, 3>{"Rot", "Gelb", "Grün"}
                          : std::array<std::string, 3>{"Red", "Yellow", "Green"};
    t.DefaultLabel = german ? "Kennlinie\ndownloaden" : "Download\nCurve";
    t.AdjustGroup = german ? " Schaltpunkte " : " Switching levels ";
    t.GaugeCaption = german ? "U/min" : "rpm";
    t.GaugeTip = german ? "Drehzahl 0 .. 10000 U/min; die Marken sind die Schaltpunkte, in der "
                          "Farbe der Lampe, solange sie leuchtet"
                        : "Engine speed 0 .. 10000 rpm; the marks are the switching levels, in "
                          "the lamp's colour while it is lit";
    SetTips(lang);
    NotifyChanged();
}

void TLampForm::SetTips(Language lang) {
    const bool german = lang == Language::German;
    TLampFormTexts& t = state_.Texts;
    TValueTip tip{"", kRpmStepUnit.Pick(lang),
                  RangeText(RpmOfByte(kThresholdMin), RpmOfByte(kThresholdMax)), kPageStep};
    tip.OwnKeys = host_.ConfiguredStepKeys();
    for (std::size_t i = 0; i < 3; ++i) {
        tip.What = (german ? "Schaltdrehzahl Lampe " : "Switching speed of the lamp ") +
                   t.LampLabels[i];
        t.ThresholdTips[i] = ValueTipText(tip, lang);
    }
    // The chart shows the brightness in percent, so the tip does: one count is 100 / 255 %.
    tip.What = german ? "Helligkeit der Lampen am Kurvenpunkt (über dem Fotowiderstand)"
                      : "Lamp brightness at the curve point (over the photo resistor)";
    tip.Unit = german ? "% Helligkeit" : "% brightness";
    tip.Range = RangeText(0, 100);
    ShowStepsScaled(tip, 100.0 / kPointMax, 2);
    t.CurveTip = ValueTipText(tip, lang);
}

void TLampForm::Highlight() {
    for (int i = 0; i < 3; ++i)
        state_.PanelHighlighted[static_cast<std::size_t>(i)] =
            panelsShown_ && state_.Selected == i + 1;
}

void TLampForm::HandleKey(std::uint8_t key) {
    key = host_.TranslateStepKey(key);
    switch (key) {
        case vk::Tab:
            state_.Selected = (state_.Selected + 1) % ItemCount();
            panelsShown_ = true;
            cursorShown_ = true;
            Highlight();
            NotifyChanged();
            return;
        case vk::Esc:
            panelsShown_ = false;
            cursorShown_ = false;
            Highlight();
            NotifyChanged();
            host_.ShowPageSelection();
            return;
        case vk::Left:
        case vk::Right:
            if (state_.Selected == 0) {
                state_.Chart.Cursor =
                    std::clamp(state_.Chart.Cursor + (key == vk::Left ? -1 : 1), 0, 15);
                NotifyChanged();
            }
            return;
        default:
            break;
    }
    const int delta = StepOfKey(key) != 0 ? StepOfKey(key) : PageStepOfKey(key, kPageStep);
    if (delta == 0 || host_.PauseTimerActive())
        return;
    if (state_.Selected == 0)
        StepPoint(delta);
    else
        StepThreshold(state_.Selected, delta);
}

void TLampForm::StepThreshold(int item, int delta) {
    const std::size_t offset = kThresholdOffsets[static_cast<std::size_t>(item - 1)];
    const int old = host_.Data().DeviceData.Image[offset];
    const int value = std::clamp(old + delta, kThresholdMin, kThresholdMax);
    TEditStep step(host_.History(),
                   ValueStep(kThresholdNames[static_cast<std::size_t>(item - 1)], old, value));
    if (!WriteMainByte(host_, offset, value, true))
        return;
    ShowThresholds();
    NotifyChanged();
}

void TLampForm::StepPoint(int delta) {
    const std::size_t offset =
        img::FotoControl + 15 - static_cast<std::size_t>(state_.Chart.Cursor);
    const int old = host_.Data().DeviceData.Image[offset];
    const int value = std::clamp(old + delta, 0, kPointMax);
    TEditStep step(host_.History(),
                   CurvePointStep(img::FotoControl, state_.Chart.Cursor, old, value));
    if (WriteMainByte(host_, offset, value))
        NotifyChanged();
}

void TLampForm::ValuePanelClick(int item) {
    if (item < 1 || item >= ItemCount())
        return;
    state_.Selected = item;
    panelsShown_ = true;
    Highlight();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TLampForm::PointClick(int point) {
    if (point < 0 || point > 15)
        return;
    state_.Selected = 0;
    state_.Chart.Cursor = point;
    cursorShown_ = true;
    Highlight();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TLampForm::ShowLiveFrame(const TLiveRecord& record) {
    if (record.Layout == TLiveLayout::Live11 || record.Bytes.size() <= kLiveFoto)
        return;
    state_.RotGauge = record.Bytes[kLiveRpm];
    state_.Chart.Marker = record.Bytes[kLiveFoto];
    const std::uint8_t status = record.Bytes[0];
    for (std::size_t i = 0; i < 3; ++i)
        state_.LampColours[i] = TZVDataClass::TestBit(status, kLampBits[i]) ? kLit[i] : kDark[i];
    NotifyChanged();
}

void TLampForm::FotoDownloadButtonClick() {
    if (state_.DownloadVisible && host_.Controls().ShiftLampDefaultEnabled)
        host_.StartDownload(TSequence::FotoCurveDownload);
}

const TLampFormState& TLampForm::State() {
    const TMainControls& controls = host_.Controls();
    state_.Chart.Points = host_.Data().DeviceData.Image.data() + img::FotoControl;
    state_.Chart.CursorVisible = cursorShown_ && state_.Selected == 0;
    state_.Chart.MarkerVisible = controls.CurveChartsLiveCursor;
    state_.DownloadEnabled = controls.ShiftLampDefaultEnabled;
    return state_;
}

}  // namespace zv
