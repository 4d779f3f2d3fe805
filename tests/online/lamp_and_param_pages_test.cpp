// The shift lamp and parameter pages against the simulated unit on virtual time: ranges and
// steps, Tab cycles and visibility by firmware, the pause after a single-value write, the live
// aids, and where each change lands in the unit.
#include "editors/lamp_form.h"
#include "editors/param_form.h"
#include "german_locale.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

constexpr std::size_t kRed = 8, kYellow = 7, kGreen = 6;
constexpr std::size_t kIdleContact = 2, kFullContact = 3, kMaxOut = 21, kZeroRpm = 16;

class LampAndParamPages : public PageTest {
  protected:
    void SetPulse(int pulse) {
        const std::uint16_t raw = Data().PulseToRaw(static_cast<std::uint16_t>(pulse));
        At(0) = static_cast<std::uint8_t>(raw & 0xFF);
        At(1) = static_cast<std::uint8_t>(raw >> 8);
    }
    int Pulse() { return Data().PulseFromDataSet(Data().DeviceData); }
    TLampForm Lamp{Host};
    TParamForm Param{Host};
};

TEST_F(LampAndParamPages, LampThresholdsKeepTheirRangeAndTabWalksTheItems) {
    OpenOffline(30, Lamp);
    At(kRed) = 250;
    At(kGreen) = 55;
    Lamp.LoadFromImage();
    Press(Lamp, {vk::Tab});
    EXPECT_EQ(Lamp.State().Selected, 1);
    EXPECT_TRUE(Lamp.State().PanelHighlighted[0]);
    EXPECT_FALSE(Lamp.State().Chart.CursorVisible);
    Press(Lamp, {vk::PageUp});
    EXPECT_EQ(At(kRed), 254);
    EXPECT_EQ(Lamp.State().Thresholds[0], "9960");
    EXPECT_EQ(Data().Detail[param::RedLed], 254) << "edit fields follow";
    Data().DeviceData.ChangedOffline = 0;
    Press(Lamp, {vk::OemPlus, 65});
    EXPECT_EQ(At(kRed), 254);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    Press(Lamp, {vk::Tab, vk::Tab, vk::PageDown});
    EXPECT_EQ(At(kGreen), 50);
    EXPECT_EQ(Lamp.State().Thresholds[2], "1960");
    Press(Lamp, {vk::Tab});
    EXPECT_EQ(Lamp.State().Selected, 0);
    EXPECT_TRUE(Lamp.State().Chart.CursorVisible);
    Press(Lamp, {vk::Tab, vk::Esc});
    EXPECT_FALSE(Lamp.State().PanelHighlighted[0]);
}

TEST_F(LampAndParamPages, LampPanelHiddenOnlyForMixtureLampsWithANarrowbandInput) {
    OpenOffline(20, Lamp);
    struct Case {
        std::uint16_t Flags;
        bool Visible;
    };
    for (const Case c :
         {Case{0x0010, true}, Case{0x0014, false}, Case{0x0018, false}, Case{0x000C, true}}) {
        SCOPED_TRACE(c.Flags);
        Data().DeviceData.SetFlagsWord(c.Flags);
        Lamp.RefreshPage();
        EXPECT_EQ(Lamp.State().BoundPanelVisible, c.Visible);
    }
}

// Mixture lamps with a narrowband input hide the thresholds and the curve download button: the
// thresholds can then be neither selected nor stepped, and the button sends nothing.
TEST_F(LampAndParamPages, HiddenThresholdsAreNeitherSelectedNorStepped) {
    OpenOffline(30, Lamp);
    At(kGreen) = 164;
    Data().DeviceData.SetFlagsWord(0x0000);
    Lamp.RefreshPage();
    EXPECT_TRUE(Lamp.State().DownloadVisible);
    Press(Lamp, {vk::Tab, vk::Tab, vk::Tab});
    ASSERT_EQ(Lamp.State().Selected, 3);
    Data().DeviceData.SetFlagsWord(0x0014);  // mixture lamps, narrowband on input F
    Lamp.RefreshPage();
    EXPECT_FALSE(Lamp.State().BoundPanelVisible);
    EXPECT_FALSE(Lamp.State().DownloadVisible);
    EXPECT_EQ(Lamp.State().Selected, 0);
    Press(Lamp, {vk::Up, vk::PageUp});
    EXPECT_EQ(At(kGreen), 164);
    Press(Lamp, {vk::Tab});
    EXPECT_EQ(Lamp.State().Selected, 0) << "Tab stays on the curve";
    Lamp.ValuePanelClick(3);
    EXPECT_EQ(Lamp.State().Selected, 0);
    Press(Lamp, {vk::Up});
    EXPECT_EQ(At(kGreen), 164);
    EXPECT_TRUE(Lamp.State().Chart.CursorVisible);

    ASSERT_TRUE(Host.Controls().ShiftLampDefaultEnabled);
    Unit->ClearCounters();
    Lamp.FotoDownloadButtonClick();
    Clock.Advance(2000);
    EXPECT_EQ(Online->LinkState(), link::Idle);
    EXPECT_TRUE(Unit->WriteLog().empty()) << "a hidden button sends nothing";
}

TEST_F(LampAndParamPages, EveryStepKeyMovesTheCurveAndEachThresholdByOne) {
    OpenOffline(30, Lamp);
    ExpectStepKeys(Lamp, At(0xAF), 100);
    for (const std::size_t offset : {kRed, kYellow, kGreen}) {
        SCOPED_TRACE(offset);
        Press(Lamp, {vk::Tab});
        ExpectStepKeys(Lamp, At(offset), 150);
    }
}

TEST_F(LampAndParamPages, LampEditsOnlineAndTheLiveLamps) {
    GoOnline(30, Lamp);
    const std::uint8_t p0 = At(0xAF);
    Press(Lamp, {p0 == 0 ? vk::Up : vk::Down});
    Press(Lamp,
          {vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right,
           vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right});
    Press(Lamp, {At(0xA0) == 0 ? vk::Up : vk::Down});
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 2u);
    EXPECT_EQ(Unit->WriteLog()[0].Address, 0xAF);
    EXPECT_EQ(Unit->WriteLog()[1].Address, 0xA0);
    EXPECT_EQ(Unit->Peek(2, 0xAF), At(0xAF));

    // A threshold write pauses the threshold keys for 200 ms.
    Unit->ClearCounters();
    At(kYellow) = 150;
    Press(Lamp, {vk::Tab, vk::Tab, vk::Up, vk::Up});
    EXPECT_EQ(At(kYellow), 151);
    Clock.Advance(250);
    Press(Lamp, {vk::Up});
    EXPECT_EQ(At(kYellow), 152);
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 2u);
    EXPECT_EQ(Unit->WriteLog()[1].Address, kYellow);
    EXPECT_EQ(Unit->Peek(2, kYellow), 152);

    std::array<std::uint8_t, 24> bytes{};
    bytes[0] = 0x28;  // lamp bits 3 and 5
    bytes[1] = 99;
    bytes[9] = 77;
    Lamp.ShowLiveFrame({TLiveLayout::Live24, bytes});
    const TLampFormState& s = Lamp.State();
    EXPECT_EQ(s.LampColours[0], 0xFF0000u);  // red lit
    EXPECT_EQ(s.LampColours[1], 0x808000u);  // yellow olive
    EXPECT_EQ(s.LampColours[2], 0x00FF00u);  // green lit
    EXPECT_EQ(s.RotGauge, 99);
    EXPECT_EQ(s.Chart.Marker, 77);
}

TEST_F(LampAndParamPages, ParameterRangesAndSteps) {
    OpenOffline(37, Param);
    SetPulse(500);
    Param.LoadFromImage();
    Press(Param, {vk::PageUp});
    EXPECT_EQ(Pulse(), 500);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    SetPulse(40);
    Param.LoadFromImage();
    Press(Param, {vk::Down});
    EXPECT_EQ(Pulse(), 47) << "firmware 37 counts at least 47 pulses";
    EXPECT_EQ(Param.State().Values[0], "47");
    EXPECT_EQ(Data().Detail[param::Pulse], 47);
    Data().DeviceData.Firmware = 36;
    SetPulse(40);
    Param.LoadFromImage();
    Press(Param, {vk::Down});
    EXPECT_EQ(Pulse(), 39);

    At(kIdleContact) = 0;
    At(kFullContact) = 100;
    Press(Param, {vk::Tab, vk::Up, vk::Tab, vk::Down});
    EXPECT_EQ(At(kIdleContact), 2);
    EXPECT_EQ(At(kFullContact), 110);
    EXPECT_EQ(Param.State().WOTPercent, "43.1% TPS");
    EXPECT_EQ(Param.State().WOTMarker, 103);
    At(kMaxOut) = 253;
    Press(Param, {vk::Tab, vk::Tab, vk::PageUp});
    EXPECT_EQ(At(kMaxOut), 255);
    At(kMaxOut) = 200;
    Press(Param, {vk::PageDown, vk::OemComma});
    EXPECT_EQ(At(kMaxOut), 200);
}

// Each value's hover text says what it sets, its unit, the range the keys keep and its steps.
TEST_F(LampAndParamPages, ParameterHoverTextsGiveRangeUnitAndSteps) {
    OpenOffline(37, Param);
    Param.LoadFromImage();
    const auto& tips = Param.State().Texts.Tips;
    EXPECT_EQ(tips[5],
              "Idle contact threshold\nUnit: raw throttle (255 = 100 %)\nRange: 2 .. 100\n"
              "Keys: ±1 with Up / Down, + / -, step keys ▲ A ▼ ?, ±15 with Page Up / Page Down");
    EXPECT_NE(tips[0].find("Range: 47 .. 500\n"), std::string::npos) << tips[0];
    EXPECT_NE(tips[1].find("Range: 0 .. 255\n"), std::string::npos) << tips[1];
    EXPECT_NE(tips[2].find("Range: 200 .. 255\nKeys: ±1 with Up / Down, + / -, step keys ▲ A ▼ ?, "
                           "±5 with"),
              std::string::npos)
        << tips[2];
    EXPECT_NE(tips[3].find("Range: 0 .. 30\n"), std::string::npos) << tips[3];
    // The unit's hint leads, but not where it has none in the language: "..." says nothing.
    EXPECT_EQ(tips[3].rfind("Acceleration factor\nUnit: counts\n", 0), 0u) << tips[3];
    EXPECT_EQ(tips[4].rfind("How fast the acceleration value will get back to zero after TPS is "
                            "not accelerating.\n\nRetard speed\n",
                            0),
              0u)
        << tips[4];
    EXPECT_NE(tips[4].find("Range: 0 .. 50\n"), std::string::npos) << tips[4];
    EXPECT_NE(tips[7].find("Range: 0 .. 255\nKeys: ±1 with Up / Down, + / -, step keys ▲ A ▼ ?, "
                           "±15 with"),
              std::string::npos)
        << tips[7];
    Data().DeviceData.Firmware = 36;
    Param.SetLanguage(Language::German);
    EXPECT_NE(tips[0].find("Bereich: 32 .. 500\n"), std::string::npos) << tips[0];
    EXPECT_EQ(tips[3].rfind("Stellt die Hubhöhe des Signals ein\n\nBeschleunigungsfaktor\n", 0), 0u)
        << tips[3];
    EXPECT_EQ(tips[6],
              "Schwelle Vollastkontakt\nEinheit: Drosselklappe roh (255 = 100 %)\n"
              "Bereich: 110 .. 231\n"
              "Tasten: ±1 mit Pfeil hoch / runter, + / -, Schritt-Tasten ▲ A ▼ ?, "
              "±15 mit Bild auf / Bild ab");
}

// The thresholds' texts give their rpm range (50 is 1960 rpm, 254 is 9960 rpm), and every page
// that honours the step keys names the ones the operator assigns last.
TEST_F(LampAndParamPages, LampHoverTextsAndStepKeysAssignedLater) {
    OpenOffline(37, Lamp);
    const auto& tips = Lamp.State().Texts.ThresholdTips;
    EXPECT_EQ(tips[0], "Switching speed of the lamp Red\nUnit: rpm (one step 39 rpm)\n"
                       "Range: 1960 .. 9960\nKeys: ±1 with Up / Down, + / -, step keys ▲ A ▼ ?, "
                       "±15 with Page Up / Page Down");
    // The chart shows the brightness in percent: one count is 0.39 %, fifteen are 5.88 %.
    EXPECT_EQ(Lamp.State().Texts.CurveTip,
              "Lamp brightness at the curve point (over the photo resistor)\nUnit: % brightness\n"
              "Range: 0 .. 100\nKeys: ±0.39 with Up / Down, + / -, step keys ▲ A ▼ ?, "
              "±5.88 with Page Up / Page Down");
    Form.SetPage(9, &Lamp);
    Form.SetPage(6, &Param);
    Keys.KeyUpSmallCode = 75;  // K
    Keys.KeyDownSmallCode = 76;
    Form.StepKeysChanged();
    EXPECT_NE(tips[2].find("step keys ▲ K ▼ L, "), std::string::npos) << tips[2];
    EXPECT_NE(Param.State().Texts.Tips[5].find("step keys ▲ K ▼ L, "), std::string::npos);
    Form.ApplyLanguage(Language::German);
    EXPECT_NE(tips[1].find("Bereich: 1960 .. 9960\nTasten: ±1 mit Pfeil hoch / runter, + / -, "
                           "Schritt-Tasten ▲ K ▼ L, ±15 mit Bild auf / Bild ab"),
              std::string::npos)
        << tips[1];
    EXPECT_NE(Lamp.State().Texts.CurveTip.find(
                  "Einheit: % Helligkeit\nBereich: 0 .. 100\n"
                  "Tasten: ±0.39 mit Pfeil hoch / runter, + / -, Schritt-Tasten ▲ K ▼ L, "
                  "±5.88 mit Bild auf / Bild ab"),
              std::string::npos)
        << Lamp.State().Texts.CurveTip;
}

TEST_F(LampAndParamPages, TabCycleAndGroupsByFirmware) {
    OpenOffline(20, Param);
    std::vector<int> walk;
    for (int i = 0; i < 4; ++i) {
        Press(Param, {vk::Tab});
        walk.push_back(Param.State().Selected);
    }
    EXPECT_EQ(walk, (std::vector<int>{5, 6, 0, 5}));
    EXPECT_FALSE(Param.State().OutputAtZeroVisible);

    Data().DeviceData.Firmware = 21;
    Param.LoadFromImage();
    EXPECT_TRUE(Param.State().OutputAtZeroVisible);

    struct Case {
        int Firmware;
        bool Accel, MaxOut, PinL;
    };
    for (const Case c :
         {Case{25, false, false, false}, Case{26, true, false, false},
          Case{27, false, false, false}, Case{28, true, false, false}, Case{29, true, false, false},
          Case{30, true, true, false}, Case{31, true, true, false}, Case{32, true, true, true}}) {
        SCOPED_TRACE(c.Firmware);
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(c.Firmware);
        Param.LoadFromImage();
        EXPECT_EQ(Param.State().AccelVisible, c.Accel);
        EXPECT_EQ(Param.State().MaxOutVisible, c.MaxOut);
        EXPECT_EQ(Param.State().PinLVisible, c.PinL);
    }
    const std::uint16_t flags = Data().DeviceData.FlagsWord();
    Param.DigOut_L_FuncSpeedButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), flags ^ 0x80);
    EXPECT_EQ(Param.State().Texts.PinLLabel, "50Hz pulse speed sim signal");
    Data().DeviceData.Firmware = 31;
    Param.LoadFromImage();
    Param.DigOut_L_FuncSpeedButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), flags ^ 0x80) << "pin L has no function before 32";
}

// Tab walks only what is on view: output at zero from 21, acceleration and the scaling curve at
// 26 and from 28, maximum output from 30.
TEST_F(LampAndParamPages, TabSkipsHiddenParametersOnBothSidesOfEachSwitch) {
    OpenOffline(20, Param);
    struct Case {
        int Firmware;
        std::vector<int> Walk;  // from the pulse panel back to it
    };
    const std::vector<Case> cases = {{20, {5, 6, 0}},
                                     {21, {5, 6, 1, 0}},
                                     {25, {5, 6, 1, 0}},
                                     {26, {5, 6, 1, 3, 4, 7, 0}},
                                     {27, {5, 6, 1, 0}},
                                     {28, {5, 6, 1, 3, 4, 7, 0}},
                                     {29, {5, 6, 1, 3, 4, 7, 0}},
                                     {30, {5, 6, 1, 2, 3, 4, 7, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Firmware);
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(c.Firmware);
        Param.LoadFromImage();
        Param.ValuePanelClick(0);
        std::vector<int> walk;
        for (std::size_t i = 0; i < c.Walk.size(); ++i) {
            Press(Param, {vk::Tab});
            walk.push_back(Param.State().Selected);
        }
        EXPECT_EQ(walk, c.Walk);
    }
}

// An item that a data set of an older unit hides can be neither clicked nor stepped, even when
// it was selected before that data set came.
TEST_F(LampAndParamPages, HiddenParametersAreNeitherSelectedNorStepped) {
    OpenOffline(30, Param);
    At(kMaxOut) = 220;
    At(kZeroRpm) = 100;
    Param.ValuePanelClick(2);
    ASSERT_EQ(Param.State().Selected, 2);
    Data().DeviceData.Firmware = 29;
    Param.LoadFromImage();
    EXPECT_NE(Param.State().Selected, 2);
    Data().DeviceData.ChangedOffline = 0;
    Press(Param, {vk::Up, vk::PageUp});
    EXPECT_EQ(At(kMaxOut), 220);
    Param.ValuePanelClick(2);
    EXPECT_NE(Param.State().Selected, 2);
    Press(Param, {vk::Down});
    EXPECT_EQ(At(kMaxOut), 220);

    Data().DeviceData.Firmware = 20;
    Param.LoadFromImage();
    Param.ValuePanelClick(1);
    Press(Param, {vk::Up});
    EXPECT_EQ(At(kZeroRpm), 100) << "output at zero rpm is hidden up to 20";
    EXPECT_EQ(Param.State().Selected, 0);
}

TEST_F(LampAndParamPages, EveryStepKeyMovesEveryParameterByOne) {
    OpenOffline(30, Param);
    struct Case {
        int Item;
        std::size_t Offset;
        int Mid;
    };
    for (const Case c : {Case{1, kZeroRpm, 100}, Case{2, kMaxOut, 220}, Case{3, 17, 15},
                         Case{4, 19, 25}, Case{5, kIdleContact, 50}, Case{6, kFullContact, 170}}) {
        SCOPED_TRACE(c.Item);
        Param.ValuePanelClick(c.Item);
        ExpectStepKeys(Param, At(c.Offset), c.Mid);
    }
    Param.PointClick(3);
    ExpectStepKeys(Param, At(159 - 3), 100);
    Data().DeviceData.Firmware = 37;  // the word holds the count itself
    Param.LoadFromImage();
    Param.ValuePanelClick(0);
    ExpectStepKeys(Param, At(0), 116);
}

// A word that decodes beyond 16 bits (trunc(1529984 / 1) at 9..36) shows as out of range,
// the most a 16-bit count can say, and the first step puts it into 32..500.
TEST_F(LampAndParamPages, PulseWordBeyondSixteenBitsShowsOutOfRange) {
    OpenOffline(9, Param);
    At(0) = 0xFE;
    At(1) = 0xFF;
    Param.LoadFromImage();
    EXPECT_EQ(Param.State().Values[0], "65535");
    Press(Param, {vk::Down});
    EXPECT_EQ(Param.State().Values[0], "500");
    EXPECT_EQ(Pulse(), 500);
    Data().DeviceData.Firmware = 36;
    At(0) = 0xFE;
    At(1) = 0xFF;
    Param.LoadFromImage();
    EXPECT_EQ(Param.State().Values[0], "65535");
}

TEST_F(LampAndParamPages, SignedAccelerationAndScaledThrottleFromTheRecord) {
    OpenOffline(30, Param);
    std::array<std::uint8_t, 24> bytes{};
    bytes[2] = 60;
    bytes[17] = 0xF6;  // -10
    bytes[20] = 77;
    Param.ShowLiveFrame({TLiveLayout::Live24, bytes});
    EXPECT_EQ(Param.State().AccelValue, "-10");
    EXPECT_EQ(Param.State().AccelGauge, 118);
    EXPECT_TRUE(Param.State().AccelNegative);
    EXPECT_EQ(Param.State().AdcInput, "60");
    EXPECT_EQ(Param.State().AdcScaled, "77");
    EXPECT_EQ(Param.State().Chart.Marker, 60);
    bytes[17] = 0x7F;
    Param.ShowLiveFrame({TLiveLayout::Live24, bytes});
    EXPECT_EQ(Param.State().AccelValue, "127");
    EXPECT_EQ(Param.State().AccelGauge, 255);
    EXPECT_FALSE(Param.State().AccelNegative);
    bytes[17] = 0x80;
    Param.ShowLiveFrame({TLiveLayout::Live24, bytes});
    EXPECT_EQ(Param.State().AccelValue, "-128");
    EXPECT_EQ(Param.State().AccelGauge, 0);
}

TEST_F(LampAndParamPages, ParameterWritesOnlineWithTheirPause) {
    GoOnline(30, Param);
    At(kZeroRpm) = 100;
    Press(Param, {vk::Tab, vk::Tab, vk::Tab, vk::Up, vk::Up});
    EXPECT_EQ(At(kZeroRpm), 101) << "the second step within 200 ms is ignored";
    Clock.Advance(250);
    Press(Param, {vk::Up});
    EXPECT_EQ(At(kZeroRpm), 102);
    Press(Param, {vk::Tab, vk::Tab, vk::Tab, vk::Tab});  // to the scaling curve
    EXPECT_EQ(Param.State().Selected, 7);
    Press(Param, {vk::Right, vk::Right, vk::Right});
    const std::uint8_t before = At(0x9C);
    Clock.Advance(250);
    Press(Param, {before == 0 ? vk::Up : vk::Down});
    EXPECT_NE(At(0x9C), before);
    Clock.Advance(1000);
    // A write still waiting is replaced by a newer one of the same byte.
    const auto& log = Unit->WriteLog();
    ASSERT_GE(log.size(), 2u);
    for (const auto& write : log)
        EXPECT_TRUE(write.Address == kZeroRpm || write.Address == 0x9C) << write.Address;
    EXPECT_EQ(log.back().Address, 0x9C);
    EXPECT_EQ(Unit->Peek(2, 0x9C), At(0x9C));
    EXPECT_EQ(Unit->Peek(2, kZeroRpm), 102);
    EXPECT_EQ(Data().Lin[lin::TpsScale][12], At(0x9C)) << "edit fields follow the curve";

    // Contacts away from their defaults, in the unit too.
    At(kIdleContact) = 50;
    At(kFullContact) = 150;
    ImageBytes unit = Unit->ImageSnapshot();
    unit[kIdleContact] = 50;
    unit[kFullContact] = 150;
    Unit->LoadImage(unit);
    Unit->ClearCounters();
    Clock.Advance(250);
    Param.ContactDefaultSpeedButtonClick();
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 2u);
    EXPECT_EQ(Unit->Peek(2, kIdleContact), 34);
    EXPECT_EQ(Unit->Peek(2, kFullContact), 170);
    EXPECT_EQ(Data().Detail[param::ContactIdle], 34) << "edit fields follow the defaults";
}

TEST_F(LampAndParamPages, PotentiometerAidAndContacts) {
    OpenOffline(30, Param);
    struct Case {
        std::uint8_t Throttle;
        std::uint32_t Low, Mid, High;
    };
    for (const Case c :
         {Case{30, 0xFF0000, 0x008000, 0x800000}, Case{31, 0x800000, 0x00FF00, 0x800000},
          Case{32, 0x800000, 0x00FF00, 0x800000}, Case{34, 0x800000, 0x00FF00, 0x800000},
          Case{35, 0x800000, 0x008000, 0xFF0000}}) {
        SCOPED_TRACE(c.Throttle);
        std::array<std::uint8_t, 24> bytes{};
        bytes[2] = c.Throttle;
        bytes[0] = 0x40;  // idle contact
        Param.ShowLiveFrame({TLiveLayout::Live24, bytes});
        EXPECT_EQ(Param.State().LowArrow, c.Low);
        EXPECT_EQ(Param.State().MidShape, c.Mid);
        EXPECT_EQ(Param.State().HighArrow, c.High);
        EXPECT_EQ(Param.State().IdleShape, 0x00FF00u);
        EXPECT_EQ(Param.State().WOTShape, 0x808000u);
    }
    std::array<std::uint8_t, 11> old{};
    old[1] = 40;
    old[7] = 0x80;  // full-load contact in the oldest layout
    Param.ShowLiveFrame({TLiveLayout::Live11, old});
    EXPECT_EQ(Param.State().Throttle, 40);
    EXPECT_EQ(Param.State().IdleShape, 0x008000u);
    EXPECT_EQ(Param.State().WOTShape, 0xFFFF00u);
}

TEST_F(LampAndParamPages, PercentKeepsThePointUnderAGermanLocale) {
    GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale installed";
    OpenOffline(37, Param);
    At(kIdleContact) = 34;   // 13.33 %
    At(kFullContact) = 110;  // 43.14 %
    Param.LoadFromImage();
    EXPECT_EQ(Param.State().IdlePercent, "13.3% TPS");
    EXPECT_EQ(Param.State().WOTPercent, "43.1% TPS");
}

}  // namespace
}  // namespace zv::test
