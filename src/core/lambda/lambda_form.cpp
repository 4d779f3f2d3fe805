#include "lambda/lambda_form.h"

#include <algorithm>
#include <span>
#include <utility>

#include "data/firmware_table.h"
#include "data/flag_bits.h"
#include "history/step_names.h"
#include "pages/page_host.h"
#include "pages/step_keys.h"
#include "pages/value_tip.h"
#include "text/point_format.h"

namespace zv {

namespace {

// A controller parameter: its place (also the unit's address) and the range the keys keep.
struct TLambdaParam {
    std::size_t Offset;
    int Min, Max;
};
constexpr std::array<TLambdaParam, kLambdaFieldCount> kParams = {{
    {9, 0, 51},      // LambdaRef, as reference voltage; the trim form below
    {10, 1, 20},     // LambdaJump
    {11, 1, 200},    // LambdaInt
    {12, 5, 100},    // LambdaIntLim
    {14, 19, 64},    // LambdaRpmSetIn
    {13, 100, 255},  // LambdaTpsLim
    {15, 1, 255},    // LambdaStartup
}};
// The parameters as the Edit menu names their steps.
constexpr std::array<TextPair, kLambdaFieldCount> kStepNames = {{
    {"Lambda-Referenz", "lambda reference"},
    {"Lambda-Sprung", "lambda jump"},
    {"Lambda-Integrator", "lambda integrator"},
    {"Integratorgrenze", "integrator limit"},
    {"Einsatzdrehzahl", "engaging speed"},
    {"Drosselklappengrenze", "throttle limit"},
    {"Startverzögerung", "startup delay"},
}};
constexpr int kTrimMin = -10, kTrimMax = 10, kTrimPageStep = 5, kPageStep = 10;
constexpr std::size_t kRpmField = 4;
constexpr std::size_t kTpsLimField = 5;

constexpr int kFirstFirmware = 11;
constexpr int kFirstStartupFirmware = 18;
constexpr int kFirstNewLampFirmware = 19;

// Live record bytes.
constexpr std::size_t kLamps = 0, kThrottle = 2, kController = 14, kState = 15;
enum : int { kOverrun = 0, kLimit = 1, kStartup = 2, kError = 3, kStartup1 = 5, kTest1, kTest2 };

constexpr int kLampPage = 9;
constexpr int kGaugeMax = 51;

constexpr std::uint32_t kRed = 0xFF0000, kMaroon = 0x800000, kYellow = 0xFFFF00, kOlive = 0x808000,
                        kLime = 0x00FF00, kGreen = 0x008000, kGray = 0x808080, kFuchsia = 0xFF00FF;
enum : std::size_t { kVeryRichShape, kRichShape, kGoodShape, kLeanShape, kVeryLeanShape };
enum : std::size_t { kRichLabel, kGoodLabel, kLeanLabel };

std::string Volts(int value) {
    return FormatPoint("%1.2f", value / 51.0);
}

bool HasStateBytes(const TLiveRecord& record) {
    return record.Layout != TLiveLayout::Live11 && record.Bytes.size() > kState;
}

}  // namespace

TLambdaForm::TLambdaForm(TPageHost& host) : host_(host) {
    SetLanguage(host_.CurrentLanguage());
    HighlightSelection();
}

bool TLambdaForm::TrimForm() const {
    return host_.Data().DeviceData.Firmware >= kFirstTrimFirmware;
}

void TLambdaForm::LoadFromImage() {
    // Without a narrowband input the main window hides the controller's button (its link
    // controls follow the flags word); the panels keep what they showed.
    const TZVDataSet& set = host_.Data().DeviceData;
    if (flag::HasNarrowbandInput(set.FlagsWord()) && set.Firmware >= kFirstFirmware) {
        ShowValues();
        state_.RefMarkerPlaced = true;
    }
    SetLanguage(host_.CurrentLanguage());
    NotifyChanged();
}

void TLambdaForm::ShowValues() {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    const std::uint8_t ref = image[kParams[0].Offset];
    state_.Values[0] = TrimForm() ? std::to_string(static_cast<std::int8_t>(ref)) : Volts(ref);
    for (std::size_t i = 1; i < kParams.size(); ++i)
        state_.Values[i] = std::to_string(image[kParams[i].Offset]);
    state_.Values[kRpmField] = std::to_string(RpmOfByte(image[kParams[kRpmField].Offset]));
}

void TLambdaForm::RefreshPage() {
    SetLanguage(host_.CurrentLanguage());
    NotifyChanged();
}

void TLambdaForm::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    HighlightSelection();
    host_.FocusKeyControl();
    const int firmware = host_.Data().DeviceData.Firmware;
    if (firmware >= kFirstTrimFirmware)
        state_.RefMarkerPlaced = true;
    state_.StartupPanelsVisible = firmware >= kFirstStartupFirmware;
    NotifyChanged();
}

void TLambdaForm::SetTips(Language lang) {
    TLambdaFormTexts& t = state_.Texts;
    for (std::size_t i = 0; i < kParams.size(); ++i) {
        TValueTip tip{t.FieldCaptions[i], kCountsUnit.Pick(lang),
                      RangeText(kParams[i].Min, kParams[i].Max), kPageStep};
        tip.OwnKeys = host_.ConfiguredStepKeys();
        tip.OwnKeysAct = false;  // this page takes only the fixed step keys
        if (i == 0 && TrimForm()) {
            tip.Range = RangeText(kTrimMin, kTrimMax);
            tip.PageStep = kTrimPageStep;
        } else if (i == 0) {
            tip.Unit = kVoltCountsUnit.Pick(lang);
            tip.Range = Volts(kParams[i].Min) + " .. " + Volts(kParams[i].Max);
        } else if (i == kRpmField) {
            tip.Unit = kRpmStepUnit.Pick(lang);
            tip.Range = RangeText(RpmOfByte(kParams[i].Min), RpmOfByte(kParams[i].Max));
        } else if (i == kTpsLimField) {
            tip.Unit = kRawThrottleUnit.Pick(lang);
        }
        t.Tips[i] = ValueTipText(tip, lang);
    }
    // The unit's own hint of the fall-back speed leads its text.
    t.Tips[kRpmField] = HintedTip(t.RpmSetInHint, t.Tips[kRpmField]);
}

// The shapes are named high, ok and low; which lamp output drives each changed with firmware 19.
void TLambdaForm::SetLampTexts(Language lang) {
    const bool g = lang == Language::German;
    TLambdaFormTexts& t = state_.Texts;
    t.LampCaptions = {g ? "Hoch" : "High", "OK", g ? "Tief" : "Low"};
    // The colour each shape lights in (high, ok, low): the unit's lamp output that drives it.
    const std::array<TextPair, 3> outputs =
        host_.Data().DeviceData.Firmware >= kFirstNewLampFirmware
            ? std::array<TextPair, 3>{{{"grünen", "green"}, {"gelben", "yellow"}, {"roten", "red"}}}
            : std::array<TextPair, 3>{{{"roten", "red"}, {"grünen", "green"}, {"gelben", "yellow"}}};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string output = outputs[i].Pick(lang);
        t.LampTips[i] = g ? "Lambdaanzeige \"" + t.LampCaptions[i] + "\": leuchtet mit dem " +
                                output + " Lampenausgang des Geräts"
                          : "Lambda indicator \"" + t.LampCaptions[i] + "\": lit with the unit's " +
                                output + " lamp output";
    }
}

void TLambdaForm::SetLanguage(Language lang) {
    const bool g = lang == Language::German;
    TLambdaFormTexts& t = state_.Texts;
    t.FieldCaptions = {
        TrimForm() ? (g ? "Lambdawert trimmen" : "Trim Lambda value")
                   : (g ? "Lambda Referenzspannung [V]" : "Narrow band O2 reference voltage [V]"),
        g ? "Regler Sprungwert" : "Controller jump value",
        g ? "Regler Integrationswert" : "Controller integrator value",
        g ? "Regler Integrationslimit (+/-)" : "Controller integrator limit (+/-)",
        g ? "Wiedereinsetzdrehzahl" : "Fall back rpm",
        g ? "Reglergrenze Last" : "Controller TPS load limit",
        g ? "Anlauf Zähler" : "Startup counter",
    };
    t.RpmSetInHint = g ? "Wiedereinsetzdrehzahl nach Schiebebetrieb"
                       : "Set in revolution on exit of push motion";
    t.ParamGroup = g ? " Lambdaregler Parameter " : " Closed loop lambda parmeters ";
    t.TendencyGroup = g ? " Tendenz " : " Tendency ";
    t.ProbeGroup = g ? " Sonde " : " Probe ";
    t.LeanLabel = g ? "Mager" : "Lean";
    t.GoodLabel = g ? "Gut" : "Good";
    t.RichLabel = g ? "Fett" : "Rich";
    t.ControlOffBy = g ? "Regelung aus wegen:" : "Control off by:";
    t.ControlError = g ? "Regelfehler" : "Control error";
    t.LimitOverrun = g ? "Limitüberschreit." : "Limit overrun";
    t.Startup = g ? "Anlauf" : "Startup";
    t.ShiftMode = g ? "Schiebebetrieb" : "Shift mode";
    t.Control = g ? "Regelung" : "Control";
    t.Active = g ? "Aktiv" : "active";
    t.Legend = g ? "Legende:" : "Legend:";
    t.LegendProbe = g ? "Sonde" : "Probe";
    t.LegendController = g ? "Regler" : "Controller";
    t.LampGroup = PageName(kLampPage, lang);
    SetLampTexts(lang);
    SetTips(lang);
    t.ThrottleLabel = g ? "Drosselklappe (roh)" : "Throttle (raw)";
    t.StartupIndicator = g ? "Anlaufanzeige" : "Startup indicator";
    t.TestIndicator1 = g ? "Testanzeige 1" : "Test indicator 1";
    t.TestIndicator2 = g ? "Testanzeige 2" : "Test indicator 2";
    NotifyChanged();
}

void TLambdaForm::HighlightSelection() {
    for (int i = 0; i < kLambdaFieldCount; ++i)
        state_.PanelWhite[static_cast<std::size_t>(i)] = i == state_.Selected;
}

void TLambdaForm::PanelClick(int field) {
    if (field < 0 || field >= kLambdaFieldCount)
        return;
    state_.Selected = field;
    HighlightSelection();
    NotifyChanged();
}

// Only the fixed step keys act here; the operator's own step keys are left to other pages.
void TLambdaForm::HandleKey(std::uint8_t key) {
    if (key == vk::Tab) {
        state_.Selected = (state_.Selected + 1) % kLambdaFieldCount;
        HighlightSelection();
        NotifyChanged();
        return;
    }
    if (key == vk::Esc) {
        for (std::size_t i : {0u, 1u, 2u, 3u, 5u})
            state_.PanelWhite[i] = false;
        NotifyChanged();
        host_.ShowPageSelection();
        return;
    }
    const bool trim = state_.Selected == 0 && TrimForm();
    int step = PageStepOfKey(key, trim ? kTrimPageStep : kPageStep);
    if (step == 0)
        step = StepOfKey(key);
    if (step == 0 || host_.PauseTimerActive())
        return;
    ChangeParameter(step);
}

void TLambdaForm::ChangeParameter(int step) {
    const TLambdaParam& param = kParams[static_cast<std::size_t>(state_.Selected)];
    const int old = host_.Data().DeviceData.Image[param.Offset];
    int value = std::clamp(old + step, param.Min, param.Max);
    if (state_.Selected == 0 && TrimForm()) {
        // The trim is a signed byte; the sum stays in 8 bits as the unit adds it.
        const auto sum = static_cast<std::int8_t>(static_cast<std::int8_t>(old) + step);
        value = static_cast<std::uint8_t>(std::clamp<int>(sum, kTrimMin, kTrimMax));
    }
    const bool trim = state_.Selected == 0 && TrimForm();
    auto shown = [trim](int byte) { return trim ? static_cast<std::int8_t>(byte) : byte; };
    TEditStep edit(host_.History(), ValueStep(kStepNames[static_cast<std::size_t>(state_.Selected)],
                                              shown(old), shown(value)));
    if (!WriteMainByte(host_, param.Offset, value, true))
        return;
    ShowValues();
    if (state_.Selected == 0) {
        ClearPlot();
        state_.RefMarkerPlaced = true;
    }
    NotifyChanged();
}

void TLambdaForm::ClearPlot() {
    column_ = 0;
    clearPending_ = true;
}

void TLambdaForm::ShowLiveFrame(const TLiveRecord& record) {
    if (!HasStateBytes(record))
        return;
    const std::span<const std::uint8_t> b = record.Bytes;
    const std::uint8_t lamps = b[kLamps];
    auto lamp = [lamps](int bit, std::uint32_t on, std::uint32_t off) {
        return TZVDataClass::TestBit(lamps, bit) ? on : off;
    };
    if (host_.Data().DeviceData.Firmware >= kFirstNewLampFirmware)
        state_.Lamps = {lamp(3, kLime, kGreen), lamp(4, kYellow, kOlive), lamp(5, kRed, kMaroon)};
    else
        state_.Lamps = {lamp(5, kRed, kMaroon), lamp(4, kLime, kGreen), lamp(3, kYellow, kOlive)};
    const int q = NarrowbandInputByte(record, host_.Data());
    state_.SensorGauge = std::min(q, kGaugeMax);
    state_.SensorVoltage = Volts(q);
    ShowControllerState(record);
    state_.Throttle = std::to_string(b[kThrottle]);
    ShowTendency(q);
    NotifyChanged();
}

void TLambdaForm::ShowControllerState(const TLiveRecord& record) {
    const std::uint8_t s = record.Bytes[kState];
    auto bit = [s](int n) { return TZVDataClass::TestBit(s, n); };
    const bool control =
        TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(), flag::NarrowBandLambdaControl);
    TLambdaLeds& leds = state_.Leds;
    leds.LimOff = bit(kLimit);
    leds.Startup = bit(kStartup);
    leds.ShiftMode = bit(kOverrun);
    leds.Error = bit(kError);
    leds.Startup1 = bit(kStartup1);
    leds.Test1 = bit(kTest1);
    leds.Test2 = bit(kTest2);
    leds.Active = control && (s & 0x0F) == 0;
    const bool g = host_.CurrentLanguage() == Language::German;
    if (control) {
        state_.StartupLabel = g ? "Anlauf" : "Startup";
        state_.StartupCount = bit(kStartup) ? std::to_string(record.Bytes[kController]) : "END";
    } else {
        state_.StartupLabel = g ? "Inaktiv" : "Disabled";
        state_.StartupCount = "---";
    }
}

// The thresholds are tested in this order; 0.45 V (23) sits inside the good band.
void TLambdaForm::ShowTendency(int q) {
    state_.TendencyShapes = {kMaroon, kMaroon, kGreen, kMaroon, kMaroon};
    state_.TendencyLabels = {kGray, kGray, kGray};
    auto show = [this](TTendency t, std::uint32_t colour, std::size_t shape, std::uint32_t lit,
                       std::size_t label) {
        state_.Tendency = t;
        state_.SensorGaugeColour = colour;
        state_.TendencyShapes[shape] = lit;
        state_.TendencyLabels[label] = colour;
    };
    if (q <= 2)
        show(TTendency::VeryLean, kRed, kVeryLeanShape, kRed, kLeanLabel);
    else if (q <= 9)
        show(TTendency::Lean, kRed, kLeanShape, kRed, kLeanLabel);
    else if (q >= 40)
        show(TTendency::VeryRich, kYellow, kVeryRichShape, kRed, kRichLabel);
    else if (q <= 32)
        show(TTendency::Good, kLime, kGoodShape, kLime, kGoodLabel);
    else
        show(TTendency::Rich, kYellow, kRichShape, kRed, kRichLabel);
}

TTraceDraw TLambdaForm::Timer1Tick(int width, int height) {
    TTraceDraw draw;
    if (!host_.RunOnline())
        return draw;
    if (++column_ >= width)
        ClearPlot();
    draw.Clear = std::exchange(clearPending_, false);
    const TLiveRecord record = CurrentLiveRecord(host_.Data());
    if (!HasStateBytes(record))
        return draw;
    const int q = NarrowbandInputByte(record, host_.Data());
    const bool startup = TZVDataClass::TestBit(record.Bytes[kState], kStartup);
    const int controller = startup ? 25 : (255 - record.Bytes[kController]) / 5;
    auto segment = [&](std::uint8_t& previous, int v, std::uint32_t colour) {
        draw.Lines.push_back(
            {column_, TraceY(previous, height), column_ + 1, TraceY(v, height), colour});
        previous = static_cast<std::uint8_t>(v);
    };
    segment(previousSensor_, kGaugeMax - std::min(q, kGaugeMax), kLime);
    segment(previousController_, controller, startup ? kYellow : kFuchsia);
    return draw;
}

}  // namespace zv
