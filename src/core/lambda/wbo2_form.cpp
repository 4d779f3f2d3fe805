#include "lambda/wbo2_form.h"

#include <algorithm>

#include "config/key_control.h"
#include "data/flag_bits.h"
#include "editors/map_sites.h"
#include "history/step_names.h"
#include "lambda/wbo2_presets.h"
#include "pages/page_host.h"
#include "pages/step_keys.h"
#include "pages/value_tip.h"
#include "sensors/wideband_sensor.h"
#include "text/point_format.h"

namespace zv {

namespace {

constexpr const char* kSection = "WBO2Map";
constexpr int kPageStep = 10;

// A controller parameter: its place in the main area (also the unit's address) and the range
// the keys keep it in.
struct TWBO2Param {
    std::size_t Offset;
    int Min, Max;
};
constexpr std::array<TWBO2Param, kWBO2GridField> kParams = {{
    {33, 0, 255},    // 0 WBO2AfrAt0V
    {34, 0, 255},    // 1 WBO2AfrAt5V
    {35, 0, 10},     // 2 WBO2AfrOffset
    {41, 1, 30},     // 3 WBO2ErrorDetLimLow
    {42, 180, 254},  // 4 WBO2ErrorDetLimHigh
    {0, 0, 0},       // 5 not used
    {36, 0, 30},     // 6 WBO2ControllerKp
    {37, 0, 30},     // 7 WBO2ControllerKi
    {38, 1, 200},    // 8 WBO2ControllerIntLimUp
    {39, 1, 200},    // 9 WBO2ControllerIntLimDown
    {40, 1, 100},    // 10 WBO2StartupCounter
}};
// The parameters as the Edit menu names their steps.
constexpr std::array<TextPair, kWBO2GridField> kStepNames = {{
    {"AFR bei 0 V", "AFR at 0 V"},
    {"AFR bei 5 V", "AFR at 5 V"},
    {"AFR-Versatz", "AFR offset"},
    {"untere Fehlerschwelle", "lower error limit"},
    {"obere Fehlerschwelle", "upper error limit"},
    {"", ""},
    {"Regler Kp", "controller Kp"},
    {"Regler Ki", "controller Ki"},
    {"Integratorgrenze oben", "upper integrator limit"},
    {"Integratorgrenze unten", "lower integrator limit"},
    {"Startzähler", "startup count"},
}};
constexpr std::size_t kMessDevice = 32;
constexpr int kUnitCustom = 0;
constexpr int kUnitCustomMap = 1;

constexpr int kFirstFirmware = 11;
constexpr int kFirstErrorOnIntegratorFirmware = 30;

// Target map cells: below 64 an AFR of (value + 105) / 10, bit 7 "no closed-loop control".
constexpr int kCellMax = 63;
constexpr int kCellNC = 128;

// Grid rows count down from the highest throttle site, columns up from the lowest speed site.
int SiteOfRow(int row) {
    return 16 - row;
}
int SiteOfCol(int col) {
    return col - 1;
}

bool IsNC(int cell) {
    return (cell & 0x80) != 0;
}

std::string CellText(std::uint8_t cell) {
    return AfrTargetText(cell);
}

}  // namespace

TWBO2Form::TWBO2Form(TPageHost& host) : host_(host), block_(host, TCellMapKind::Afr) {
    // A missing setting shows the plot and is written so; anything else stored hides it.
    state_.PlotShown =
        host_.Settings().s_ReadString(kSection, "WBOOsciViewMode", "ShowOsci") == "ShowOsci";
    state_.Grid[0][0] = "% \\ rpm";
    SetLanguage(host_.CurrentLanguage());
    HighlightSelection();
}

int TWBO2Form::UnitIndex() const {
    const int unit = host_.Data().DeviceData.Image[kMessDevice];
    return unit < kWBO2SensorUnitCount ? unit : kUnitCustom;
}

void TWBO2Form::LoadFromImage() {
    const TZVDataSet& set = host_.Data().DeviceData;
    state_.SensorUnit = UnitIndex();
    FillMapGrid();
    state_.Debounce = TDebounceDisplay::Of(host_.WBODebounceLevel());
    // Without a lambda input the main window hides the narrowband button (its link controls
    // follow the flags word); the panels keep what they showed.
    if (flag::HasNarrowbandInput(set.FlagsWord()) && set.Firmware >= kFirstFirmware) {
        ShowSensorScale();
        ShowParameters();
        state_.ErrorOnIntegratorDown =
            TZVDataClass::TestFlag(set.FlagsWord(), flag::WBO2SetErrorOnIntegratorLimit);
    }
    state_.ErrorOnIntegratorVisible = set.Firmware >= kFirstErrorOnIntegratorFirmware;
    SetLanguage(host_.CurrentLanguage());
}

void TWBO2Form::ShowParameters() {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    for (std::size_t field : {2u, 6u, 7u, 8u, 9u, 10u})
        state_.Values[field] = std::to_string(image[kParams[field].Offset]);
    ShowErrorLimits();
}

void TWBO2Form::ShowErrorLimits() {
    const TZVDataClass& data = host_.Data();
    auto show = [&data](std::size_t offset, std::string& volts, std::string& afr) {
        const std::uint8_t raw = data.DeviceData.Image[offset];
        volts = FormatPoint("%1.2fV", raw / 51.0);
        afr = FormatPoint("%2.2f", RawToAfr(data, raw).Afr);
    };
    show(kParams[3].Offset, state_.Values[3], state_.AfrLowLimit);
    show(kParams[4].Offset, state_.Values[4], state_.AfrHighLimit);
}

void TWBO2Form::ShowSensorScale() {
    TZVDataClass& data = host_.Data();
    ApplySensorScale(data);
    const int unit = UnitIndex();
    if (unit == kUnitCustomMap) {
        state_.Values[0] = state_.Values[1] = "---";
    } else {
        state_.Values[0] = FormatPoint("%2.1f", data.DeviceData.DispAfrAt0V / 10.0);
        state_.Values[1] = FormatPoint("%2.1f", data.DeviceData.DispAfrAt5V / 10.0);
    }
    state_.AxisLow = state_.Values[0];
    state_.AxisHigh = state_.Values[1];
    state_.ScaleGrey = unit > kUnitCustomMap;
    if (state_.ScaleGrey && state_.Selected < 2)
        state_.Selected = 2;
    ShowErrorLimits();
    HighlightSelection();
    NotifyChanged();
}

void TWBO2Form::HighlightSelection() {
    for (int field = 0; field < kWBO2FieldCount; ++field)
        state_.Looks[static_cast<std::size_t>(field)] =
            field == state_.Selected ? TPanelColour::Aqua : TPanelColour::White;
    if (state_.ScaleGrey)
        state_.Looks[0] = state_.Looks[1] = TPanelColour::ButtonFace;
}

// Column c shows the rpm site stored at 256 - c, row r the throttle site at 223 + r: row 1 is
// the highest throttle site and column 1 the lowest rpm site.
void TWBO2Form::FillMapGrid() {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    for (int i = 1; i < kWBO2GridSize; ++i) {
        const auto n = static_cast<std::size_t>(i);
        state_.Grid[0][n] = std::to_string(image[256 - n] * 10000 / 255);
        state_.Grid[n][0] = std::to_string(image[223 + n] * 100 / 255);
    }
    for (std::size_t row = 1; row < kWBO2GridSize; ++row)
        for (std::size_t col = 1; col < kWBO2GridSize; ++col)
            state_.Grid[row][col] = CellText(image[img::AfrMap + (row - 1) * 16 + (16 - col)]);
    NotifyChanged();
}

std::size_t TWBO2Form::CurrentCellOffset() const {
    return img::AfrMap + static_cast<std::size_t>((state_.GridRow - 1) * 16 + 16 - state_.GridCol);
}

void TWBO2Form::ShowPage() {
    SetLanguage(host_.CurrentLanguage());
    HighlightSelection();
    host_.FocusKeyControl();
    LoadFromImage();
}

void TWBO2Form::RefreshPage() {
    SetLanguage(host_.CurrentLanguage());
    LoadFromImage();
}

void TWBO2Form::SetLanguage(Language lang) {
    const bool g = lang == Language::German;
    TWBO2FormTexts& t = state_.Texts;
    t.UnitItems = {
        g ? "Freie Einstellung für AFR min und AFR max" : "Custom AFR min, AFR max settings",
        g ? "Freie Einstellung über Kennlinie" : "Custom setting via map",
        "TechEdge WBlin: 0..5V = 9..19 AFR",
        "DynoJet Wideband Commander 0..5V = 10..18 AFR",
        "Innovate LM-1: 0..5V = 9..19 AFR",
        g ? "Innovate LC-1: 0..5V = 7,35..22,39 AFR" : "Innovate LC-1: 0..5V = 7.35 - 22.39 AFR",
        g ? "PLX R-300: 0..5V = 10..20 AFR" : "PLX R300: 0..5V = 10 - 20 AFR",
        "AIM LCU_ONE: 1,95..4,8V = 9,47..23,3 AFR",
    };
    t.PresetItems = WBO2PresetNames(lang);
    t.SensorGroup = g ? " Breitbandmessgerät " : " Sensor unit settings ";
    t.SensorComboLabel = g ? "Typ Breitbandmessgerät" : "Type WBO2 sensor unit";
    t.ParamGroup = g ? " Lambdaregler Parameter " : " Closed loop lambda parmeters ";
    t.KpLabel = g ? "KP Regler" : "Closed loop KP";
    t.KiLabel = g ? "KI Regler" : "Closed loop KI";
    t.IntLimitUpLabel = g ? "Regler Integrationslimit fett" : "Controller integrator limit rich";
    t.IntLimitDownLabel = g ? "Regler Integrationslimit mager" : "Controller integrator limit lean";
    t.TargetLabel = g ? "Zielwert" : "Target value";
    t.StartupDispLabel = g ? "WBO2 Anlauf Zähler" : "WBO2 Startup counter";
    t.LowLimLabel = g ? "Regelergrenze abmagern" : "Controller limit lean";
    t.UpLimLabel = g ? "Reglergrenze anfetten" : "Controller limit rich";
    t.ActiveLabel = g ? "Regelung aktiv" : "Control active";
    t.LockoutHint = g ? "Der aktuelle Tabellenwert steht auf NC -> Regelung hier deaktiviert"
                      : "Current map value is NC -> disables closed loop control";
    t.Legend = g ? "Legende:" : "Legend:";
    t.LegendSensor = g ? "Sonde" : "Sensor";
    t.LegendController = g ? "Regler" : "Controller";
    t.CompUpper = g ? "Kompens.-" : "Compens.";
    t.CompLower = g ? "wert" : "value";
    t.ErrorOnIntegratorLabel = g ? "Fehler bei Intergratorüberlauf" : "Error on integrator overrun";
    t.Debounce = TDebounceTexts::Of(lang);
    t.ViewButton = "View";
    t.MapDownloadButton = "This Map";
    t.MapDownloadHint = g ? "Dieses Kennfeld downloaden" : "Download map data only";
    t.AfrAt0VLabel = g ? "AFR bei 0 V" : "AFR at 0 V";
    t.AfrAt5VLabel = g ? "AFR bei 5 V" : "AFR at 5 V";
    t.ErrorLowLabel = g ? "Sensorfehler unter" : "Sensor error below";
    t.ErrorHighLabel = g ? "Sensorfehler über" : "Sensor error above";
    t.OutValueAtUpLimitLabel = g ? "Stellwert am Limit" : "Output at its limit";
    t.PresetLabel = g ? "Vorgabekennfeld" : "Preset map";
    t.BlockMenu = BlockMenu(lang);
    t.StartupCountLabel = g ? "Anlauf" : "Startup";
    t.ErrorOnIntegratorButton =
        state_.ErrorOnIntegratorDown ? (g ? "Aktiv" : "Active") : (g ? "AUS!!" : "Disabled");
    t.ErrorAfrCaption = "AFR";
    t.StartupCountCaption = g ? "Zähler" : "Count";
    SetTips(lang);
    wideband_.SetAfrMaster(host_.WBO2DispAfrMaster());
    ShowStateCaptions();
    NotifyChanged();
}

// What each field sets: the panels' captions, and for the two that have none their own words.
void TWBO2Form::SetTips(Language lang) {
    const bool g = lang == Language::German;
    TWBO2FormTexts& t = state_.Texts;
    const std::array<std::string, kWBO2FieldCount> what = {
        t.AfrAt0VLabel,
        t.AfrAt5VLabel,
        "",
        g ? "Sensorfehler, wenn das Signal unter dieser Spannung liegt"
          : "Sensor error when the signal lies below this voltage",
        g ? "Sensorfehler, wenn das Signal über dieser Spannung liegt"
          : "Sensor error when the signal lies above this voltage",
        "",
        t.KpLabel,
        t.KiLabel,
        t.IntLimitUpLabel,
        t.IntLimitDownLabel,
        t.StartupDispLabel,
        g ? "AFR-Zielwert der Zelle (NC: keine Regelung in dieser Zelle)"
          : "Target AFR of the cell (NC: no closed-loop control in this cell)",
    };
    for (std::size_t field = 0; field < what.size(); ++field) {
        TValueTip tip{what[field], kCountsUnit.Pick(lang), "", kPageStep};
        tip.OwnKeys = host_.ConfiguredStepKeys();
        if (field < kParams.size())
            tip.Range = RangeText(kParams[field].Min, kParams[field].Max);
        if (field <= 1) {
            tip.Unit = "AFR";
            tip.Range = FormatPoint("%2.1f", kParams[field].Min / 10.0) + " .. " +
                        FormatPoint("%2.1f", kParams[field].Max / 10.0);
            tip.Step = "0.1";
            tip.PageStepShown = "1.0";
        } else if (field == 3 || field == 4) {
            tip.Unit = kVoltCountsUnit.Pick(lang);
            tip.Range = FormatPoint("%1.2f", kParams[field].Min / 51.0) + " .. " +
                        FormatPoint("%1.2f", kParams[field].Max / 51.0);
        } else if (field == kWBO2GridField) {
            tip.Unit = "AFR";
            tip.Range = CellText(0) + " .. " + CellText(kCellMax) + (g ? ", darüber NC" : ", above NC");
            tip.Step = "0.1";
            tip.PageStepShown = "1.0";
            tip.ArrowSteps = false;
        }
        t.Tips[field] = what[field].empty() ? "" : ValueTipText(tip, lang);
    }
    t.ErrorAfrTip = g ? "Die Sensorfehler-Grenze als AFR, nach der Skala des Breitbandmessgeräts"
                      : "The sensor error limit as AFR, by the sensor unit's scale";
    t.ErrorOnIntegratorTip =
        t.ErrorOnIntegratorLabel +
        (g ? ": der Regler meldet einen Fehler, wenn ein Integrator an sein Limit läuft\n"
             "Aktiv / AUS!! per Mausklick"
           : ": the controller reports an error when an integrator runs into its limit\n"
             "Active / Disabled by a mouse click");
    t.StartupCountTip = g ? "Anlaufzähler des Reglers, wie das Gerät ihn meldet; \"end\" nach "
                            "dem Anlauf"
                          : "The controller's startup counter as the unit reports it; \"end\" "
                            "once the startup is done";
}

// The startup label says whether the controller is done starting up, starting, or off; the
// lockout label whether the current map cell lets it work.
void TWBO2Form::ShowStateCaptions() {
    const bool g = host_.CurrentLanguage() == Language::German;
    const bool control =
        TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(), flag::WBO2Control);
    TWBO2FormTexts& t = state_.Texts;
    if (startupDone_)
        t.StartupLabel = g ? "Aktiv" : "Startup done";
    else if (control)
        t.StartupLabel = g ? "Anlauf" : "Startup";
    else
        t.StartupLabel = g ? "Regler Aus" : "Controller Disabled";
    t.LockoutLabel = lockout_ ? (g ? "Aussetzen Kennfeld" : "Map value lockout")
                              : (g ? "Kennfeldwert" : "Map value valid");
}

int TWBO2Form::NextField(int field) const {
    const bool custom = UnitIndex() == kUnitCustom;
    switch (field) {
        case 0:
            return custom ? 1 : 3;
        case 1:
        case 2:
            return 3;
        case 3:
            return 4;
        case 4:
        case 5:
            return 6;
        case kWBO2GridField:
            return custom ? 0 : 3;
        default:
            return field + 1;
    }
}

void TWBO2Form::HandleKey(std::uint8_t key) {
    key = host_.TranslateStepKey(key);
    const bool grid = state_.Selected == kWBO2GridField;
    switch (key) {
        case vk::Tab:
            state_.Selected = NextField(state_.Selected);
            HighlightSelection();
            NotifyChanged();
            return;
        case vk::Esc:
            for (std::size_t field : {6u, 7u, 8u, 9u})
                state_.Looks[field] = TPanelColour::ButtonFace;
            NotifyChanged();
            host_.ShowPageSelection();
            return;
        case vk::Left:
        case vk::Right:
            if (grid)
                MoveCell(key == vk::Left ? -1 : 1, 0);
            return;
        case vk::Up:
        case vk::Down:
            if (grid) {
                MoveCell(0, key == vk::Up ? -1 : 1);
                return;
            }
            break;
        default:
            if (const auto op = BlockOpOfKey(key); op && grid) {
                BlockCommand(*op);
                return;
            }
            break;
    }
    int step = PageStepOfKey(key, kPageStep);
    if (step == 0)
        step = StepOfKey(key);
    if (step == 0 || host_.PauseTimerActive())
        return;
    if (!grid)
        ChangeParameter(step);
    else if (block_.Rect().Count() > 1)
        ChangeMapBlock(step);
    else
        ChangeMapCell(step);
}

void TWBO2Form::HandleShiftKey(std::uint8_t key) {
    if (state_.Selected != kWBO2GridField) {
        HandleKey(key);
        return;
    }
    switch (key) {
        case vk::Left:
        case vk::Right:
            ExtendBlock(key == vk::Left ? -1 : 1, 0);
            return;
        case vk::Up:
        case vk::Down:
            ExtendBlock(0, key == vk::Up ? -1 : 1);
            return;
        default:
            HandleKey(key);
            return;
    }
}

// The cursor wraps around from the last row or column to the first and back.
void TWBO2Form::MoveCell(int dcol, int drow) {
    auto wrap = [](int v) { return (v + 15) % 16 + 1; };
    state_.GridCol = wrap(state_.GridCol + dcol);
    state_.GridRow = wrap(state_.GridRow + drow);
    CollapseBlock();
    NotifyChanged();
}

// A block does not wrap: it stops at the grid's edges.
void TWBO2Form::ExtendBlock(int dcol, int drow) {
    state_.GridCol = std::clamp(state_.GridCol + dcol, 1, 16);
    state_.GridRow = std::clamp(state_.GridRow + drow, 1, 16);
    block_.Selection().Extend(SiteOfRow(state_.GridRow), SiteOfCol(state_.GridCol));
    NotifyChanged();
}

void TWBO2Form::CollapseBlock() {
    block_.Selection().Collapse(SiteOfRow(state_.GridRow), SiteOfCol(state_.GridCol));
}

void TWBO2Form::GridDrag(int anchorCol, int anchorRow, int col, int row) {
    auto inside = [](int i) { return i >= 1 && i < kWBO2GridSize; };
    if (!inside(anchorCol) || !inside(anchorRow) || !inside(col) || !inside(row))
        return;
    GridClick(anchorCol, anchorRow);
    state_.GridCol = col;
    state_.GridRow = row;
    block_.Selection().Extend(SiteOfRow(row), SiteOfCol(col));
    NotifyChanged();
}

void TWBO2Form::ChangeMapBlock(int step) {
    if (block_.StepCells(step)) {
        FillMapGrid();
        NotifyChanged();
    }
}

// The grid's sites as the fuel map's chart shows them, so that both pages interpolate alike.
void TWBO2Form::BlockCommand(TBlockOp op) {
    const ImageBytes& image = host_.Data().DeviceData.Image;
    if (block_.Command(op, DisplayedSites(SitesAt(image, img::TpsSites)),
                       DisplayedSites(SitesAt(image, img::RpmSites))))
        FillMapGrid();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TWBO2Form::ChangeParameter(int step) {
    const int field = state_.Selected;
    if (field < 0 || field >= kWBO2GridField || field == 5)
        return;
    const TWBO2Param& param = kParams[static_cast<std::size_t>(field)];
    const int old = host_.Data().DeviceData.Image[param.Offset];
    const int value = std::clamp(old + step, param.Min, param.Max);
    TEditStep edit(host_.History(),
                   ValueStep(kStepNames[static_cast<std::size_t>(field)], old, value));
    if (value == old || !WriteMainByte(host_, param.Offset, value, true))
        return;
    ShowParameters();
    if (field <= 1)
        ShowSensorScale();
    NotifyChanged();
}

namespace {

// A cell switched off or on names its new state, a value stepped its change.
std::string CellChange(int old, int value) {
    if (value == kCellNC)
        return "NC";
    return old == kCellNC ? std::to_string(value) : SignedChange(old, value);
}

}  // namespace

// The file image keeps NC as 255; it steps as the NC the keys produce (128).
void TWBO2Form::ChangeMapCell(int step) {
    const std::size_t offset = CurrentCellOffset();
    const int stored = host_.Data().DeviceData.Image[offset];
    const int old = IsNC(stored) ? kCellNC : stored;
    const int value = AfrCellStepped(old, step);
    if (value == old)
        return;
    TEditStep edit(host_.History(), MapCellStep(stepname::AfrMap, 16 - state_.GridRow,
                                                state_.GridCol - 1, CellChange(old, value)));
    TImageWrite write;
    write.Offset = offset;
    write.Area = 1;
    write.Address = static_cast<std::uint16_t>(offset - kAfrAreaStart);
    const std::array<std::uint8_t, 1> bytes = {static_cast<std::uint8_t>(value)};
    if (!host_.WriteImage(write, bytes))
        return;
    state_
        .Grid[static_cast<std::size_t>(state_.GridRow)][static_cast<std::size_t>(state_.GridCol)] =
        CellText(bytes[0]);
    NotifyChanged();
}

// The grid's row and column 0 are its headers.
std::optional<TClipPlace> TWBO2Form::ClipPlace() const {
    return TClipPlace{TClipPlace::TItem::AfrMap, 0, state_.GridRow - 1, state_.GridCol - 1,
                      Selection()};
}

void TWBO2Form::PanelClick(int field) {
    if (field < 0 || field >= kWBO2GridField || field == 5)
        return;
    if (field <= 1 && UnitIndex() != kUnitCustom)
        return;
    state_.Selected = field;
    HighlightSelection();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TWBO2Form::GridContextClick(int col, int row) {
    if (col >= 1 && col < kWBO2GridSize && row >= 1 && row < kWBO2GridSize &&
        !Selection().Contains(SiteOfRow(row), SiteOfCol(col)))
        GridClick(col, row);
}

void TWBO2Form::GridClick(int col, int row) {
    state_.Selected = kWBO2GridField;
    if (col >= 1 && col < kWBO2GridSize && row >= 1 && row < kWBO2GridSize) {
        state_.GridCol = col;
        state_.GridRow = row;
        CollapseBlock();
    }
    HighlightSelection();
    NotifyChanged();
    host_.FocusKeyControl();
}

void TWBO2Form::GridKeyDown(std::uint8_t key) {
    host_.FocusKeyControl();
    HandleKey(key);
}

void TWBO2Form::WBO2UnitComboBoxChange(int index) {
    const int unit = index >= 1 && index < kWBO2SensorUnitCount ? index : kUnitCustom;
    state_.SensorUnit = unit;
    {
        TEditStep edit(host_.History(), NameStep(stepname::SensorUnit, std::to_string(unit)));
        WriteMainByte(host_, kMessDevice, unit, true);
    }
    ShowSensorScale();
}

void TWBO2Form::WBO2DefaultMapComboBoxChange(int index) {
    state_.Preset = std::clamp(index, 0, kWBO2PresetCount - 1);
    LoadWBO2Preset(host_, state_.Preset);
    FillMapGrid();
}

void TWBO2Form::WBO2SetErrorOnIntegratorButtonClick() {
    if (!state_.ErrorOnIntegratorVisible)
        return;
    const bool on = !TZVDataClass::TestFlag(host_.Data().DeviceData.FlagsWord(),
                                            flag::WBO2SetErrorOnIntegratorLimit);
    TEditStep edit(host_.History(), SwitchStep(stepname::ErrorOnIntegratorLimit, on));
    const std::uint16_t flags = ToggleMainFlag(host_, flag::WBO2SetErrorOnIntegratorLimit);
    state_.ErrorOnIntegratorDown =
        TZVDataClass::TestFlag(flags, flag::WBO2SetErrorOnIntegratorLimit);
    SetLanguage(host_.CurrentLanguage());
}

void TWBO2Form::MapDownloadButtonClick() {
    if (host_.Controls().TransferButtonsEnabled)
        host_.StartDownload(TSequence::AfrMapDownload);
}

void TWBO2Form::ViewModeSpeedButtonClick() {
    state_.PlotShown = !state_.PlotShown;
    host_.Settings().v_WriteString(kSection, "WBOOsciViewMode",
                                   state_.PlotShown ? "ShowOsci" : "HideOsci");
    NotifyChanged();
}

void TWBO2Form::DebounceScrollBarScroll(int position) {
    state_.Debounce = ScrollDebounceLevel(host_, kSection, position);
    NotifyChanged();
}

void TWBO2Form::WBOMasterLCDDblClick() {
    host_.ToggleWBO2DispAfrMaster();
    SetLanguage(host_.CurrentLanguage());
}

const TWBO2FormState& TWBO2Form::State() {
    state_.Wideband = wideband_.State();
    state_.MapDownloadEnabled = host_.Controls().TransferButtonsEnabled;
    state_.Selection = block_.Rect();
    return state_;
}

}  // namespace zv
