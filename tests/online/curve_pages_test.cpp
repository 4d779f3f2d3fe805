// The correction curve pages against the simulated unit on virtual time: the mode-dependent
// limits, the members' key sets and value texts, and where each change lands in the unit.
#include "editors/curve_form.h"
#include "german_locale.h"
#include "page_fixture.h"

namespace zv::test {
namespace {

constexpr std::size_t kTempPoint0 = 191;  // point p at 176 + 15 - p
constexpr std::size_t kIdlePoint0 = 223;

class CurvePages : public PageTest {
  protected:
    void SetMode(int bit, bool additive) {
        std::uint16_t flags = Data().DeviceData.FlagsWord();
        if (additive)
            TZVDataClass::SetFlag(flags, bit);
        else
            TZVDataClass::ClearFlag(flags, bit);
        Data().DeviceData.SetFlagsWord(flags);
    }
    TTempForm Temp{Host};
    TGPForm GP{Host};
    TIdleForm Idle{Host};
    TIdleOldForm IdleOld{Host};
};

TEST_F(CurvePages, MultiplicativeAndAdditiveLimitsAndTheModeSwitchOverStoredBytes) {
    OpenOffline(30, Temp);
    SetMode(5, false);
    Temp.LoadFromImage();
    At(kTempPoint0) = 185;
    Press(Temp, {vk::PageUp});
    EXPECT_EQ(At(kTempPoint0), 191);
    EXPECT_EQ(Temp.State().ManValue, "4.00");
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    Data().DeviceData.ChangedOffline = 0;
    Press(Temp, {vk::Up, vk::NumPlus, vk::OemPlus, vk::OemPeriod, vk::OemCloseBracket, vk::PageUp});
    EXPECT_EQ(At(kTempPoint0), 191);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "a step that changes nothing marks nothing";

    SetMode(5, true);
    Temp.LoadFromImage();
    At(kTempPoint0) = 250;
    Press(Temp, {vk::PageUp});
    EXPECT_EQ(At(kTempPoint0), 255);
    EXPECT_EQ(Temp.State().ManValue, "100");
    EXPECT_EQ(Temp.State().Texts.MultAddButton, "ADD(+)");

    // Back to multiplicative with 220 stored: read as a factor, not converted.
    At(kTempPoint0) = 220;
    Temp.MultAddButtonClick();
    EXPECT_FALSE(TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), 5));
    EXPECT_EQ(Data().Detail[param::TempAddMultSel], 0) << "edit fields follow the flags";
    EXPECT_EQ(At(kTempPoint0), 220);
    EXPECT_EQ(Temp.State().ManValue, "4.46");
    EXPECT_EQ(Temp.State().Chart.MaxValue, 191);
    Press(Temp, {vk::OemPlus});
    EXPECT_EQ(At(kTempPoint0), 220);
    Press(Temp, {vk::OemMinus});
    EXPECT_EQ(At(kTempPoint0), 219);
    Press(Temp, {vk::PageUp});
    EXPECT_EQ(At(kTempPoint0), 191);
    EXPECT_EQ(Data().Lin[lin::TempControl][15], 191) << "edit fields follow the curve";
}

TEST_F(CurvePages, CursorStopsAtBothEnds) {
    OpenOffline(30, GP);
    Press(GP, {vk::Left});
    EXPECT_EQ(GP.State().Chart.Cursor, 0);
    for (int i = 0; i < 20; ++i)
        Press(GP, {vk::Right});
    EXPECT_EQ(GP.State().Chart.Cursor, 15);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
}

TEST_F(CurvePages, ModeButtonFromFirmware15) {
    for (const auto& [firmware, shown] : {std::pair{14, false}, std::pair{15, true}}) {
        SCOPED_TRACE(firmware);
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        Temp.ShowPage();
        GP.ShowPage();
        EXPECT_EQ(Temp.State().MultAddVisible, shown);
        EXPECT_EQ(GP.State().MultAddVisible, shown);
    }
    const std::uint16_t before = Data().DeviceData.FlagsWord();
    Data().DeviceData.Firmware = 14;
    GP.ShowPage();
    GP.MultAddButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord(), before) << "a hidden button does nothing";
}

// A data set opened while the page is on view brings its own mode and firmware with it.
TEST_F(CurvePages, ModeButtonFollowsADataSetOpenedWhileOnView) {
    OpenOffline(30, GP);
    SetMode(6, false);
    GP.ShowPage();
    ASSERT_FALSE(GP.State().MultAddDown);
    SetMode(6, true);
    GP.LoadFromImage();
    EXPECT_TRUE(GP.State().MultAddDown);
    EXPECT_EQ(GP.State().Texts.MultAddButton, "ADD(+)");
    SetMode(6, false);
    GP.LoadFromImage();
    EXPECT_FALSE(GP.State().MultAddDown);
    Data().DeviceData.Firmware = 14;
    GP.LoadFromImage();
    EXPECT_FALSE(GP.State().MultAddVisible);
    Data().DeviceData.Firmware = 15;
    GP.LoadFromImage();
    EXPECT_TRUE(GP.State().MultAddVisible);
}

// The general-purpose curve has its own mode bit (6) and reads input E (byte 7) with its
// correction (byte 8).
TEST_F(CurvePages, GeneralPurposeModeBitAndLiveBytes) {
    OpenOffline(30, GP);
    SetMode(5, false);
    SetMode(6, false);
    GP.ShowPage();
    GP.MultAddButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord() & 0x60, 0x40);
    EXPECT_TRUE(GP.State().MultAddDown);
    GP.MultAddButtonClick();
    EXPECT_EQ(Data().DeviceData.FlagsWord() & 0x60, 0x00);
    SetMode(5, true);  // the temperature curve's bit leaves this page multiplicative
    GP.LoadFromImage();
    EXPECT_EQ(GP.State().Chart.MaxValue, 191);

    std::array<std::uint8_t, 24> bytes{};
    bytes[5] = 11;
    bytes[6] = 22;
    bytes[7] = 90;
    bytes[8] = 0;  // factor 1.00
    GP.ShowLiveFrame({TLiveLayout::Live24, bytes});
    EXPECT_EQ(GP.State().Chart.Marker, 90);
    EXPECT_EQ(GP.State().AutoValue, "1.00");
    bytes[8] = 191;
    GP.ShowLiveFrame({TLiveLayout::Live18, std::span(bytes).first(18)});
    EXPECT_EQ(GP.State().AutoValue, "4.00");
}

TEST_F(CurvePages, EveryStepKeyMovesAMidRangePointByOne) {
    OpenOffline(30, Temp);
    SetMode(5, false);
    SetMode(6, true);
    for (TCurveForm* page : std::initializer_list<TCurveForm*>{&Temp, &GP, &Idle}) {
        SCOPED_TRACE(page->Member().Base);
        page->ShowPage();
        page->PointClick(4);
        ExpectStepKeys(*page, At(page->Member().Base + 15 - 4), 100);
    }
    // The old idle page knows only Up, numeric-pad plus and plus; Down, numeric-pad minus
    // and minus.
    IdleOld.ShowPage();
    IdleOld.PointClick(4);
    ExpectEachKeySteps(IdleOld, At(208 + 15 - 4), 100, std::array<std::uint8_t, 3>{38, 107, 187},
                       1);
    ExpectEachKeySteps(IdleOld, At(208 + 15 - 4), 100, std::array<std::uint8_t, 3>{40, 109, 189},
                       -1);
    ExpectEachKeySteps(IdleOld, At(208 + 15 - 4), 100,
                       std::array<std::uint8_t, 6>{190, 221, 188, 219, 33, 34}, 0);
}

TEST_F(CurvePages, IdleValuesAndTheMembersKeySets) {
    OpenOffline(30, Idle);
    for (const auto& [b, text] :
         {std::pair{128, "0"}, std::pair{0, "-100"}, std::pair{255, "100"}}) {
        At(kIdlePoint0) = static_cast<std::uint8_t>(b);
        Idle.LoadFromImage();
        EXPECT_EQ(Idle.State().ManValue, text);
    }
    At(kIdlePoint0) = 100;
    Press(Idle, {65, vk::OemOpenBracket});
    EXPECT_EQ(At(kIdlePoint0), 100) << "the configured up key steps the idle curve";
    Press(Idle, {65});
    EXPECT_EQ(At(kIdlePoint0), 101);

    At(kTempPoint0) = 100;
    Temp.ShowPage();
    Press(Temp, {65, 63});
    EXPECT_EQ(At(kTempPoint0), 100) << "the temperature curve ignores the configured keys";

    // The old idle page knows the plain plus and minus keys only.
    IdleOld.ShowPage();
    Press(IdleOld,
          {vk::PageUp, vk::PageDown, vk::OemPeriod, vk::OemComma, vk::OemCloseBracket, 65});
    EXPECT_EQ(At(kIdlePoint0), 101);
    Press(IdleOld, {vk::Up, vk::NumPlus, vk::OemPlus, vk::Down});
    EXPECT_EQ(At(kIdlePoint0), 103);
    EXPECT_EQ(Data().Lin[lin::IdleControl][15], 103)
        << "the old page refreshes the edit fields too";
    EXPECT_TRUE(IdleOld.State().ManValue.empty());
}

TEST_F(CurvePages, OnlineEditsLandAtEachCurvesAddresses) {
    GoOnline(30, Temp);
    GP.ShowPage();
    Idle.ShowPage();
    Press(GP,
          {vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right,
           vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right, vk::Right});
    struct Case {
        TCurveForm* Page;
        std::uint16_t Address;
    };
    for (const Case& c : {Case{&Temp, 0xBF}, Case{&GP, 0xC0}, Case{&Idle, 0xDF}}) {
        SCOPED_TRACE(c.Address);
        Unit->ClearCounters();
        const std::uint8_t before = At(c.Address);
        Press(*c.Page, {before == 0 ? vk::Up : vk::Down});
        Clock.Advance(1000);
        ASSERT_EQ(Unit->WriteLog().size(), 1u);
        EXPECT_EQ(Unit->WriteLog()[0].Address, c.Address);
        EXPECT_EQ(Unit->Peek(2, c.Address), At(c.Address));
        EXPECT_NE(At(c.Address), before);
    }
    Unit->ClearCounters();
    Temp.MultAddButtonClick();
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 2u);
    EXPECT_EQ(Unit->WriteLog()[0].Address, 4);
    EXPECT_EQ(Unit->WriteLog()[1].Address, 5);
    EXPECT_EQ(Unit->Peek(2, 4), Data().DeviceData.FlagsWord() & 0xFF);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
}

TEST_F(CurvePages, LiveRecordsMoveTheMarkerAndShowTheOutput) {
    GoOnline(30, Idle);
    EXPECT_TRUE(Idle.State().Chart.MarkerVisible);
    EXPECT_FALSE(IdleOld.State().Chart.MarkerVisible);
    std::array<std::uint8_t, 24> bytes{};
    bytes[3] = 40;   // idle valve position
    bytes[4] = 128;  // idle output
    bytes[5] = 70;   // input F
    bytes[6] = 191;  // its correction
    const TLiveRecord record{TLiveLayout::Live24, bytes};
    Idle.ShowLiveFrame(record);
    Temp.ShowLiveFrame(record);
    EXPECT_EQ(Idle.State().Chart.Marker, 40);
    EXPECT_EQ(Idle.State().AutoValue, "0");
    EXPECT_EQ(Temp.State().Chart.Marker, 70);
    EXPECT_EQ(Temp.State().AutoValue, "4.00");
}

TEST_F(CurvePages, DownloadButtonsSendExactlyTheirCurve) {
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    ASSERT_TRUE(Host.Controls().TransferButtonsEnabled);
    struct Case {
        TCurveForm* Page;
        std::uint16_t First;
    };
    for (const Case& c : {Case{&Idle, 208}, Case{&Temp, 176}, Case{&GP, 192}}) {
        SCOPED_TRACE(c.First);
        Unit->ClearCounters();
        c.Page->DownloadButtonClick();
        ASSERT_TRUE(RunUntilState(link::Idle, 60000));
        const auto& log = Unit->WriteLog();
        ASSERT_EQ(log.size(), 16u);
        for (std::size_t k = 0; k < 16; ++k) {
            EXPECT_EQ(log[k].Address, c.First + k);
            EXPECT_EQ(log[k].Data, At(c.First + k));
        }
    }
    IdleOld.DownloadButtonClick();
    Clock.Advance(2000);
    EXPECT_EQ(Online->LinkState(), link::Idle) << "the old idle page has no download";
}

TEST_F(CurvePages, FactorsKeepThePointUnderAGermanLocale) {
    GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale installed";
    OpenOffline(30, Temp);
    SetMode(5, false);
    Temp.LoadFromImage();
    At(kTempPoint0) = 185;
    Press(Temp, {vk::PageUp});
    EXPECT_EQ(Temp.State().ManValue, "4.00");
}

// A point's text gives the range and the steps as the page shows the current mode (one count is
// 3 / 191 of a factor, 100 / 255 %, or 200 / 255 % of idle compensation), the Page step of 15
// where the page has one, and the step keys among the keys only on the idle page; the other
// pages name them as keys that do nothing there.
TEST_F(CurvePages, PointHoverTextsFollowModeAndKeySet) {
    OpenOffline(30, Temp);
    SetMode(5, false);
    Temp.LoadFromImage();
    EXPECT_EQ(Temp.State().Texts.PointTip,
              "Temperature correction at the curve point (input pin F)\n"
              "Unit: factor\nRange: 1.00 .. 4.00\n"
              "Keys: ±0.016 with Up / Down, + / -, ±0.236 with Page Up / Page Down\n"
              "Step keys ▲ A ▼ ? do not act here");
    GP.RefreshPage();
    EXPECT_NE(GP.State().Texts.PointTip.find("with Page Up / Page Down\nStep keys ▲ A ▼ ? do not"),
              std::string::npos)
        << GP.State().Texts.PointTip;
    Temp.MultAddButtonClick();
    EXPECT_NE(Temp.State().Texts.PointTip.find("Unit: % (additive)\nRange: 0 .. 100\n"
                                               "Keys: ±0.39 with Up / Down, + / -, ±5.88 with"),
              std::string::npos)
        << Temp.State().Texts.PointTip;
    Idle.LoadFromImage();
    EXPECT_NE(Idle.State().Texts.PointTip.find(
                  "Unit: % compensation\nRange: -100 .. 100\n"
                  "Keys: ±0.78 with Up / Down, + / -, step keys ▲ A ▼ ?, ±11.76 with Page Up"),
              std::string::npos)
        << Idle.State().Texts.PointTip;
    EXPECT_EQ(Idle.State().Texts.PointTip.find("act here"), std::string::npos);
    IdleOld.SetLanguage(Language::German);
    EXPECT_EQ(IdleOld.State().Texts.PointTip.substr(IdleOld.State().Texts.PointTip.find("Bereich")),
              "Bereich: -100 .. 100\nTasten: ±0.78 mit Pfeil hoch / runter, + / -\n"
              "Schritt-Tasten ▲ A ▼ ? wirken hier nicht");
}

}  // namespace
}  // namespace zv::test
