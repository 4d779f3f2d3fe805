#include "editors/map_form.h"

#include <algorithm>

#include "config/key_control.h"
#include "data/flag_bits.h"
#include "history/step_names.h"
#include "pages/page_host.h"
#include "pages/value_tip.h"

namespace zv {

namespace {

constexpr const char* kSection = "PageFuelMap";
constexpr int kPageStep = 15;
constexpr int kLambdaInputMax = 51;

// Record bytes the page reads, by layout.
struct TLiveBytes {
    std::size_t Throttle, Rpm, MapValue;
};
constexpr TLiveBytes kLive11Bytes = {1, 0, 4};
constexpr TLiveBytes kLiveBytes = {2, 1, 10};
constexpr std::size_t kInputF = 5;
constexpr std::size_t kInputE = 7;

// Windows colour values (0x00BBGGRR) and ours (0xRRGGBB) swap red and blue.
std::uint32_t SwapRedBlue(std::uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

struct TColourSetting {
    const char* Key;
    std::uint32_t TMapChartColours::*Field;
};
constexpr TColourSetting kColourSettings[] = {
    {"BackGroundColor", &TMapChartColours::Background},
    {"MapLinesColor", &TMapChartColours::MapLines},
    {"FrameLinesColor", &TMapChartColours::FrameLines},
    {"XScale", &TMapChartColours::XScale},
    {"XHighLightScale", &TMapChartColours::XHighLightScale},
    {"ZScale", &TMapChartColours::ZScale},
    {"ZHighLightScale", &TMapChartColours::ZHighLightScale},
};

const TColourSetting& SettingOf(TChartColour which) {
    switch (which) {
        case TChartColour::Background:
            return kColourSettings[0];
        case TChartColour::MapLines:
            return kColourSettings[1];
        case TChartColour::Frame:
            break;
    }
    return kColourSettings[2];
}

std::array<int, 16> Labels(const TSites& sites, int scaleMax) {
    std::array<int, 16> labels{};
    for (std::size_t i = 0; i < 16; ++i)
        labels[i] = SiteLabel(sites[i], scaleMax);
    return labels;
}

}  // namespace

TMapForm::TMapForm(TPageHost& host)
    : host_(host), revAdjust_(host), block_(host, TCellMapKind::Fuel) {
    ReadSettings();
    revAdjust_.SitesChanged = [this](bool) {
        LoadAxes();
        ShowCursorValue();  // the cells may have followed the site
        NotifyChanged();
    };
    SetLanguage(host_.CurrentLanguage());
}

// A missing setting is written with its default; a smoothing level outside 0..5 is put back
// into range and written, since the readout divides by level + 1.
void TMapForm::ReadSettings() {
    TSettings& s = host_.Settings();
    state_.ViewMode = s.s_ReadString(kSection, "ViewMode", "MapOnly") == "MapO2"
                          ? TMapViewMode::MapO2
                          : TMapViewMode::MapOnly;
    int level = s.i_ReadInteger(kSection, "WBODebounceLevel", kMaxDebounceLevel);
    if (level < 0 || level > kMaxDebounceLevel) {
        level = std::clamp(level, 0, kMaxDebounceLevel);
        s.v_WriteInteger(kSection, "WBODebounceLevel", level);
    }
    host_.SetWBODebounceLevel(level);
    TMapChartColours& colours = state_.Chart.Colours;
    for (const auto& [key, field] : kColourSettings) {
        const auto stored =
            s.i_ReadInteger(kSection, key, static_cast<int>(SwapRedBlue(colours.*field)));
        colours.*field = SwapRedBlue(static_cast<std::uint32_t>(stored) & 0xFFFFFF);
    }
    state_.TableShown = s.f_ReadBool(kSection, "MapTable", true);
}

void TMapForm::LoadFromImage() {
    LoadAxes();
    state_.Debounce = TDebounceDisplay::Of(host_.WBODebounceLevel());
    ShowCursorValue();
    revAdjust_.LoadFromImage();
    NotifyChanged();
}

void TMapForm::LoadAxes() {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    throttleSites_ = DisplayedSites(SitesAt(image, img::TpsSites));
    rpmSites_ = DisplayedSites(SitesAt(image, img::RpmSites));
    state_.Chart.ThrottleSites = throttleSites_;
    state_.Chart.RpmSites = rpmSites_;
    state_.Chart.ThrottleLabels = Labels(throttleSites_, kThrottleScaleMax);
    state_.Chart.RpmLabels = Labels(rpmSites_, kRpmScaleMax);
}

void TMapForm::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    cursorShown_ = true;
    LoadFromImage();
    host_.FocusKeyControl();
}

void TMapForm::RefreshPage() {
    SetLanguage(host_.CurrentLanguage());
    LoadFromImage();
}

void TMapForm::SetLanguage(Language lang) {
    const bool german = lang == Language::German;
    TMapFormTexts& t = state_.Texts;
    t.RevAdjustButton = german ? "Stützst" : "Sites";
    t.ManFieldValueLabel = german ? "Feld" : "Site value";
    t.AutoFieldValueLabel = german ? "Ausgang" : "Output";
    t.MapDownloadHint = german ? "Dieses Kennfeld downloaden" : "Download map data only";
    t.Debounce = TDebounceTexts::Of(lang);
    t.MenuMapLinesColor = german ? "Kennfeldfarbe" : "Map lines color";
    t.MenuBGColor = german ? "Hintergrundfarbe" : "Bachground color";
    t.MenuFrameColor = german ? "Kennfeldrahmenfarbe" : "Frame color";
    t.ViewButton = "View";
    t.MapDownloadButton = "This Map";
    t.TableButton = german ? "Tabelle" : "Table";
    state_.Chart.RpmUnit = german ? "[U/min]" : "[Rpm]";
    TValueTip tip{german ? "Kennfeldwert der Zelle (über Drosselklappe und Drehzahl)"
                         : "Map value of the cell (over throttle and engine speed)",
                  german ? "Ausgabewert roh" : "raw output value", RangeText(0, 255), kPageStep, false};
    tip.OwnKeys = host_.ConfiguredStepKeys();
    t.CellTip = ValueTipText(tip, lang);
    t.BlockMenu = zv::BlockMenu(lang);
    wideband_.SetAfrMaster(host_.WBO2DispAfrMaster());
    revAdjust_.SetLanguage(lang);
    NotifyChanged();
}

void TMapForm::HandleKey(std::uint8_t key) {
    const std::uint8_t step = host_.TranslateStepKey(key);
    // After Esc the cursor and the block are hidden: a key that would move or change them first
    // brings them back, so that nothing is ever changed where the operator cannot see it.
    if (step != vk::Tab && step != vk::Esc && !cursorShown_ && ActsOnCursor(key)) {
        RevealCursor();
        return;
    }
    switch (step) {
        case vk::Tab:
            if (revAdjust_.Active())
                revAdjust_.HandleKey(vk::Tab);
            else
                RevAdjustButtonClick();
            return;
        case vk::Esc:
            cursorShown_ = false;
            NotifyChanged();
            host_.ShowPageSelection();
            return;
        case vk::PageUp:
            StepCell(kPageStep);
            return;
        case vk::PageDown:
            StepCell(-kPageStep);
            return;
        case vk::Left:
            MoveCursor(0, -1);
            return;
        case vk::Right:
            MoveCursor(0, 1);
            return;
        case vk::Up:
            MoveCursor(1, 0);
            return;
        case vk::Down:
            MoveCursor(-1, 0);
            return;
        case vk::NumPlus:
        case vk::OemPlus:
            StepCell(1);
            return;
        case vk::NumMinus:
        case vk::OemMinus:
            StepCell(-1);
            return;
        default:
            if (const auto op = BlockOpOfKey(key))
                BlockCommand(*op);
            return;
    }
}

// The table shows the highest throttle site in its top row.
std::optional<TClipPlace> TMapForm::ClipPlace() const {
    return TClipPlace{TClipPlace::TItem::FuelMap, 0, 15 - state_.Chart.CursorT,
                      state_.Chart.CursorR, Selection()};
}

void TMapForm::HandleShiftKey(std::uint8_t key) {
    if (!cursorShown_) {
        RevealCursor();
        return;
    }
    switch (key) {
        case vk::Left:
            MoveCursor(0, -1, true);
            return;
        case vk::Right:
            MoveCursor(0, 1, true);
            return;
        case vk::Up:
            MoveCursor(1, 0, true);
            return;
        case vk::Down:
            MoveCursor(-1, 0, true);
            return;
        default:
            HandleKey(key);
            return;
    }
}

void TMapForm::MoveCursor(int dt, int dr, bool extend) {
    TMapChartState& c = state_.Chart;
    c.CursorT = std::clamp(c.CursorT + dt, 0, 15);
    c.CursorR = std::clamp(c.CursorR + dr, 0, 15);
    if (extend)
        block_.Selection().Extend(c.CursorT, c.CursorR);
    else
        block_.Selection().Collapse(c.CursorT, c.CursorR);
    ShowCursorValue();
    NotifyChanged();
}

void TMapForm::CellContextClick(int t, int r) {
    if (!Selection().Contains(t, r))
        CellClick(t, r);
    else
        RevealCursor();
}

bool TMapForm::ActsOnCursor(std::uint8_t key) const {
    switch (host_.TranslateStepKey(key)) {
        case vk::PageUp:
        case vk::PageDown:
        case vk::Left:
        case vk::Right:
        case vk::Up:
        case vk::Down:
        case vk::NumPlus:
        case vk::OemPlus:
        case vk::NumMinus:
        case vk::OemMinus:
            return true;
        default:
            return BlockOpOfKey(key).has_value();
    }
}

void TMapForm::RevealCursor() {
    if (cursorShown_)
        return;
    cursorShown_ = true;
    NotifyChanged();
}

void TMapForm::CellClick(int t, int r) {
    if (t < 0 || t > 15 || r < 0 || r > 15)
        return;
    state_.Chart.CursorT = t;
    state_.Chart.CursorR = r;
    block_.Selection().Collapse(t, r);
    cursorShown_ = true;
    ShowCursorValue();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TMapForm::CellDrag(int anchorT, int anchorR, int t, int r) {
    auto inside = [](int i) { return i >= 0 && i <= 15; };
    if (!inside(anchorT) || !inside(anchorR) || !inside(t) || !inside(r))
        return;
    CellClick(anchorT, anchorR);
    state_.Chart.CursorT = t;
    state_.Chart.CursorR = r;
    block_.Selection().Extend(t, r);
    ShowCursorValue();
    NotifyChanged();
}

// The block menu works on the map as the chart shows its axes, so that an interpolated block
// follows the sites the operator sees.
void TMapForm::BlockCommand(TBlockOp op) {
    if (!cursorShown_) {
        RevealCursor();
        return;
    }
    if (block_.Command(op, throttleSites_, rpmSites_))
        ShowCursorValue();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TMapForm::ShowCursorValue() {
    const TMapChartState& c = state_.Chart;
    state_.ManMapValue =
        std::to_string(host_.Data().DeviceData.Image[FuelMapOffset(c.CursorT, c.CursorR)]);
}

void TMapForm::StepCell(int delta) {
    if (block_.Rect().Count() > 1) {
        if (block_.StepCells(delta)) {
            ShowCursorValue();
            NotifyChanged();
        }
        return;
    }
    const TMapChartState& c = state_.Chart;
    TZVDataClass& data = host_.Data();
    const std::size_t offset = FuelMapOffset(c.CursorT, c.CursorR);
    const int old = data.DeviceData.Image[offset];
    const int value = std::clamp(old + delta, 0, 255);
    TEditStep step(host_.History(), FuelMapCellStep(c.CursorT, c.CursorR, old, value));
    const TImageWrite write = FuelMapWrite(data.DeviceData.Firmware, offset);
    const std::array<std::uint8_t, 1> bytes = {static_cast<std::uint8_t>(value)};
    if (!host_.WriteImage(write, bytes))
        return;
    ShowCursorValue();
    NotifyChanged();
}

void TMapForm::ShowLiveFrame(const TLiveRecord& record) {
    const auto& b = record.Bytes;
    const TLiveBytes& at = record.Layout == TLiveLayout::Live11 ? kLive11Bytes : kLiveBytes;
    if (b.size() <= at.MapValue)
        return;
    TMapChartState& c = state_.Chart;
    const auto map = std::span<const std::uint8_t, 256>(
        host_.Data().DeviceData.Image.data() + img::FuelMap, 256);
    c.MarkerT = AxisPosition(throttleSites_, b[at.Throttle]);
    c.MarkerR = AxisPosition(rpmSites_, b[at.Rpm]);
    c.MarkerHeight = MarkerHeight(map, throttleSites_, rpmSites_, b[at.Throttle], b[at.Rpm]);
    state_.AutoMapValue = std::to_string(b[at.MapValue]);
    replayMarker_ = !host_.Controls().MapLiveCursor;
    if (record.Layout != TLiveLayout::Live11) {
        const std::uint16_t flags = host_.Data().DeviceData.FlagsWord();
        const int input = TZVDataClass::TestFlag(flags, flag::TempInAsLambda) ? b[kInputF]
                          : TZVDataClass::TestFlag(flags, flag::GPInAsLambda) ? b[kInputE]
                                                                              : 0;
        lambdaInput_ = static_cast<std::uint16_t>(std::min(input, kLambdaInputMax));
    }
    ShowWideband(record);
    NotifyChanged();
}

void TMapForm::ShowWideband(const TLiveRecord& record) {
    const TZVDataClass& data = host_.Data();
    std::optional<std::uint8_t> input;
    if (record.Layout == TLiveLayout::Live18) {
        if (host_.WBO2DispOnF())
            input = record.Bytes[kInputF];
    } else if (record.Layout != TLiveLayout::Live11) {
        input = InputByteWithFunction(record.Bytes, data, kInputWideband);
    }
    if (!input) {
        wideband_.Hide();
        return;
    }
    wideband_.ShowWidebandValue(*input, {&data, host_.WBO2ModuleType()}, host_.WBODebounceLevel(),
                                host_.WBO2DispAfrMaster());
}

// The cursors follow the link: connecting hides the edit cursor, running online shows it, and
// the operator's Esc and the page selection switch it in between.
void TMapForm::SyncLinkControls() {
    const TMainControls& controls = host_.Controls();
    if (controls.MapManualCursor != lastManualCursor_) {
        lastManualCursor_ = controls.MapManualCursor;
        cursorShown_ = controls.MapManualCursor;
    }
    state_.Chart.CursorVisible = cursorShown_;
    if (controls.MapLiveCursor != lastLiveCursor_) {
        lastLiveCursor_ = controls.MapLiveCursor;
        replayMarker_ = false;
        // With the operating point gone, its output would stand there as if it were current.
        if (!controls.MapLiveCursor)
            state_.AutoMapValue.clear();
    }
    state_.Chart.MarkerVisible = controls.MapLiveCursor || replayMarker_;
    state_.SitesButtonVisible = controls.SitesButtonVisible;
    state_.MapDownloadEnabled = controls.TransferButtonsEnabled;
}

const TMapFormState& TMapForm::State() {
    SyncLinkControls();
    state_.Chart.Map = host_.Data().DeviceData.Image.data() + img::FuelMap;
    state_.Chart.Selection = block_.Rect();
    state_.Wideband = wideband_.State();
    state_.LLoShape = trace_.ControllerShape();
    state_.WBoShape = trace_.WidebandShape();
    return state_;
}

void TMapForm::MapDownloadButtonClick() {
    if (host_.Controls().TransferButtonsEnabled)
        host_.StartDownload(TSequence::MapDownload);
}

// The oldest units have no movable sites; their addresses hold other data.
void TMapForm::RevAdjustButtonClick() {
    if (OpenRevAdjust && host_.Controls().SitesButtonVisible)
        OpenRevAdjust();
}

void TMapForm::ViewModeSpeedButtonClick() {
    const bool withTrace = state_.ViewMode == TMapViewMode::MapOnly;
    state_.ViewMode = withTrace ? TMapViewMode::MapO2 : TMapViewMode::MapOnly;
    host_.Settings().v_WriteString(kSection, "ViewMode", withTrace ? "MapO2" : "MapOnly");
    NotifyChanged();
}

void TMapForm::TableButtonClick() {
    state_.TableShown = !state_.TableShown;
    host_.Settings().v_WriteBool(kSection, "MapTable", state_.TableShown);
    NotifyChanged();
}

std::uint32_t TMapForm::ChartColour(TChartColour which) const {
    return state_.Chart.Colours.*SettingOf(which).Field;
}

void TMapForm::ColourChosen(TChartColour which, std::uint32_t rgb) {
    const TColourSetting& setting = SettingOf(which);
    state_.Chart.Colours.*setting.Field = rgb & 0xFFFFFF;
    host_.Settings().v_WriteInteger(kSection, setting.Key,
                                    static_cast<int>(SwapRedBlue(rgb & 0xFFFFFF)));
    NotifyChanged();
}

void TMapForm::DebounceScrollBarScroll(int position) {
    state_.Debounce = ScrollDebounceLevel(host_, kSection, position);
    NotifyChanged();
}

void TMapForm::SwapLambdaAfrClick() {
    host_.ToggleWBO2DispAfrMaster();
    SetLanguage(host_.CurrentLanguage());
}

TTraceDraw TMapForm::Timer1Timer(int width, int height) {
    if (!host_.RunOnline())
        return {};
    TTraceDraw draw = trace_.Tick(host_.Data(), width, height, lambdaInput_);
    NotifyChanged();
    return draw;
}

}  // namespace zv
