// The wideband lambda page against the simulated unit on virtual time: target map steps around
// the top and the no-target mark, parameter clamps, the sensor scale's panels, smoothing and
// both displays, the controller state of both record variants, the live cursor, the plot, and
// edits and the map transfer reaching the unit.
#include "lambda/wbo2_form.h"
#include "page_fixture.h"
#include "sensors/wideband_sensor.h"

namespace zv::test {
namespace {

constexpr std::size_t kMessDevice = 32, kAfrAt0V = 33, kAfrAt5V = 34, kKp = 36, kStartup = 40,
                      kErrLow = 41, kErrHigh = 42;
// Pin F carries the wideband signal: its lambda bit and its wideband mode bit.
constexpr std::uint16_t kWidebandOnF = 0x0104;
constexpr std::uint16_t kControlOn = 0x0400;
constexpr std::uint8_t kDone = 0x40;

// The controller parameters by field, their addresses and the ranges the keys keep them in.
struct Param {
    int Field;
    std::size_t Offset;
    int Min, Max;
};
constexpr std::array<Param, 10> kParams = {{{0, 33, 0, 255},
                                            {1, 34, 0, 255},
                                            {2, 35, 0, 10},
                                            {3, 41, 1, 30},
                                            {4, 42, 180, 254},
                                            {6, 36, 0, 30},
                                            {7, 37, 0, 30},
                                            {8, 38, 1, 200},
                                            {9, 39, 1, 200},
                                            {10, 40, 1, 100}}};
// Up and Down move the grid's cursor; the other step keys and the operator's own (65 up,
// 63 down) step the cell.
constexpr std::array<std::uint8_t, 5> kCellPlusKeys = {107, 187, 190, 221, 65};
constexpr std::array<std::uint8_t, 5> kCellMinusKeys = {109, 188, 189, 219, 63};
constexpr std::array<std::uint8_t, 1> kOwnUp = {65}, kOwnDown = {63};

class Wbo2Page : public PageTest {
  protected:
    void OpenWideband(int firmware, std::uint16_t flags = kWidebandOnF) {
        OpenOffline(firmware, Page);
        Data().DeviceData.SetFlagsWord(flags);
        Data().InputFSelect = 2;
        Reload();
    }
    // Bytes poked into the image reach the edit fields and the page.
    void Reload() {
        Data().ImageToFields();
        Page.LoadFromImage();
    }
    // Cell (col, row) of the grid: row 1 the highest throttle site, column 1 the lowest rpm.
    std::uint8_t& GridCell(int col, int row) {
        return At(img::AfrMap + static_cast<std::size_t>((row - 1) * 16 + 16 - col));
    }
    void Frame(TLiveLayout layout, std::uint8_t f, std::uint8_t state, std::uint8_t value = 0,
               std::uint8_t rpm = 0, std::uint8_t tps = 0) {
        std::span<std::uint8_t> b = Data().LiveRecords.Buffer(layout);
        std::fill(b.begin(), b.end(), std::uint8_t{0});
        b[1] = rpm;
        b[2] = tps;
        b[5] = f;
        b[18] = state;
        b[19] = value;
        Page.ShowLiveFrame({layout, b});
    }
    const TWBO2FormState& S() { return Page.State(); }
    TWBO2Form Page{Host};
};

TEST_F(Wbo2Page, MapCellStepsAroundTheTopAndTheNoTargetMark) {
    OpenWideband(30);
    Page.GridClick(3, 2);
    EXPECT_EQ(S().Selected, kWBO2GridField);
    GridCell(3, 2) = 63;
    Press(Page, {vk::OemPlus});
    EXPECT_EQ(GridCell(3, 2), 128);
    EXPECT_EQ(S().Grid[2][3], "NC");
    Press(Page, {vk::OemMinus});
    EXPECT_EQ(GridCell(3, 2), 63);
    EXPECT_EQ(S().Grid[2][3], "16.8");
    EXPECT_EQ(Data().AfrMap[14][2], 63) << "edit map row = throttle, column = rpm, ascending";

    GridCell(3, 2) = 128;
    Data().DeviceData.ChangedOffline = 0;
    Press(Page, {vk::PageUp});
    EXPECT_EQ(GridCell(3, 2), 128);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "NC stepped up stays NC: nothing written";
    GridCell(3, 2) = 255;  // as the file image keeps NC
    Press(Page, {vk::PageUp, vk::NumMinus});
    EXPECT_EQ(GridCell(3, 2), 63);
    GridCell(3, 2) = 5;
    Press(Page, {vk::PageDown});
    EXPECT_EQ(GridCell(3, 2), 0);
    EXPECT_EQ(S().Grid[2][3], "10.5");
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);

    Press(Page, {vk::Up, vk::Up, vk::Left, vk::Left, vk::Left});
    EXPECT_EQ(S().GridRow, 16) << "rows wrap from 1 to 16";
    EXPECT_EQ(S().GridCol, 16) << "columns wrap from 1 to 16";
    Press(Page, {vk::Down, vk::Right});
    EXPECT_EQ(S().GridRow, 1);
    EXPECT_EQ(S().GridCol, 1);
}

TEST_F(Wbo2Page, ParametersKeepTheirWindowRanges) {
    OpenWideband(30);
    At(kKp) = 30;
    At(kErrLow) = 1;
    At(kErrHigh) = 181;
    Reload();
    Page.PanelClick(6);
    Data().DeviceData.ChangedOffline = 0;
    Press(Page, {vk::PageUp, vk::Up, vk::OemPeriod});
    EXPECT_EQ(At(kKp), 30);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "a clamped step writes nothing";
    Page.PanelClick(3);
    Press(Page, {vk::Down});
    EXPECT_EQ(At(kErrLow), 1);
    Page.PanelClick(4);
    Press(Page, {vk::PageDown});
    EXPECT_EQ(At(kErrHigh), 180);
    EXPECT_EQ(S().Values[4], "3.53V");
    Press(Page, {vk::PageUp, vk::PageUp, vk::PageUp, vk::PageUp, vk::PageUp, vk::PageUp, vk::PageUp,
                 vk::PageUp});
    EXPECT_EQ(At(kErrHigh), 254);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    EXPECT_EQ(Data().Detail[param::WBO2ErrorDetLimHigh], 254) << "edit fields follow";

    // The operator's own step keys (65 up, 63 down) act as plus and minus here.
    Page.PanelClick(10);
    At(kStartup) = 50;
    Press(Page, {65, 65, 63});
    EXPECT_EQ(At(kStartup), 51);
}

TEST_F(Wbo2Page, SensorUnitFixesTheScaleAndTheFieldCycle) {
    OpenWideband(30);
    At(kAfrAt0V) = 89;
    At(kAfrAt5V) = 189;
    Reload();
    EXPECT_EQ(S().Values[0], "8.9");
    EXPECT_EQ(S().AxisHigh, "18.9");
    EXPECT_EQ(S().Looks[0], TPanelColour::Aqua);
    Press(Page, {vk::Tab, vk::Tab, vk::Tab});
    EXPECT_EQ(S().Selected, 4) << "custom scale: 0 -> 1 -> 3 -> 4";
    for (int i = 0; i < 7; ++i)
        Press(Page, {vk::Tab});
    EXPECT_EQ(S().Selected, 0) << "... 11 -> 0";

    Page.WBO2UnitComboBoxChange(7);  // AIM LCU_ONE
    EXPECT_EQ(At(kMessDevice), 7);
    EXPECT_EQ(Data().DeviceData.DispAfrAt0V, 0);
    EXPECT_EQ(Data().DeviceData.DispAfrAt5V, 243);
    EXPECT_EQ(S().Values[1], "24.3");
    EXPECT_TRUE(S().ScaleGrey);
    EXPECT_EQ(S().Looks[0], TPanelColour::ButtonFace);
    EXPECT_EQ(S().Selected, 2) << "the fixed scale cannot stay selected";
    Page.PanelClick(0);
    EXPECT_EQ(S().Selected, 2);
    Press(Page, {vk::Tab});
    EXPECT_EQ(S().Selected, 3);
    for (int i = 0; i < 8; ++i)
        Press(Page, {vk::Tab});
    EXPECT_EQ(S().Selected, 3) << "... 11 -> 3";

    Page.WBO2UnitComboBoxChange(1);
    EXPECT_EQ(S().Values[0], "---");
    EXPECT_EQ(S().AxisLow, "---");
    EXPECT_FALSE(S().ScaleGrey);
    Page.WBO2UnitComboBoxChange(9);
    EXPECT_EQ(At(kMessDevice), 0) << "an unknown unit is the custom one";

    Page.PanelClick(0);
    At(kAfrAt5V) = 88;
    Press(Page, {vk::Down});  // AFR at 0 V 88 = AFR at 5 V
    EXPECT_EQ(Data().DeviceData.DispAfrAt0V, 0);
    EXPECT_EQ(Data().DeviceData.DispAfrAt5V, 254);
    EXPECT_EQ(S().Values[1], "25.4");
}

TEST_F(Wbo2Page, FirmwareDecidesPanelsAndTheIntegratorButton) {
    OpenWideband(10);
    At(kKp) = 17;
    Reload();
    EXPECT_NE(S().Values[6], "17") << "below firmware 11 the panels stay as they were";
    Data().DeviceData.Firmware = 11;
    Reload();
    EXPECT_EQ(S().Values[6], "17");
    Data().DeviceData.Firmware = 29;
    Reload();
    EXPECT_FALSE(S().ErrorOnIntegratorVisible);
    Page.WBO2SetErrorOnIntegratorButtonClick();
    EXPECT_FALSE(Data().DeviceData.FlagsWord() & 0x0800) << "no button, no click";
    Data().DeviceData.Firmware = 30;
    Reload();
    EXPECT_TRUE(S().ErrorOnIntegratorVisible);
    EXPECT_EQ(S().Texts.ErrorOnIntegratorButton, "Disabled");
    Page.WBO2SetErrorOnIntegratorButtonClick();
    EXPECT_TRUE(Data().DeviceData.FlagsWord() & 0x0800);
    EXPECT_EQ(S().Texts.ErrorOnIntegratorButton, "Active");
    Page.SetLanguage(Language::German);
    EXPECT_EQ(S().Texts.ErrorOnIntegratorButton, "Aktiv");
    EXPECT_EQ(S().Texts.ErrorOnIntegratorLabel, "Fehler bei Intergratorüberlauf");

    Data().DeviceData.SetFlagsWord(0);
    At(kKp) = 3;
    Reload();
    EXPECT_EQ(S().Values[6], "17") << "without a lambda input the panels stay as they were";
}

TEST_F(Wbo2Page, SmoothingAndTheTwoDisplays) {
    OpenWideband(30);
    At(kAfrAt0V) = 0;
    At(kAfrAt5V) = 255;  // AFR = raw / 10
    Reload();
    Page.DebounceScrollBarScroll(5);
    EXPECT_EQ(S().Debounce.Level, "0");
    EXPECT_EQ(Settings.ReadInteger("WBO2Map", "WBODebounceLevel"), 0);
    Frame(TLiveLayout::Live24, 147, kDone);
    EXPECT_EQ(S().Wideband.Master, "1.00");
    EXPECT_EQ(S().Wideband.Slave, "14.7");
    EXPECT_EQ(S().Wideband.SlaveText, "AFR");

    Page.DebounceScrollBarScroll(0);
    EXPECT_EQ(Host.WBODebounceLevel(), 5);
    for (int i = 0; i < 9; ++i)
        Frame(TLiveLayout::Live24, 120, kDone);
    EXPECT_EQ(S().Wideband.Slave, "12.5") << "12.0 + 2.7 x (5/6)^9 = 12.52";
    Frame(TLiveLayout::Live24, 0, kDone);
    EXPECT_EQ(S().Wideband.Master, "---");
    EXPECT_EQ(S().Wideband.Slave, "---");
    Frame(TLiveLayout::Live24, 255, kDone);
    Frame(TLiveLayout::Live24, 120, kDone);
    EXPECT_EQ(S().Wideband.Slave, "12.4") << "12.0 + 2.7 x (5/6)^10 = 12.44; no reading skipped";
    EXPECT_EQ(S().Wideband.Master, "0.85");

    Page.WBOMasterLCDDblClick();
    EXPECT_EQ(Settings.ReadBool("Options", "WBO2DispAfrMaster"), true);
    Frame(TLiveLayout::Live24, 120, kDone);
    EXPECT_EQ(S().Wideband.Slave, "0.84");
    EXPECT_EQ(S().Wideband.SlaveText, "Lambda");
}

// The first reading is the mean's start, not a step up from 0. Raw 0 and 255 are no
// reading even where the scale turns them into a plausible AFR; 1 and 254 are readings.
// Scale 1.0 .. 25.5 AFR: AFR = (raw x 245 / 255 + 10) / 10.
TEST_F(Wbo2Page, FirstReadingStartsTheMeanAndTheRawEndsAreNoReading) {
    OpenWideband(30);
    At(kAfrAt0V) = 10;
    At(kAfrAt5V) = 255;
    Reload();
    Page.DebounceScrollBarScroll(0);
    ASSERT_EQ(Host.WBODebounceLevel(), 5);
    Frame(TLiveLayout::Live24, 147, kDone);
    EXPECT_EQ(S().Wideband.Slave, "15.1") << "(147 x 245 / 255 + 10) / 10 = 15.12";

    Page.DebounceScrollBarScroll(5);
    Frame(TLiveLayout::Live24, 1, kDone);
    EXPECT_EQ(S().Wideband.Slave, "1.1");
    Frame(TLiveLayout::Live24, 254, kDone);
    EXPECT_EQ(S().Wideband.Slave, "25.4");
    Frame(TLiveLayout::Live24, 0, kDone);
    EXPECT_EQ(S().Wideband.Slave, "---");
    Frame(TLiveLayout::Live24, 255, kDone);
    EXPECT_EQ(S().Wideband.Master, "---");
    Page.DebounceScrollBarScroll(4);
    Frame(TLiveLayout::Live24, 100, kDone);
    EXPECT_EQ(S().Wideband.Slave, "18.0") << "(25.40 + 10.61) / 2: neither 0 nor 255 entered";
}

TEST_F(Wbo2Page, ControllerStateOfBothRecordVariants) {
    OpenWideband(37, kWidebandOnF | kControlOn);
    const TLiveLayout older = LiveLayoutOfFirmware(36);
    const TLiveLayout newer = LiveLayoutOfFirmware(37);
    for (const auto& [value, shown] :
         {std::pair{254, "-1"}, {255, "0"}, {127, "127"}, {128, "-127"}}) {
        Frame(newer, 20, kDone, static_cast<std::uint8_t>(value));
        EXPECT_EQ(S().CompValue, shown) << value;
    }
    EXPECT_EQ(S().StartupCount, "end");
    EXPECT_EQ(S().Texts.StartupLabel, "Startup done");
    EXPECT_TRUE(S().Leds.Active);
    EXPECT_FALSE(S().Leds.Startup);

    Frame(older, 20, 0, 9);
    EXPECT_EQ(S().StartupCount, "9");
    EXPECT_EQ(S().AfrTarget, "S 9");
    EXPECT_EQ(S().CompValue, "startup");
    EXPECT_EQ(S().Texts.StartupLabel, "Startup");
    EXPECT_TRUE(S().Leds.Startup);
    EXPECT_FALSE(S().Leds.Active);
    Frame(newer, 20, 0, 9);
    EXPECT_EQ(S().StartupCount, "4") << "the newer units count in half steps";
    Frame(newer, 20, 0, 21);
    EXPECT_EQ(S().StartupCount, "10");
    EXPECT_EQ(S().AfrTarget, "S 10") << "both displays show the same count";

    for (const int bit : {0x80, 0x10, 0x20, 0x02}) {
        Frame(newer, 20, static_cast<std::uint8_t>(kDone | bit), 0);
        EXPECT_FALSE(S().Leds.Active) << bit;
    }
    EXPECT_TRUE(S().Leds.OutValueAtUpLimit);
    Frame(newer, 20, kDone | 0x80, 0);
    EXPECT_TRUE(S().Leds.Lockout);
    EXPECT_EQ(S().Texts.LockoutLabel, "Map value lockout");
    Frame(newer, 20, kDone, 0);
    EXPECT_EQ(S().Texts.LockoutLabel, "Map value valid");

    Data().DeviceData.SetFlagsWord(kWidebandOnF);
    Frame(newer, 20, 0, 9);
    EXPECT_EQ(S().Texts.StartupLabel, "Controller Disabled");
    EXPECT_EQ(S().CompValue, "disbaled");
}

// Sites 255, 238, ..., 0 stored highest first on both axes.
TEST_F(Wbo2Page, LiveCursorFollowsTheOperatingPointUnlessTheGridIsSelected) {
    OpenWideband(30);
    for (std::size_t k = 0; k < 16; ++k) {
        At(img::TpsSites + k) = static_cast<std::uint8_t>(255 - 17 * k);
        At(img::RpmSites + k) = static_cast<std::uint8_t>(255 - 17 * k);
    }
    GridCell(3, 4) = 42;
    Reload();
    EXPECT_EQ(S().Grid[4][0], "80") << "throttle site 204";
    EXPECT_EQ(S().Grid[0][3], "1333") << "rpm site 34";
    EXPECT_EQ(S().Grid[0][0], "% \\ rpm");
    Frame(TLiveLayout::Live24, 20, kDone, 0, /*rpm*/ 20, /*tps*/ 200);
    EXPECT_EQ(S().GridCol, 3);
    EXPECT_EQ(S().GridRow, 4);
    EXPECT_EQ(S().AfrTarget, "14.7");
    Frame(TLiveLayout::Live24, 20, kDone, 0, 0, 255);
    EXPECT_EQ(S().GridCol, 1);
    EXPECT_EQ(S().GridRow, 1);
    Page.GridClick(0, 5);  // a header cell: the grid is selected, the cell stays
    Frame(TLiveLayout::Live24, 20, kDone, 0, 20, 200);
    EXPECT_EQ(S().GridCol, 1);
    EXPECT_EQ(S().GridRow, 1);
}

// y(v) = trunc(v x 0.8 x 102 / 51 + 10.2) = trunc(1.6 v + 10.2)
TEST_F(Wbo2Page, PlotDrawsReadingAndTargetAndStopsOffThePage) {
    GoOnline(30, Page);
    Data().DeviceData.SetFlagsWord(kWidebandOnF);
    Data().InputFSelect = 2;
    At(kMessDevice) = 0;
    At(kAfrAt0V) = 90;
    At(kAfrAt5V) = 190;
    Reload();
    Form.NotebookPageChanged(5);
    Page.GridClick(1, 1);
    GridCell(1, 1) = 42;                     // 14.7: 51 - trunc((147 - 90) / 100 x 51) = 22 -> 45
    Frame(TLiveLayout::Live24, 102, kDone);  // 51 - trunc(102 x 51 / 255) = 31 -> 59
    const int column = Page.PlotColumn();
    const TTraceDraw first = Page.Timer1Tick(400, 102);
    ASSERT_EQ(first.Lines.size(), 2u);
    EXPECT_EQ(first.Lines[0].Y1, 59);
    EXPECT_EQ(first.Lines[0].Colour, 0x00FF00u);
    EXPECT_EQ(first.Lines[1].Y1, 45);
    EXPECT_EQ(first.Lines[1].Colour, 0xFF00FFu);
    EXPECT_EQ(first.Lines[0].X0, column + 1) << "online the column advances before the sample";
    GridCell(1, 1) = 128;
    const TTraceDraw nc = Page.Timer1Tick(400, 102);
    ASSERT_EQ(nc.Lines.size(), 1u) << "a cell without target draws no target";
    EXPECT_EQ(nc.Lines[0].Y0, 59);

    Form.NotebookPageChanged(4);
    EXPECT_TRUE(Page.Timer1Tick(400, 102).Lines.empty());
    EXPECT_FALSE(Page.Timer1Enabled());
    Form.NotebookPageChanged(5);
    EXPECT_TRUE(Page.Timer1Tick(400, 102).Lines.empty()) << "stays off until the next record";

    Page.ViewModeSpeedButtonClick();
    EXPECT_FALSE(S().PlotShown);
    EXPECT_EQ(Settings.ReadString("WBO2Map", "WBOOsciViewMode"), "HideOsci");
}

// A target outside the sensor's scale stays at the plot's edge: above the scale on the upper
// line (value 0, y 10), below it on the lower one (value 51, y 91).
TEST_F(Wbo2Page, PlotKeepsATargetOutsideTheScaleAtItsEdge) {
    GoOnline(30, Page);
    Data().DeviceData.SetFlagsWord(kWidebandOnF);
    Data().InputFSelect = 2;
    Form.NotebookPageChanged(5);
    Page.GridClick(1, 1);
    struct Case {
        int Lo, Hi, Cell, Y;
    };
    for (const Case c : {Case{90, 120, 63, 10},  // 16.8 over 9.0..12.0: 51 - 132
                         {90, 120, 14, 13},      // 11.9 just inside: 51 - trunc(49.3) = 2 -> 13
                         {150, 190, 0, 91},      // 10.5 under 15.0..19.0: 51 + 57
                         {150, 190, 63, 56}}) {  // 16.8 inside: 51 - 22 = 29
        SCOPED_TRACE(c.Cell);
        At(kMessDevice) = 0;
        At(kAfrAt0V) = static_cast<std::uint8_t>(c.Lo);
        At(kAfrAt5V) = static_cast<std::uint8_t>(c.Hi);
        Reload();
        GridCell(1, 1) = static_cast<std::uint8_t>(c.Cell);
        Frame(TLiveLayout::Live24, 102, kDone);
        const TTraceDraw draw = Page.Timer1Tick(400, 102);
        ASSERT_EQ(draw.Lines.size(), 2u);
        EXPECT_EQ(draw.Lines[1].Y1, c.Y);
    }
}

// Offline no record arrives: the plot stops instead of drawing from a record buffer that the
// unit's generation never fills.
TEST_F(Wbo2Page, PlotStopsOffline) {
    OpenWideband(30);
    At(kAfrAt0V) = 90;
    At(kAfrAt5V) = 190;
    Reload();
    Form.NotebookPageChanged(5);
    EXPECT_TRUE(Page.Timer1Tick(400, 102).Lines.empty()) << "no record yet: the timer is off";
    Frame(TLiveLayout::Live24, 102, kDone);
    ASSERT_TRUE(Page.Timer1Enabled());
    const int column = Page.PlotColumn();
    EXPECT_TRUE(Page.Timer1Tick(400, 102).Lines.empty());
    EXPECT_EQ(Page.PlotColumn(), column);
    EXPECT_FALSE(Page.Timer1Enabled());
}

TEST_F(Wbo2Page, EveryStepKeyMovesEachParameterByOne) {
    OpenWideband(30);
    for (const Param& p : kParams) {
        SCOPED_TRACE(p.Field);
        if (p.Field == 2)
            Page.WBO2UnitComboBoxChange(2);  // a fixed scale moves the selection to the offset
        else
            Page.PanelClick(p.Field);
        ASSERT_EQ(S().Selected, p.Field);
        ExpectRangeKeys(Page, At(p.Offset), p.Min, p.Max);
        ExpectEachKeySteps(Page, At(p.Offset), (p.Min + p.Max) / 2, kOwnUp, 1);
        ExpectEachKeySteps(Page, At(p.Offset), (p.Min + p.Max) / 2, kOwnDown, -1);
        if (p.Field == 2)
            Page.WBO2UnitComboBoxChange(0);
    }
}

TEST_F(Wbo2Page, EveryStepKeyMovesAMapCellByOne) {
    OpenWideband(30);
    Page.GridClick(5, 9);
    std::uint8_t& cell = GridCell(5, 9);
    ExpectEachKeySteps(Page, cell, 30, kCellPlusKeys, 1);
    ExpectEachKeySteps(Page, cell, 30, kCellMinusKeys, -1);
    ExpectEachKeySteps(Page, cell, 30, kPageUp, 10);
    ExpectEachKeySteps(Page, cell, 30, kPageDown, -10);
    ExpectEachKeySteps(Page, cell, 62, kCellPlusKeys, 1);
    ExpectEachKeySteps(Page, cell, 1, kCellMinusKeys, -1);
    ExpectEachKeySteps(Page, cell, 53, kPageUp, 10);
    ExpectEachKeySteps(Page, cell, 10, kPageDown, -10);
    EXPECT_EQ(S().Grid[9][5], "10.5");
    ExpectEachKeySteps(Page, cell, 30, std::array<std::uint8_t, 2>{38, 40}, 0);
    EXPECT_EQ(S().GridCol, 5);
    EXPECT_EQ(S().GridRow, 9) << "Up and Down each moved the cursor once";
}

// Online each step lands in the unit at the byte's address once the pause has run out.
TEST_F(Wbo2Page, EveryStepKeyReachesTheUnit) {
    GoOnline(30, Page);
    Page.PanelClick(8);
    int expected = 100;
    std::uint8_t* byte = &At(38);
    int area = 2;
    std::uint16_t address = 38;
    auto press = [&](std::uint8_t key, int step) {
        SCOPED_TRACE(key);
        Page.HandleKey(key);
        expected += step;
        EXPECT_EQ(*byte, expected);
        Clock.Advance(500);
        EXPECT_EQ(Unit->Peek(area, address), expected);
    };
    auto pressAll = [&](std::span<const std::uint8_t> plus, std::span<const std::uint8_t> minus) {
        *byte = static_cast<std::uint8_t>(expected);
        Page.LoadFromImage();
        for (const std::uint8_t key : plus)
            press(key, 1);
        for (const std::uint8_t key : minus)
            press(key, -1);
        press(33, 10);
        press(34, -10);
    };
    pressAll(kPlusKeys, kMinusKeys);
    EXPECT_EQ(Unit->WriteLog().size(), 12u);

    Page.GridClick(4, 7);
    expected = 20;
    byte = &GridCell(4, 7);
    area = 1;
    address = 512 + 6 * 16 + 12;
    pressAll(kCellPlusKeys, kCellMinusKeys);
    EXPECT_EQ(Unit->WriteLog().size(), 24u);
}

TEST_F(Wbo2Page, OnlineEditsAndThisMapReachTheUnit) {
    GoOnline(30, Page);
    Data().DeviceData.SetFlagsWord(kWidebandOnF);
    Data().InputFSelect = 2;
    Page.PanelClick(6);
    const std::uint8_t kp = At(kKp);
    Press(Page, {kp < 30 ? vk::Up : vk::Down});
    Press(Page, {vk::Up, vk::Up});  // while the pause runs
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 1u);
    EXPECT_EQ(Unit->WriteLog()[0].Area, 2);
    EXPECT_EQ(Unit->WriteLog()[0].Address, kKp);
    EXPECT_EQ(Unit->Peek(2, kKp), At(kKp));

    Page.GridClick(3, 2);
    const std::uint8_t cell = GridCell(3, 2);
    Press(Page, {cell < 63 ? vk::OemPlus : vk::OemMinus});
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 2u);
    EXPECT_EQ(Unit->WriteLog()[1].Area, 1);
    EXPECT_EQ(Unit->WriteLog()[1].Address, 512 + 16 + 13);
    EXPECT_EQ(Unit->Peek(1, 512 + 16 + 13), GridCell(3, 2));

    Online->DispatchKey(key::F5);
    Clock.Advance(2000);
    for (std::size_t k = 0; k < 256; ++k)
        At(img::AfrMap + k) = static_cast<std::uint8_t>(k % 64);
    Page.MapDownloadButtonClick();
    ASSERT_TRUE(RunUntilState(link::Idle, 60000));
    for (std::size_t k = 0; k < 256; ++k)
        ASSERT_EQ(Unit->Peek(1, static_cast<std::uint16_t>(512 + k)), k % 64) << k;
}

// The texts give the window ranges in the panels' terms: AFR 0.0 .. 25.5 in tenths, the error
// limits in volts (1 and 30, 180 and 254 counts), the target cells 10.5 .. 16.8; all step by 10
// on Page Up / Down and honour the step keys.
TEST_F(Wbo2Page, HoverTextsGiveWindowRangesInThePanelsTerms) {
    OpenWideband(30);
    const auto& tips = S().Texts.Tips;
    EXPECT_EQ(tips[6], "Closed loop KP\nUnit: counts\nRange: 0 .. 30\nKeys: ±1 with Up / Down, "
                       "+ / -, step keys ▲ A ▼ ?, ±10 with Page Up / Page Down");
    EXPECT_NE(tips[0].find("Unit: AFR\nRange: 0.0 .. 25.5\nKeys: ±0.1 with Up / Down"),
              std::string::npos)
        << tips[0];
    EXPECT_NE(tips[0].find("±1.0 with Page Up"), std::string::npos) << tips[0];
    EXPECT_NE(tips[3].find("Range: 0.02 .. 0.59\n"), std::string::npos) << tips[3];
    EXPECT_NE(tips[4].find("Range: 3.53 .. 4.98\n"), std::string::npos) << tips[4];
    EXPECT_NE(tips[8].find("Range: 1 .. 200\n"), std::string::npos) << tips[8];
    EXPECT_NE(tips[10].find("Range: 1 .. 100\n"), std::string::npos) << tips[10];
    EXPECT_NE(tips[11].find("Range: 10.5 .. 16.8, above NC\nKeys: ±0.1 with + / -, step keys"),
              std::string::npos)
        << tips[11];
    Page.SetLanguage(Language::German);
    EXPECT_NE(tips[9].find("Bereich: 1 .. 200\nTasten: ±1 mit Pfeil hoch / runter, + / -, "
                           "Schritt-Tasten ▲ A ▼ ?, ±10 mit Bild auf / Bild ab"),
              std::string::npos)
        << tips[9];
    EXPECT_EQ(S().Texts.StartupCountCaption, "Zähler");
}

}  // namespace
}  // namespace zv::test
