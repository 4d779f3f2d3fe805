#include "online_fixture.h"

#include "app/main_form_model.h"
#include "data/parameter_table.h"
#include "link/port_name.h"
#include "paced/paced_sim_port.h"

namespace zv::test {
namespace {

constexpr std::uint16_t kFlags = img::FlagsWord;

TEST_F(OnlineTest, DashboardFollowsEveryLayout) {
    for (int fw : {8, 9, 23, 24, 36, 37}) {
        SCOPED_TRACE(fw);
        AttachUnit(fw, fw <= 8 ? 1 : fw <= 23 ? 2 : fw <= 36 ? 3 : 4);
        std::vector<std::size_t> lengths;
        Online->RecordArrived = [&](const TLiveRecord& record) { lengths.push_back(record.Bytes.size()); };
        Online->StartSequence(TSequence::Main, link::Connect);
        ASSERT_TRUE(RunUntilState(link::RunOnline, 30000));
        Clock.Advance(2000);
        ASSERT_FALSE(lengths.empty());
        const std::size_t expected = fw <= 8 ? 11 : fw <= 23 ? 18 : fw <= 36 ? 24 : 28;
        EXPECT_EQ(lengths.front(), expected);
        const TDashboardState& dash = Online->Dashboard();
        EXPECT_FALSE(dash.RotDispPanel.empty());
        EXPECT_FALSE(dash.PotiDispPanel.empty());
        // The engine model idles above 500 rpm at the start of its cycle.
        EXPECT_GT(dash.RotDispGauge, 10);

        Online->StartSequence(TSequence::Main, link::CancelOnline);
        ASSERT_TRUE(RunUntilState(link::Idle, 5000));
        EXPECT_EQ(Online->Dashboard().RotDispGauge, 0) << "the display rests offline";
        EXPECT_TRUE(Online->Dashboard().RotDispPanel.empty());
        Data().DeviceData.DeviceValid = 0;
    }
}

TEST_F(OnlineTest, F9WhileOnlineSendsTheFlagsWordAndTheStreamGoesOn) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Clock.Advance(1000);
    const bool idleBefore = Online->Controls().F9.Down;
    Unit->ClearCounters();
    const int recordsBefore = Records;
    Online->DispatchKey(key::F9);
    EXPECT_NE(Online->Controls().F9.Down, idleBefore);
    Clock.Advance(1000);
    const auto& log = Unit->WriteLog();
    ASSERT_EQ(log.size(), 2u) << "one two-byte write";
    EXPECT_EQ(log[0].Area, 2);
    EXPECT_EQ(log[0].Address, kFlags);
    EXPECT_EQ(log[1].Address, kFlags + 1);
    EXPECT_EQ(Unit->Peek(2, kFlags), Data().DeviceData.Image[kFlags]);
    EXPECT_EQ(Unit->Peek(2, kFlags + 1), Data().DeviceData.Image[kFlags + 1]);
    EXPECT_EQ(TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), 0), !idleBefore);
    EXPECT_EQ(Data().Detail[param::IdleControl], idleBefore ? 0 : 1) << "edit fields follow the image";
    EXPECT_GT(Records, recordsBefore + 5);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    EXPECT_TRUE(Main.Modified());
}

TEST_F(OnlineTest, F9OfflineMarksTheChangeAndWarnsBeforeConnecting) {
    AttachUnit(30);
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    ASSERT_TRUE(Online->Controls().F9.Enabled);
    const std::uint16_t before = Data().DeviceData.FlagsWord();
    Online->DispatchKey(key::F9);
    EXPECT_NE(Data().DeviceData.FlagsWord(), before);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    Clock.Advance(1000);
    EXPECT_TRUE(Unit->WriteLog().empty());
    EXPECT_EQ(Unit->RequestCount(0x16), 0u) << "nothing was sent";

    Online->DispatchKey(key::F5);
    ASSERT_FALSE(Dialogs.Boxes.empty());
    EXPECT_EQ(Dialogs.Boxes[0].Caption, "Information");
    EXPECT_EQ(Dialogs.Boxes[0].Text, "Data Changed");
}

TEST_F(OnlineTest, F10ReleasesF11AndLeavesItsBit) {
    Main.CreateNewDataSet("car.zvt");
    Data().DeviceData.Firmware = 38;
    std::uint16_t flags = Data().DeviceData.FlagsWord();
    for (int bit : {3, 2, 8, 10}) TZVDataClass::SetFlag(flags, bit);  // E narrowband, F wideband, F11 on
    TZVDataClass::ClearFlag(flags, 9);
    TZVDataClass::ClearFlag(flags, 1);
    Data().DeviceData.SetFlagsWord(flags);
    Main.FlagsToInputSelections(flags);
    StartIdle();
    Online->RefreshControls();
    ASSERT_TRUE(Online->Controls().F10.Visible);
    ASSERT_TRUE(Online->Controls().F11.Visible);
    ASSERT_TRUE(Online->Controls().F11.Down);
    EXPECT_EQ(Online->Controls().LoggerPanelTop, 195 + 47 + 47);

    Online->DispatchKey(key::F10);
    EXPECT_TRUE(Online->Controls().F10.Down);
    EXPECT_FALSE(Online->Controls().F11.Down);
    EXPECT_TRUE(TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), 1));
    EXPECT_TRUE(TZVDataClass::TestFlag(Data().DeviceData.FlagsWord(), 10)) << "the released key's bit stays";
    EXPECT_TRUE(Online->Controls().LambdaMenuChecked);
}

// Controls that follow the working data set's firmware, on both sides of each switch. The flags
// give input E the narrowband function (bit 3), input F the wideband one (bits 2 and 8), pin L
// the 50 Hz pulse (bit 7) and switch the wideband controller on (bit 10).
TEST_F(OnlineTest, ControlsFollowTheFirmware) {
    Main.CreateNewDataSet("car.zvt");
    StartIdle();
    // Up through the switches, then back below the newest one: nothing may stay from before.
    for (int fw : {8, 9, 10, 11, 26, 27, 31, 32, 34, 35, 36, 37, 38, 31}) {
        SCOPED_TRACE(fw);
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(fw);
        std::uint16_t flags = 0;
        for (int bit : {2, 3, 7, 8, 10})
            TZVDataClass::SetFlag(flags, bit);
        Data().DeviceData.SetFlagsWord(flags);
        Main.FlagsToInputSelections(flags);
        Online->RefreshControls();
        const TMainControls& c = Online->Controls();
        EXPECT_EQ(c.SitesButtonVisible, fw >= 9);
        EXPECT_EQ(c.F10.Visible, fw >= 11);
        EXPECT_EQ(c.WideBandPanelVisible, fw >= 27);
        EXPECT_EQ(c.F11.Visible, fw == 35 || fw >= 38);
        EXPECT_EQ(c.F11.Enabled, fw == 35 || fw >= 38);
        EXPECT_EQ(c.IdleContactShows50Hz, fw >= 32);
    }
}

TEST_F(OnlineTest, KeysThatAreNotAllowedDoNothing) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    EXPECT_FALSE(Online->Controls().F7.Enabled);
    Online->DispatchKey(key::F7);
    Clock.Advance(500);
    EXPECT_EQ(Online->LinkState(), link::RunOnline) << "F7 is disabled while running online";
    EXPECT_FALSE(Online->Controls().F10.Visible);
    const std::uint16_t flags = Data().DeviceData.FlagsWord();
    Online->DispatchKey(key::F10);
    EXPECT_EQ(Data().DeviceData.FlagsWord(), flags) << "F10 is hidden without a narrowband input";

    std::vector<int> pageKeys;
    Online->PageKey = [&](int k) { pageKeys.push_back(k); };
    Online->DispatchKey(38);
    EXPECT_EQ(pageKeys, std::vector<int>{38});
}

TEST_F(OnlineTest, LoggerButtonFollowsTheLogger) {
    AttachUnit(30);
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    Online->StartLogging = [] { return false; };
    Online->LoggerButtonClick();
    EXPECT_FALSE(Online->Controls().Logger.Down) << "a logger that cannot record releases the button";
    Online->StartLogging = [] { return true; };
    Online->LoggerButtonClick();
    EXPECT_TRUE(Online->Controls().Logger.Down);
    EXPECT_TRUE(Online->Controls().LoggerMenuChecked);
}

TEST_F(OnlineTest, PortMenu) {
    Online->RebuildPortMenu();
    EXPECT_EQ(Online->PortMenu().Items, (std::vector<std::string>{"Simulated unit", "COM1"}));
    EXPECT_EQ(Online->PortMenu().Checked, "COM1");
    Online->MComClick("&COM7");
    EXPECT_EQ(Online->ComPortNo, 1) << "a port that is not there is not taken";
    EXPECT_FALSE(Settings.ReadInteger("Com", "Port").has_value());
    Online->MComClick("CO&M1");
    EXPECT_EQ(Settings.ReadInteger("Com", "Port"), 1);
    Online->MComClick("Simulated unit");
    EXPECT_EQ(Online->ComPortNo, kSimulatedUnitPort);
    EXPECT_NE(Online->ComPortNo, 0) << "port 0 is no port, never the simulated unit";
    EXPECT_EQ(Settings.ReadBool("Com", "SimulatedUnit"), true) << "the choice survives a restart";
    EXPECT_EQ(Settings.ReadInteger("Com", "Port"), 1) << "in a setting of its own";
    EXPECT_EQ(Online->PortMenu().Checked, "Simulated unit");

    // The item speaks the program's language, and either caption chooses the unit.
    Main.SetLanguage(Language::German);
    Online->CheckPortMenu();
    EXPECT_EQ(Online->PortMenu().Items.front(), "Simulierte Einheit");
    EXPECT_EQ(Online->PortMenu().Checked, "Simulierte Einheit");
    Online->MComClick("COM1");
    EXPECT_EQ(Settings.ReadBool("Com", "SimulatedUnit"), false);
    EXPECT_EQ(Online->PortMenu().Checked, "COM1");
    Online->MComClick("Simulierte Einheit");
    EXPECT_EQ(Online->ComPortNo, kSimulatedUnitPort);
    Main.SetLanguage(Language::English);
    Online->CheckPortMenu();

    // Without any serial port the simulated unit is still offered, so nothing is missing.
    sim::TSimLine noPorts(Clock, {});
    TOnlineMode bare(Main, Clock, noPorts);
    bare.RebuildPortMenu();
    EXPECT_EQ(bare.PortMenu().Items, std::vector<std::string>{"Simulated unit"});
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

// Port 0 is no port: a unit that would answer is not looked for, and the status bar says why.
TEST_F(OnlineTest, WithNoPortTheStartStaysOfflineAndSaysSo) {
    AttachUnit(30);
    TMainFormModel form(Main, Settings);
    Online->ComPortNo = 0;
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::Idle, 5000));
    Clock.Advance(3000);
    EXPECT_EQ(Online->LinkState(), link::Idle) << "the program does not go online by itself";
    EXPECT_FALSE(Online->Controls().F5.Down);
    EXPECT_FALSE(Online->Controls().ConnectMenuChecked);
    EXPECT_FALSE(Saw("Device check"));
    EXPECT_EQ(Data().DeviceData.DeviceValid, 0);
    EXPECT_EQ(form.PortPanel(), "No port chosen");
    EXPECT_EQ(form.WindowTitle(), Main.Caption());
    Main.SetLanguage(Language::German);
    EXPECT_EQ(form.PortPanel(), "Keine Schnittstelle gewählt");
    Main.SetLanguage(Language::English);

    Online->ComPortNo = 1;
    Online->StartUp();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000)) << "a chosen port is gone online with";
    EXPECT_EQ(form.PortPanel(), "COM1");
    EXPECT_EQ(form.WindowTitle(), Main.Caption()) << "the unit on COM1 is a real one";
}

// The simulated unit says what it is wherever the tuner looks, and so does its data set.
TEST_F(OnlineTest, TheSimulatedUnitIsNamedInTitleAndStatusBar) {
    sim::TPacedSimPort builtIn(Clock, 30);
    ScriptedDialogs dialogs;
    TMainModel main(dialogs, Settings);
    TMainFormModel form(main, Settings);
    TOnlineMode& online = main.ConnectLink(Clock, builtIn);
    online.ComPortNo = kSimulatedUnitPort;
    EXPECT_EQ(form.PortPanel(), "Simulated unit");
    EXPECT_EQ(form.WindowTitle(), main.Caption() + "  [Simulated unit]");
    online.StartUp();
    ASSERT_TRUE(Clock.RunUntil([&] { return online.LinkState() == link::RunOnline; }, 30000));
    ASSERT_EQ(main.Data().DeviceData.DeviceValid, 1) << "its data set was taken over";
    EXPECT_TRUE(main.FromSimulatedUnit());

    online.OffOnlineButtonClick();
    ASSERT_TRUE(Clock.RunUntil([&] { return online.LinkState() == link::Idle; }, 5000));
    online.ComPortNo = 0;
    EXPECT_EQ(form.WindowTitle(), main.Caption() + "  [Simulated unit]")
        << "the data set taken over stays marked when the unit is no longer in use";
    main.SetLanguage(Language::German);
    EXPECT_EQ(form.WindowTitle(), main.Caption() + "  [Simulierte Einheit]");
}

TEST_F(OnlineTest, ProgressBarWhileConnectingTransferringAndStreaming) {
    AttachUnit(30);
    Online->StartUp();
    Clock.Advance(120);
    EXPECT_EQ(Online->Gauge().BarColour, colour::Red) << "the bar runs in red while connecting";
    EXPECT_GT(Online->Gauge().Position, 0);
    ASSERT_TRUE(RunUntilStatus("ZV map Upload", 20000));
    Clock.Advance(300);
    EXPECT_EQ(Online->Gauge().Max, 15) << "an upload counts its 16 blocks";
    EXPECT_EQ(Online->Gauge().BarColour, colour::Purple);
    ASSERT_TRUE(RunUntilState(link::RunOnline, 20000));
    std::vector<std::uint32_t> colours;
    for (int i = 0; i < 80; ++i) {
        Clock.Advance(100);
        colours.push_back(Online->Gauge().BarColour);
        EXPECT_LE(Online->Gauge().Position, 30);
    }
    EXPECT_NE(std::find(colours.begin(), colours.end(), colour::Green), colours.end());
    EXPECT_NE(std::find(colours.begin(), colours.end(), colour::Purple), colours.end())
        << "the pulse turns colour at each end";
    const int stripe = Online->TopStripeSplit();
    Clock.Advance(100);
    EXPECT_EQ(std::abs(Online->TopStripeSplit() - stripe), 30) << "the top stripe moves 30 pixels a tick";
}

TEST_F(OnlineTest, PauseTimerRunsOnce) {
    Online->StartPauseTimer();
    EXPECT_TRUE(Online->PauseTimerActive());
    Clock.Advance(199);
    EXPECT_TRUE(Online->PauseTimerActive());
    Clock.Advance(2);
    EXPECT_FALSE(Online->PauseTimerActive());
    Clock.Advance(1000);
    EXPECT_FALSE(Online->PauseTimerActive());
}

TEST(MainModelLink, OwnsItsOnlineModeAndScalesTheSensorOfEachDataSet) {
    sim::VirtualTimerService clock;
    sim::TSimLine line(clock, {1});
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel main(dialogs, settings);
    TOnlineMode& online = main.ConnectLink(clock, line);
    EXPECT_EQ(main.Online(), &online);
    main.CreateNewDataSet("x.zvt");
    // A new data set names the sensor 0, whose scale is the data set's own 0 V and 5 V values.
    EXPECT_LT(main.Data().DeviceData.DispAfrAt0V, main.Data().DeviceData.DispAfrAt5V);
    EXPECT_FALSE(main.IsOnline());
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

// An offline replay drives the dashboard as the unit's records do, and leaves it at rest when
// it stops; the means it built do not linger into the next readouts.
TEST_F(OnlineTest, AReplayedRecordDrivesTheDashboardUntilTheReplayStops) {
    std::array<std::uint8_t, 24> bytes{};
    bytes[1] = 51;   // 2000 rpm
    bytes[2] = 255;  // full throttle
    Online->ShowReplayedRecord({TLiveLayout::Live24, bytes});
    EXPECT_EQ(Online->Dashboard().RotDispPanel, "2000");
    EXPECT_EQ(Online->Dashboard().RotDispGauge, 51);

    Online->EndReplay();
    EXPECT_EQ(Online->Dashboard().RotDispGauge, 0);
    EXPECT_TRUE(Online->Dashboard().RotDispPanel.empty());
    EXPECT_TRUE(Online->Dashboard().PotiDispPanel.empty());
}

}  // namespace
}  // namespace zv::test
