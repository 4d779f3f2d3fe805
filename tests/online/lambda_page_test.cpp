// The narrowband lambda page against the simulated unit on virtual time: the reference and
// trim forms of field 0 on both sides of their firmware switch, clamps and unchanged steps, the
// mixture tendency at its thresholds, the controller LEDs, the plot, and online writes.
#include "german_locale.h"
#include "lambda/lambda_form.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

constexpr std::size_t kRef = 9, kJump = 10, kRpmSetIn = 14;
constexpr std::uint16_t kTempInAsLambda = 0x0004, kGPInAsLambda = 0x0008, kControlOn = 0x0002;
constexpr std::uint32_t kRed = 0xFF0000, kYellow = 0xFFFF00, kLime = 0x00FF00, kFuchsia = 0xFF00FF;

// The controller parameters, their addresses and the ranges the keys keep them in.
struct Param {
    int Field;
    std::size_t Offset;
    int Min, Max;
};
constexpr std::array<Param, 6> kParams = {{{1, 10, 1, 20},
                                           {2, 11, 1, 200},
                                           {3, 12, 5, 100},
                                           {4, 14, 19, 64},
                                           {5, 13, 100, 255},
                                           {6, 15, 1, 255}}};
constexpr Param kReference{0, kRef, 0, 51};

class LambdaPage : public PageTest {
  protected:
    void OpenNarrowband(int firmware, std::uint16_t flags = kTempInAsLambda) {
        OpenOffline(firmware, Page);
        Data().DeviceData.SetFlagsWord(flags);
        Page.LoadFromImage();
    }
    // A record of the 18-byte generation: probe on F and E, controller byte and state flags.
    void Frame(int f, int e, std::uint8_t controller, std::uint8_t state, std::uint8_t lamps = 0) {
        Record.fill(0);
        Record[0] = lamps;
        Record[5] = static_cast<std::uint8_t>(f);
        Record[7] = static_cast<std::uint8_t>(e);
        Record[14] = controller;
        Record[15] = state;
        Page.ShowLiveFrame({TLiveLayout::Live18, Record});
    }
    void ExpectKeysStep(const Param& p) {
        SCOPED_TRACE(p.Field);
        Page.PanelClick(p.Field);
        ExpectRangeKeys(Page, At(p.Offset), p.Min, p.Max);
    }

    std::array<std::uint8_t, 18> Record{};
    TLambdaForm Page{Host};
};

TEST_F(LambdaPage, ReferenceVoltageBelowFirmware14) {
    OpenNarrowband(13);
    At(kRef) = 23;
    Page.LoadFromImage();
    EXPECT_EQ(Page.State().Values[0], "0.45");
    EXPECT_EQ(Page.State().Texts.FieldCaptions[0], "Narrow band O2 reference voltage [V]");
    At(kRef) = 45;
    Press(Page, {vk::PageUp});
    EXPECT_EQ(At(kRef), 51);
    EXPECT_EQ(Page.State().Values[0], "1.00");
    EXPECT_EQ(Data().Detail[param::LambdaRef], 51) << "edit fields follow";
    Data().DeviceData.ChangedOffline = 0;
    Press(Page, {vk::Up, vk::OemPeriod});
    EXPECT_EQ(At(kRef), 51);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "a clamped step changes nothing";
    Press(Page, {vk::PageDown, vk::Down});
    EXPECT_EQ(At(kRef), 40);
}

// The page takes only the fixed step keys; its texts name the operator's own as idle here.
TEST_F(LambdaPage, HoverTextsFollowTheReferenceOrTrimForm) {
    OpenNarrowband(13);
    const auto& tips = Page.State().Texts.Tips;
    EXPECT_EQ(tips[0],
              "Narrow band O2 reference voltage [V]\nUnit: volts (51 counts per volt)\n"
              "Range: 0.00 .. 1.00\nKeys: ±1 with Up / Down, + / -, ±10 with Page Up / Page Down\n"
              "Step keys ▲ A ▼ ? do not act here");
    EXPECT_NE(tips[4].find("Unit: rpm (one step 39 rpm)\nRange: 745 .. 2509\n"), std::string::npos)
        << tips[4];
    EXPECT_NE(tips[1].find("Range: 1 .. 20\n"), std::string::npos) << tips[1];
    EXPECT_NE(tips[3].find("Range: 5 .. 100\n"), std::string::npos) << tips[3];
    EXPECT_NE(tips[5].find("Range: 100 .. 255\n"), std::string::npos) << tips[5];
    OpenNarrowband(14);
    EXPECT_EQ(tips[0], "Trim Lambda value\nUnit: counts\nRange: -10 .. 10\n"
                       "Keys: ±1 with Up / Down, + / -, ±5 with Page Up / Page Down\n"
                       "Step keys ▲ A ▼ ? do not act here");
    Form.SetPage(4, &Page);
    Keys.KeyUpSmallCode = 75;  // K
    Keys.KeyDownSmallCode = 76;
    Form.StepKeysChanged();
    Form.ApplyLanguage(Language::German);
    EXPECT_EQ(tips[0], "Lambdawert trimmen\nEinheit: Zählwert\nBereich: -10 .. 10\n"
                       "Tasten: ±1 mit Pfeil hoch / runter, + / -, ±5 mit Bild auf / Bild ab\n"
                       "Schritt-Tasten ▲ K ▼ L wirken hier nicht");
    EXPECT_EQ(tips[6], "Anlauf Zähler\nEinheit: Zählwert\nBereich: 1 .. 255\n"
                       "Tasten: ±1 mit Pfeil hoch / runter, + / -, ±10 mit Bild auf / Bild ab\n"
                       "Schritt-Tasten ▲ K ▼ L wirken hier nicht");
}

TEST_F(LambdaPage, TrimFromFirmware14IsASignedByte) {
    OpenNarrowband(14);
    EXPECT_EQ(Page.State().Texts.FieldCaptions[0], "Trim Lambda value");
    At(kRef) = static_cast<std::uint8_t>(-10);
    Page.LoadFromImage();
    EXPECT_EQ(Page.State().Values[0], "-10");
    Data().DeviceData.ChangedOffline = 0;
    Press(Page, {vk::Down});
    EXPECT_EQ(At(kRef), static_cast<std::uint8_t>(-10));
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    Press(Page, {vk::PageUp});
    EXPECT_EQ(Page.State().Values[0], "-5") << "page steps are 5 in the trim form";
    At(kRef) = 8;
    Press(Page, {vk::PageUp});
    EXPECT_EQ(At(kRef), 10);
    EXPECT_EQ(Page.State().Values[0], "10");
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
}

TEST_F(LambdaPage, FieldsCycleClampAndShowEngineSpeed) {
    OpenNarrowband(20);
    Press(Page, {vk::Tab});
    EXPECT_TRUE(Page.State().PanelWhite[1]);
    EXPECT_FALSE(Page.State().PanelWhite[0]);
    At(kJump) = 19;
    Press(Page, {vk::PageUp, vk::Tab, vk::Tab, vk::Tab});
    EXPECT_EQ(At(kJump), 20);
    for (const auto& [b, rpm] : {std::pair{29, "1137"}, {64, "2509"}, {19, "745"}}) {
        At(kRpmSetIn) = static_cast<std::uint8_t>(b);
        Page.LoadFromImage();
        EXPECT_EQ(Page.State().Values[4], rpm);
    }
    Press(Page, {vk::PageDown});
    EXPECT_EQ(At(kRpmSetIn), 19) << "fall back rpm stays at 19 and above";
    Press(Page, {vk::Tab, vk::Tab, vk::Tab});
    EXPECT_EQ(Page.State().Selected, 0);
    Press(Page, {vk::Esc});
    EXPECT_FALSE(Page.State().PanelWhite[0]);
}

TEST_F(LambdaPage, WithoutNarrowbandInputTheValuesStayAsShown) {
    OpenNarrowband(20);
    const std::string shown = Page.State().Values[1];
    At(kJump) = static_cast<std::uint8_t>(At(kJump) + 3);
    Data().DeviceData.SetFlagsWord(0);
    Page.LoadFromImage();
    EXPECT_EQ(Page.State().Values[1], shown);
    Data().DeviceData.SetFlagsWord(kGPInAsLambda);
    Page.LoadFromImage();
    EXPECT_NE(Page.State().Values[1], shown);
}

TEST_F(LambdaPage, TendencyThresholdsOnTheProbeInput) {
    OpenNarrowband(20);
    struct Case {
        int Q;
        TTendency Tendency;
        std::uint32_t Gauge;
    };
    for (const Case c : {Case{2, TTendency::VeryLean, kRed},
                         {3, TTendency::Lean, kRed},
                         {9, TTendency::Lean, kRed},
                         {10, TTendency::Good, kLime},
                         {32, TTendency::Good, kLime},
                         {33, TTendency::Rich, kYellow},
                         {39, TTendency::Rich, kYellow},
                         {40, TTendency::VeryRich, kYellow}}) {
        SCOPED_TRACE(c.Q);
        Frame(c.Q, 200, 0, 0);
        EXPECT_EQ(Page.State().Tendency, c.Tendency);
        EXPECT_EQ(Page.State().SensorGaugeColour, c.Gauge);
    }
    Frame(200, 100, 0, 0);
    EXPECT_EQ(Page.State().SensorGauge, 51) << "the gauge ends at 1 V";
    EXPECT_EQ(Page.State().SensorVoltage, "3.92");
    Data().DeviceData.SetFlagsWord(kGPInAsLambda);
    Frame(200, 20, 0, 0);
    EXPECT_EQ(Page.State().SensorVoltage, "0.39") << "input E carries the probe";
    EXPECT_EQ(Page.State().Tendency, TTendency::Good);
}

// From the 24-byte records on, the probe is on the input whose function is narrowband; the
// other input may carry the wideband sensor, whose lambda bit is set as well.
TEST_F(LambdaPage, ProbeInputIsTheNarrowbandOneBesideAWidebandInput) {
    constexpr std::uint16_t kWidebandOnF = kTempInAsLambda | 0x0100;
    struct Case {
        int Firmware;
        std::uint16_t Flags;
        const char* Voltage;  // F carries 239 (4.69 V), E 23 (0.45 V)
        TTendency Tendency;
    };
    for (const Case c : {Case{27, kGPInAsLambda, "0.45", TTendency::Good},
                         {27, kTempInAsLambda, "4.69", TTendency::VeryRich},
                         {28, kGPInAsLambda | kWidebandOnF, "0.45", TTendency::Good},
                         {28, kTempInAsLambda, "4.69", TTendency::VeryRich}}) {
        SCOPED_TRACE(c.Firmware);
        SCOPED_TRACE(c.Flags);
        OpenNarrowband(c.Firmware, c.Flags);
        Main.FlagsToInputSelections(c.Flags);
        std::span<std::uint8_t> b = Data().LiveRecords.Buffer(TLiveLayout::Live24);
        std::fill(b.begin(), b.end(), std::uint8_t{0});
        b[5] = 239;
        b[7] = 23;
        Page.ShowLiveFrame({TLiveLayout::Live24, b});
        EXPECT_EQ(Page.State().SensorVoltage, c.Voltage);
        EXPECT_EQ(Page.State().Tendency, c.Tendency);
        EXPECT_EQ(Page.State().SensorGauge, c.Tendency == TTendency::Good ? 23 : 51);
    }
}

TEST_F(LambdaPage, ControllerLedsNeedTheControllerOn) {
    OpenNarrowband(20, kTempInAsLambda);
    Frame(20, 0, 7, 0);
    EXPECT_FALSE(Page.State().Leds.Active);
    EXPECT_EQ(Page.State().StartupLabel, "Disabled");
    EXPECT_EQ(Page.State().StartupCount, "---");
    Data().DeviceData.SetFlagsWord(kTempInAsLambda | kControlOn);
    Frame(20, 0, 7, 0xE0);
    EXPECT_TRUE(Page.State().Leds.Active) << "bits 5..7 do not stop the controller";
    EXPECT_EQ(Page.State().StartupCount, "END");
    Frame(20, 0, 7, 0x04);
    EXPECT_FALSE(Page.State().Leds.Active);
    EXPECT_TRUE(Page.State().Leds.Startup);
    EXPECT_EQ(Page.State().StartupLabel, "Startup");
    EXPECT_EQ(Page.State().StartupCount, "7");
    Frame(20, 0, 7, 0x08);
    EXPECT_TRUE(Page.State().Leds.Error);
    EXPECT_FALSE(Page.State().Leds.Active);
}

TEST_F(LambdaPage, LampOutputsSwapAfterFirmware18) {
    OpenNarrowband(18);
    Frame(20, 0, 0, 0, 0x08);  // bit 3
    EXPECT_EQ(Page.State().Lamps[2], kYellow) << "LLo";
    Data().DeviceData.Firmware = 19;
    Frame(20, 0, 0, 0, 0x08);
    EXPECT_EQ(Page.State().Lamps[0], kLime) << "LHi";
    EXPECT_EQ(Page.State().Lamps[2], 0x800000u);
}

TEST_F(LambdaPage, EditsReachTheUnitAndThePlotRunsOnlyOnline) {
    OpenNarrowband(30);
    EXPECT_TRUE(Page.Timer1Tick(100, 102).Lines.empty()) << "offline the plot stands still";
    GoOnline(30, Page);
    Data().DeviceData.SetFlagsWord(kTempInAsLambda);
    Main.FlagsToInputSelections(kTempInAsLambda);
    Press(Page, {vk::Tab});
    const std::uint8_t jump = At(kJump);
    Press(Page, {jump < 20 ? vk::Up : vk::Down});
    Press(Page, {vk::Up, vk::Up});  // while the pause runs
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 1u);
    EXPECT_EQ(Unit->WriteLog()[0].Area, 2);
    EXPECT_EQ(Unit->WriteLog()[0].Address, kJump);
    EXPECT_EQ(Unit->Peek(2, kJump), At(kJump));

    // y(v) = trunc(v * 0.8 * 102 / 51 + 10.2)
    auto& live = Data().LiveRecords.Live24;
    live[5] = 20;   // probe: 51 - 20 = 31 -> 59
    live[14] = 55;  // controller: 200 / 5 = 40 -> 74
    live[15] = 0;
    const int column = Page.PlotColumn();
    const TTraceDraw first = Page.Timer1Tick(400, 102);
    ASSERT_EQ(first.Lines.size(), 2u);
    EXPECT_EQ(first.Lines[0].X0, column + 1);
    EXPECT_EQ(first.Lines[0].Y1, 59);
    EXPECT_EQ(first.Lines[0].Colour, kLime);
    EXPECT_EQ(first.Lines[1].Y1, 74);
    EXPECT_EQ(first.Lines[1].Colour, kFuchsia);
    live[15] = 0x04;  // startup: the controller trace sits at 25 -> 50
    const TTraceDraw second = Page.Timer1Tick(400, 102);
    EXPECT_EQ(second.Lines[1].Y0, 74);
    EXPECT_EQ(second.Lines[1].Y1, 50);
    EXPECT_EQ(second.Lines[1].Colour, kYellow);
    EXPECT_TRUE(Page.Timer1Tick(column + 3, 102).Clear) << "wraps at the box's width";
    EXPECT_EQ(Page.PlotColumn(), 0);
}

// Each field's step keys on both sides of the switch to the trim form.
TEST_F(LambdaPage, EveryStepKeyMovesEachParameterByOne) {
    OpenNarrowband(13);
    ExpectKeysStep(kReference);
    for (const Param& p : kParams)
        ExpectKeysStep(p);
    Data().DeviceData.Firmware = 14;
    Page.LoadFromImage();
    for (const Param& p : kParams)
        ExpectKeysStep(p);
}

// The trim is a signed byte in -10..+10 stepped by one and, on the page keys, by five.
TEST_F(LambdaPage, EveryStepKeyMovesTheTrimByOne) {
    OpenNarrowband(14);
    Page.PanelClick(0);
    ExpectStepKeys(Page, At(kRef), 3);
    ExpectStepKeys(Page, At(kRef), -3 + 256);  // -3: -2 and -4
    ExpectEachKeySteps(Page, At(kRef), -10 + 256, kPageUp, 5);
    ExpectEachKeySteps(Page, At(kRef), 10, kPageDown, -5);
    struct Case {
        int From;
        std::uint8_t Key;
        int To;
    };
    for (const Case c : {Case{0, 40, -1},
                         {-1, 38, 0},
                         {3, 34, -2},
                         {-3, 33, 2},
                         {-10, 188, -10},
                         {10, 221, 10},
                         {7, 33, 10},
                         {-8, 34, -10}}) {
        SCOPED_TRACE(c.From);
        At(kRef) = static_cast<std::uint8_t>(c.From);
        Page.LoadFromImage();
        Page.HandleKey(c.Key);
        EXPECT_EQ(At(kRef), static_cast<std::uint8_t>(c.To));
        EXPECT_EQ(Page.State().Values[0], std::to_string(c.To));
    }
}

// Only the fixed step keys act on this page: the operator's own keys leave the value alone.
TEST_F(LambdaPage, ConfiguredStepKeysDoNotStepHere) {
    OpenNarrowband(20);
    Page.PanelClick(1);
    ExpectEachKeySteps(Page, At(kJump), 10, std::array<std::uint8_t, 2>{65, 63}, 0);
}

// Online each step lands in the unit at the parameter's address once the pause has run out.
TEST_F(LambdaPage, EveryStepKeyReachesTheUnit) {
    GoOnline(30, Page);
    constexpr std::size_t kInt = 11;
    Page.PanelClick(2);
    int expected = 100;
    At(kInt) = static_cast<std::uint8_t>(expected);
    Page.LoadFromImage();
    auto press = [&](std::uint8_t key, int step) {
        SCOPED_TRACE(key);
        Page.HandleKey(key);
        expected += step;
        EXPECT_EQ(At(kInt), expected);
        Clock.Advance(300);
        EXPECT_EQ(Unit->Peek(2, kInt), expected);
    };
    for (const std::uint8_t key : kPlusKeys)
        press(key, 1);
    for (const std::uint8_t key : kMinusKeys)
        press(key, -1);
    press(33, 10);
    press(34, -10);
    EXPECT_EQ(Unit->WriteLog().size(), 12u);
}

// A German desktop switches the C library to the decimal comma; the page keeps the dashboard's
// point.
TEST_F(LambdaPage, VoltagesKeepThePointUnderAGermanLocale) {
    GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale installed";
    OpenNarrowband(13);
    At(kRef) = 23;
    Page.LoadFromImage();
    EXPECT_EQ(Page.State().Values[0], "0.45");
    Frame(46, 0, 0, 0);
    EXPECT_EQ(Page.State().SensorVoltage, "0.90");
}

// Up to firmware 18 the high, ok and low shapes light red, green and yellow; from 19 green,
// yellow and red.
TEST_F(LambdaPage, LampShapesNameTheirOutputOnBothSidesOfFirmware19) {
    OpenNarrowband(18);
    const auto& tips = Page.State().Texts.LampTips;
    EXPECT_EQ(tips[0], "Lambda indicator \"High\": lit with the unit's red lamp output");
    EXPECT_EQ(tips[1], "Lambda indicator \"OK\": lit with the unit's green lamp output");
    EXPECT_EQ(tips[2], "Lambda indicator \"Low\": lit with the unit's yellow lamp output");
    OpenNarrowband(19);
    EXPECT_EQ(tips[0], "Lambda indicator \"High\": lit with the unit's green lamp output");
    Page.SetLanguage(Language::German);
    EXPECT_EQ(tips[2], "Lambdaanzeige \"Tief\": leuchtet mit dem roten Lampenausgang des Geräts");
}

}  // namespace
}  // namespace zv::test
