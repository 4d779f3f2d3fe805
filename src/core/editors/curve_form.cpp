#include "editors/curve_form.h"

#include <algorithm>
#include <array>

#include "data/flag_bits.h"
#include "history/step_names.h"
#include "pages/page_host.h"
#include "pages/step_keys.h"
#include "pages/value_tip.h"

namespace zv {

namespace {

constexpr int kPageStep = 15;
constexpr int kMultMax = kFactorMax;
constexpr int kByteMax = 255;
// Below this firmware the unit knows only the multiplicative curves.
constexpr int kMultAddFirmware = 15;

const TextPair kIdleWhat = {"Leerlaufsteller-Kompensation am Kurvenpunkt",
                            "Idle valve compensation at the curve point"};

}  // namespace

const TCurveMember kTempCurve = {
    img::TempControl,
    TCurveValues::ByMode,
    flag::TempAddMultSel,
    {"[Eingang Pin F (Temperatursensor)]", "[Input pin F (Temp Sensor)]"},
    {"", ""},
    5,
    6,
    TSequence::TempCurveDownload,
    {"Temperaturkennlinie downloaden", "Download temperature curve data only"},
    true,
    false,
    true,
    false,
    {"Temperaturkorrektur am Kurvenpunkt (Eingang Pin F)",
     "Temperature correction at the curve point (input pin F)"},
};

const TCurveMember kGPCurve = {
    img::GeneralPurposeControl,
    TCurveValues::ByMode,
    flag::GpAddMultSel,
    {"[Eingang Pin E (Allgemein)]", "[Input pin E (general purpose)]"},
    {"", ""},
    7,
    8,
    TSequence::GpCurveDownload,
    {"Kennlinie Analogeingang E downloaden", "Download compensation line data analog input E only"},
    true,
    false,
    true,
    false,
    {"Korrektur über Eingang Pin E am Kurvenpunkt",
     "Correction over input pin E at the curve point"},
};

const TCurveMember kIdleCurve = {
    img::IdleControl,
    TCurveValues::Idle,
    -1,
    {"[Leerlaufsteller Pos.]", "[Idle Valve Opening Position]"},
    {"[Kompensationswert]", "[Compensation Value]"},
    3,
    4,
    TSequence::IdleCurveDownload,
    {"Leerlaufstellerkennlinie downloaden", "Download compensation curve data only"},
    true,
    true,
    true,
    true,
    kIdleWhat,
};

const TCurveMember kIdleOldCurve = {
    img::IdleControl,
    TCurveValues::Idle,
    -1,
    {"[Leerlaufsteller Pos.]", "[Idle Valve Position]"},
    {"[Wert]", "[Value]"},
    std::nullopt,
    std::nullopt,
    std::nullopt,
    {"", ""},
    false,
    false,
    false,
    true,
    kIdleWhat,
};

TCurveForm::TCurveForm(TPageHost& host, const TCurveMember& member) : host_(host), member_(member) {
    state_.DownloadVisible = member_.Download.has_value();
    state_.ValuePanelsVisible = member_.ShowsCursorValue;
    SetLanguage(host_.CurrentLanguage());
}

bool TCurveForm::Additive() const {
    return member_.Values == TCurveValues::ByMode &&
           TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(), member_.ModeBit);
}

int TCurveForm::MaxValue() const {
    return member_.Values == TCurveValues::ByMode && !Additive() ? kMultMax : kByteMax;
}

// A data set opened while the page is on view brings its own firmware and mode bit.
void TCurveForm::LoadFromImage() {
    state_.Chart.Points = host_.Data().DeviceData.Image.data() + member_.Base;
    SetLanguage(host_.CurrentLanguage());
    ShowModeButton();
    ShowCursorValue();
    NotifyChanged();
}

void TCurveForm::ShowModeButton() {
    if (member_.Values != TCurveValues::ByMode)
        return;
    state_.MultAddVisible = host_.Data().DeviceData.Firmware >= kMultAddFirmware;
    state_.MultAddDown = Additive();
}

void TCurveForm::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    ShowModeButton();
    cursorShown_ = true;
    ShowCursorValue();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TCurveForm::RefreshPage() {
    SetLanguage(host_.CurrentLanguage());
}

void TCurveForm::SetLanguage(Language lang) {
    TCurveChartState& c = state_.Chart;
    TCurveFormTexts& t = state_.Texts;
    const bool german = lang == Language::German;
    c.InputAxis = member_.InputAxis.Pick(lang);
    if (member_.Values == TCurveValues::Idle) {
        c.ValueAxis = member_.ValueAxis.Pick(lang);
        c.ValueUnit = member_.ShowsCursorValue ? "[%]" : "";
        c.ValueMin = -100.0;
        c.ValueMax = 100.0;
        c.ValueDecimals = 0;
    } else if (Additive()) {
        c.ValueAxis = german ? "[Add. Wert]" : "[Add Value]";
        c.ValueUnit = "[%]";
        c.ValueMin = 0.0;
        c.ValueMax = 100.0;
        c.ValueDecimals = 0;
    } else {
        c.ValueAxis = german ? "[Faktor]" : "[Factor]";
        c.ValueUnit = "[F]";
        c.ValueMin = 1.0;
        c.ValueMax = 4.0;
        c.ValueDecimals = 1;
    }
    c.MaxValue = MaxValue();
    t.ManValueLabel = german ? "Feld" : "Site value";
    t.AutoValueLabel = german ? "Ausgang" : "Output";
    t.DownloadButton = "Curve";
    t.DownloadHint = member_.DownloadHint.Pick(lang);
    t.MultAddButton = Additive() ? "ADD(+)" : "MULT(*)";
    SetTip(lang);
    NotifyChanged();
}

// The keys step the byte; the tip gives range and steps in the scale the chart and the value
// panel show for the current mode.
void TCurveForm::SetTip(Language lang) {
    const bool german = lang == Language::German;
    TValueTip tip{member_.PointWhat.Pick(lang), "", "", member_.AllValueKeys ? kPageStep : 0};
    if (member_.Values == TCurveValues::Idle) {
        tip.Unit = german ? "% Kompensation" : "% compensation";
        tip.Range = CompensationText(0) + " .. " + CompensationText(kByteMax);
        ShowStepsScaled(tip, 200.0 / kByteMax, 2);
    } else if (Additive()) {
        tip.Unit = german ? "% (additiv)" : "% (additive)";
        tip.Range = AddedPercentText(0) + " .. " + AddedPercentText(kByteMax);
        ShowStepsScaled(tip, 100.0 / kByteMax, 2);
    } else {
        tip.Unit = german ? "Faktor" : "factor";
        tip.Range = FactorText(0) + " .. " + FactorText(kMultMax);
        ShowStepsScaled(tip, 3.0 / kMultMax, 3);
    }
    tip.OwnKeys = host_.ConfiguredStepKeys();
    tip.OwnKeysAct = member_.TranslateStepKeys;
    state_.Texts.PointTip = ValueTipText(tip, lang);
}

void TCurveForm::HandleKey(std::uint8_t key) {
    if (member_.TranslateStepKeys)
        key = host_.TranslateStepKey(key);
    switch (key) {
        case vk::Esc:
            cursorShown_ = false;
            NotifyChanged();
            host_.ShowPageSelection();
            return;
        case vk::Left:
        case vk::Right:
            state_.Chart.Cursor =
                std::clamp(state_.Chart.Cursor + (key == vk::Left ? -1 : 1), 0, 15);
            ShowCursorValue();
            NotifyChanged();
            return;
        default:
            break;
    }
    int delta = StepOfKey(key);
    if (member_.AllValueKeys) {
        if (delta == 0)
            delta = PageStepOfKey(key, kPageStep);
    } else if (key != vk::Up && key != vk::NumPlus && key != vk::OemPlus && key != vk::Down &&
               key != vk::NumMinus && key != vk::OemMinus) {
        delta = 0;
    }
    if (delta != 0)
        StepPoint(delta);
}

// Page Up above the maximum (bytes read in multiplicative mode after a switch) sets the
// maximum; single steps only move bytes that are inside the range.
void TCurveForm::StepPoint(int delta) {
    const int p = state_.Chart.Cursor;
    const std::size_t offset = member_.Base + 15 - static_cast<std::size_t>(p);
    const int b = host_.Data().DeviceData.Image[offset];
    const int max = MaxValue();
    int value = b;
    if (delta == kPageStep)
        value = std::min(b + delta, max);
    else if (delta == -kPageStep)
        value = std::max(b + delta, 0);
    else if ((delta > 0 && b < max) || (delta < 0 && b > 0))
        value = b + delta;
    TEditStep step(host_.History(), CurvePointStep(member_.Base, p, b, value));
    if (!WriteMainByte(host_, offset, value))
        return;
    ShowCursorValue();
    NotifyChanged();
}

void TCurveForm::ShowCursorValue() {
    const int b =
        host_.Data()
            .DeviceData.Image[member_.Base + 15 - static_cast<std::size_t>(state_.Chart.Cursor)];
    if (!member_.ShowsCursorValue)
        state_.ManValue.clear();
    else if (member_.Values == TCurveValues::Idle)
        state_.ManValue = CompensationText(b);
    else
        state_.ManValue = Additive() ? AddedPercentText(b) : FactorText(b);
}

std::optional<TClipPlace> TCurveForm::ClipPlace() const {
    return TClipPlace{TClipPlace::TItem::Curve, member_.Base, 0, state_.Chart.Cursor, {}};
}

void TCurveForm::PointClick(int point) {
    if (point < 0 || point > 15)
        return;
    state_.Chart.Cursor = point;
    ShowCursorValue();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TCurveForm::ShowLiveFrame(const TLiveRecord& record) {
    if (record.Layout == TLiveLayout::Live11 || !member_.LiveInput || !member_.LiveOutput ||
        record.Bytes.size() <= *member_.LiveOutput)
        return;
    state_.Chart.Marker = record.Bytes[*member_.LiveInput];
    const int out = record.Bytes[*member_.LiveOutput];
    state_.AutoValue =
        member_.Values == TCurveValues::Idle ? CompensationText(out) : FactorText(out);
    NotifyChanged();
}

// The mode bit says how the unit reads the bytes; they stay as stored.
void TCurveForm::MultAddButtonClick(bool fromButton) {
    (void)fromButton;
    if (member_.Values != TCurveValues::ByMode || !state_.MultAddVisible)
        return;
    {
        TEditStep step(host_.History(),
                       NameStep(CurveName(member_.Base),
                                Additive() ? stepname::MultiplyingMode : stepname::AdditiveMode));
        ToggleMainFlag(host_, member_.ModeBit);
    }
    state_.MultAddDown = Additive();
    SetLanguage(host_.CurrentLanguage());
    ShowCursorValue();
    NotifyChanged();
}

void TCurveForm::DownloadButtonClick() {
    if (member_.Download && host_.Controls().TransferButtonsEnabled)
        host_.StartDownload(*member_.Download);
}

// The idle charts' edit cursor follows the link as the map's does: connecting hides it, a
// cancelled link shows it again; Esc and the page selection switch it in between.
void TCurveForm::SyncLinkControls() {
    const TMainControls& controls = host_.Controls();
    if (member_.IdleCursors && controls.IdleChartsManualCursor != lastManualCursor_) {
        lastManualCursor_ = controls.IdleChartsManualCursor;
        cursorShown_ = controls.IdleChartsManualCursor;
    }
    state_.Chart.CursorVisible = cursorShown_;
    state_.Chart.MarkerVisible =
        member_.LiveInput.has_value() &&
        (member_.IdleCursors ? controls.IdleChartsLiveCursor : controls.CurveChartsLiveCursor);
    state_.DownloadEnabled = controls.TransferButtonsEnabled;
}

const TCurveFormState& TCurveForm::State() {
    SyncLinkControls();
    state_.Chart.Points = host_.Data().DeviceData.Image.data() + member_.Base;
    return state_;
}

}  // namespace zv
