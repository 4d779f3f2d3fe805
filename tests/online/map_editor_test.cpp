// The fuel map page and its site dialog against the simulated unit on virtual time: keys, the
// edit step with its addresses, the settings rules, and what lands in the unit.
#include <array>

#include "app/main_form_model.h"
#include "app/main_page_host.h"
#include "config/key_control.h"
#include "data/default_data.h"
#include "editors/map_form.h"
#include "online_fixture.h"

namespace zv::test {
namespace {

class MapEditor : public OnlineTest {
  protected:
    void SetUp() override {
        OnlineTest::SetUp();
        Keys.KeyUpSmallCode = 65;
        Keys.KeyDownSmallCode = 63;
    }
    TMapForm& Map() {
        if (!map_) {
            map_ = std::make_unique<TMapForm>(Host);
            map_->OpenRevAdjust = [this] { ++opened_; };
        }
        return *map_;
    }
    // The unit holds a new data set's values; its records reach the page.
    void GoOnline(int firmware) {
        Online->ShowLiveFrame = [this](const TLiveRecord& record) { Map().ShowLiveFrame(record); };
        GoOnlineWithNewDataSet(firmware);
        Clock.Advance(500);
        Map().ShowPage();
        Unit->ClearCounters();
    }
    // A data set of firmware 30 from a new file, offline.
    void OpenOffline() {
        AttachUnit(30);
        Main.CreateNewDataSet("car.zvt");
        StartIdle();
        Map().ShowPage();
    }
    std::uint8_t& Cell(int t, int r) { return Data().DeviceData.Image[FuelMapOffset(t, r)]; }
    std::uint8_t& Site(int panel) {
        return Data().DeviceData.Image[img::TpsSites + static_cast<std::size_t>(panel)];
    }
    void Keys_(std::initializer_list<std::uint8_t> keys) {
        for (auto k : keys)
            Map().HandleKey(k);
    }
    TRevAdjustDlg& Sites() { return Map().RevAdjustDlg(); }
    // Sites 0, 17, ..., 255 on both axes and cell (t, r) = 8 t + 8 r, in the PC and (online) in
    // the unit of firmware 9 and later.
    void EvenSitesAndSteepMap(bool inUnit) {
        for (int i = 0; i < 16; ++i) {
            Set(img::TpsSites + 15 - static_cast<std::size_t>(i), 17 * i, inUnit);
            Set(img::RpmSites + 15 - static_cast<std::size_t>(i), 17 * i, inUnit);
            for (int t = 0; t < 16; ++t)
                Set(FuelMapOffset(t, i), 8 * t + 8 * i, inUnit);
        }
        Map().LoadFromImage();
    }
    void Set(std::size_t offset, int value, bool inUnit) {
        Data().DeviceData.Image[offset] = static_cast<std::uint8_t>(value);
        const auto address = offset >= img::FuelMap ? offset - img::FuelMap + 0x100 : offset;
        if (inUnit)
            Unit->Poke(2, static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(value));
    }
    std::uint8_t UnitCell(int t, int r) {
        return Unit->Peek(2, static_cast<std::uint16_t>(0x100 + 16 * (15 - t) + (15 - r)));
    }
    // The queued writes are in the unit (16 cells of a column take a while between records).
    bool WritesSent() {
        const bool sent = Clock.RunUntil([&] { return Online->Link().QueuedWrites() == 0; }, 10000);
        Clock.Advance(500);
        return sent;
    }
    static constexpr int kRpmSite6 = 26;      // panel of rpm site 6 (index 5, 85 at first)
    static constexpr int kThrottleSite3 = 13;  // panel of throttle site 3 (index 2, 34 at first)
    void SelectPanel(int panel) { Sites().SiteAdjustPanelClick(panel); }

    TMainFormModel Form{Main, Settings};
    TKeyControl Keys{"KeyCtrl"};
    TMainPageHost Host{Main, Form, Keys};
    std::unique_ptr<TMapForm> map_;
    int opened_ = 0;
};

TEST_F(MapEditor, CursorStopsAtTheMapEdgesAndValuesAtTheirLimits) {
    OpenOffline();
    const TMapChartState& c = Map().State().Chart;
    Keys_({vk::Down, vk::Left});
    EXPECT_EQ(c.CursorT, 0);
    EXPECT_EQ(c.CursorR, 0);
    for (int i = 0; i < 20; ++i)
        Keys_({vk::Up, vk::Right});
    EXPECT_EQ(c.CursorT, 15);
    EXPECT_EQ(c.CursorR, 15);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "moving alone changes nothing";

    Cell(15, 15) = 250;
    Keys_({vk::PageUp});
    EXPECT_EQ(Cell(15, 15), 255);
    EXPECT_EQ(Map().State().ManMapValue, "255");
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 1);
    Data().DeviceData.ChangedOffline = 0;
    Keys_({vk::PageUp, vk::OemPlus, vk::NumPlus, 65});
    EXPECT_EQ(Cell(15, 15), 255);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "a step that changes nothing marks nothing";

    Cell(15, 15) = 10;
    Keys_({vk::PageDown});
    EXPECT_EQ(Cell(15, 15), 0);
    Data().DeviceData.ChangedOffline = 0;
    Keys_({vk::PageDown, vk::OemMinus, vk::NumMinus, 63});
    EXPECT_EQ(Cell(15, 15), 0);
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
    Keys_({65, 65, vk::Down, vk::NumPlus});
    EXPECT_EQ(Cell(15, 15), 2) << "the configured up key steps like +";
    EXPECT_EQ(Cell(14, 15), Data().Map[14][15]) << "edit fields follow";
    EXPECT_EQ(Data().Map[15][15], 2);
    Clock.Advance(1000);
    EXPECT_TRUE(Unit->WriteLog().empty());
}

TEST_F(MapEditor, EscHidesTheCursorAndTabOpensTheSites) {
    OpenOffline();
    int selections = 0;
    Host.OnShowPageSelection = [&] { ++selections; };
    EXPECT_TRUE(Map().State().Chart.CursorVisible);
    Keys_({vk::Esc});
    EXPECT_FALSE(Map().State().Chart.CursorVisible);
    EXPECT_EQ(selections, 1);
    Map().ShowPage();
    EXPECT_TRUE(Map().State().Chart.CursorVisible);
    Keys_({vk::Tab});
    EXPECT_EQ(opened_, 1);
}

// After Esc nothing is drawn of the cursor or the block: a key that would change cells or move
// the cursor first brings both back and changes nothing, so that no edit lands unseen.
TEST_F(MapEditor, KeysAfterEscShowTheCursorBeforeTheyAct) {
    OpenOffline();
    Keys_({vk::Right, vk::Up});
    Map().HandleShiftKey(vk::Right);  // block (1,1)..(1,2)
    Cell(1, 1) = 100;
    Cell(1, 2) = 100;
    for (std::uint8_t key : {std::uint8_t{vk::PageUp}, std::uint8_t{vk::OemPlus},
                             std::uint8_t{vk::Left}, std::uint8_t{'D'}}) {
        Keys_({vk::Esc});
        ASSERT_FALSE(Map().State().Chart.CursorVisible);
        Keys_({key});
        EXPECT_TRUE(Map().State().Chart.CursorVisible) << int{key};
        EXPECT_EQ(Cell(1, 1), 100) << int{key};
        EXPECT_EQ(Cell(1, 2), 100) << int{key};
        EXPECT_EQ(Map().Selection().Count(), 2) << int{key};
    }
    Keys_({vk::Esc});
    Map().BlockCommand(TBlockOp::Smooth);
    EXPECT_TRUE(Map().State().Chart.CursorVisible);
    Keys_({vk::Esc});
    Map().HandleShiftKey(vk::Left);
    EXPECT_TRUE(Map().State().Chart.CursorVisible);
    EXPECT_EQ(Map().Selection().Count(), 2);
    Keys_({vk::Esc});
    Map().CellContextClick(1, 2);  // the right button inside the block shows it for its menu
    EXPECT_TRUE(Map().State().Chart.CursorVisible);
    EXPECT_EQ(Map().Selection().Count(), 2);
    // Shown again, the same keys act on the block as before.
    Keys_({vk::OemPlus});
    EXPECT_EQ(Cell(1, 1), 101);
    EXPECT_EQ(Cell(1, 2), 101);
}

// The plus and minus keys step the cell by one and Page Up / Page Down by 15, away from the
// clamps; Up and Down move the cursor instead, and the other step keys do nothing here.
TEST_F(MapEditor, MidRangeStepsOfEachValueKey) {
    OpenOffline();
    Keys_({vk::Up, vk::Up, vk::Right});
    struct Case {
        std::uint8_t Key;
        int After;
    };
    for (const Case c :
         {Case{107, 101}, Case{187, 101}, Case{109, 99}, Case{189, 99}, Case{33, 115}, Case{34, 85},
          Case{190, 100}, Case{221, 100}, Case{188, 100}, Case{219, 100}}) {
        SCOPED_TRACE(c.Key);
        Cell(2, 1) = 100;
        Map().LoadFromImage();
        Keys_({c.Key});
        EXPECT_EQ(Cell(2, 1), c.After);
        EXPECT_EQ(Map().State().ManMapValue, std::to_string(c.After));
    }
    Cell(2, 1) = 100;
    Keys_({33, 33, 34});
    EXPECT_EQ(Cell(2, 1), 115);
}

// The site dialog opens with Tab only where its Sites button shows: from firmware 9.
TEST_F(MapEditor, TabOpensTheSitesOnlyWhereTheButtonShows) {
    OpenOffline();
    for (const auto& [firmware, opens] : {std::pair{8, false}, std::pair{9, true}}) {
        SCOPED_TRACE(firmware);
        opened_ = 0;
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        Online->RefreshControls();
        EXPECT_EQ(Map().State().SitesButtonVisible, opens);
        Keys_({vk::Tab});
        Map().RevAdjustButtonClick();
        EXPECT_EQ(opened_, opens ? 2 : 0);
    }
}

// Below firmware 28 the trace box draws the narrowband controller from byte 14 and switches to
// the startup line (25, yellow) while bit 2 of byte 15 is set.
TEST_F(MapEditor, LambdaTraceControllerAndStartupLines) {
    GoOnline(20);
    auto& record = Data().LiveRecords.Live18;
    record[14] = 155;  // (255 - 155) / 5 = 20
    record[15] = 0x00;
    record[5] = 0;
    const int h = 510;  // y = v * 0.8 * 510 / 51 + 51 = 8 v + 51
    TTraceDraw draw = Map().Timer1Timer(400, h);
    ASSERT_EQ(draw.Lines.size(), 3u);
    EXPECT_EQ(draw.Lines[0].Y1, 8 * 20 + 51);
    EXPECT_EQ(draw.Lines[0].Colour, 0xFF00FFu) << "fuchsia";
    record[14] = 3;
    record[15] = 0x04;  // startup running
    draw = Map().Timer1Timer(400, h);
    ASSERT_EQ(draw.Lines.size(), 3u);
    EXPECT_EQ(draw.Lines[0].Y0, 8 * 20 + 51) << "from where the last line ended";
    EXPECT_EQ(draw.Lines[0].Y1, 8 * 25 + 51);
    EXPECT_EQ(draw.Lines[0].Colour, 0xFFFF00u) << "yellow";
    record[14] = 254;   // (255 - 254) / 5 = 0
    record[15] = 0xFB;  // every bit but the startup bit
    draw = Map().Timer1Timer(400, h);
    EXPECT_EQ(draw.Lines[0].Y1, 51);
    EXPECT_EQ(draw.Lines[0].Colour, 0xFF00FFu);
}

// Firmware 8 keeps its map at 0x300, firmware 9 at 0x100: cell (0, 0) is the map's last byte.
TEST_F(MapEditor, OnlineCellEditLandsAtTheFirmwaresMapAddress) {
    for (const auto& [firmware, address] : {std::pair{8, 0x3FF}, std::pair{9, 0x1FF}}) {
        SCOPED_TRACE(firmware);
        GoOnline(firmware);
        const std::uint8_t before = Cell(0, 0);
        Keys_({before == 255 ? vk::OemMinus : vk::OemPlus});
        const std::uint8_t after = Cell(0, 0);
        EXPECT_NE(after, before);
        EXPECT_EQ(&Cell(0, 0), &Data().DeviceData.Image[768 + 255]);
        Clock.Advance(1000);
        ASSERT_EQ(Unit->WriteLog().size(), 1u);
        EXPECT_EQ(Unit->WriteLog()[0].Address, address);
        EXPECT_EQ(Unit->Peek(2, static_cast<std::uint16_t>(address)), after);
        EXPECT_EQ(Data().DeviceData.ChangedOffline, 0);
        Online->DispatchKey(key::F5);
        Clock.Advance(2000);
    }
}

TEST_F(MapEditor, LiveRecordsMoveTheOperatingPoint) {
    GoOnline(30);
    Clock.Advance(1000);
    const TMapFormState& s = Map().State();
    EXPECT_TRUE(s.Chart.MarkerVisible);
    const auto record = Data().LiveRecords.Live24;
    EXPECT_EQ(s.AutoMapValue, std::to_string(record[10]));
    // The marker lies between the sites around the record's throttle byte.
    const auto t = static_cast<std::size_t>(s.Chart.MarkerT);
    EXPECT_LE(s.Chart.ThrottleSites[t], std::max(record[2], s.Chart.ThrottleSites[0]));
    EXPECT_GE(s.Chart.ThrottleSites[std::min<std::size_t>(t + 1, 15)], record[2]);
    Online->DispatchKey(key::F5);
    Clock.Advance(2000);
    EXPECT_FALSE(Map().State().Chart.MarkerVisible);
    EXPECT_EQ(Map().State().AutoMapValue, "") << "no output left from the last record";
}

// The wideband readout over the map: the 18-byte units feed it from pin F when the operator
// declared pin F a wideband display input, converted by the declared device; the later layouts
// from the input with the wideband function, on the PC-side scale from firmware 28 on.
TEST_F(MapEditor, WidebandReadoutSourcePerRecordLayout) {
    OpenOffline();
    Host.SetWBODebounceLevel(0);
    Host.SetWBO2ModuleType(0);  // 0..5 V = 9..19 AFR: raw / 25.5 + 9
    Data().DeviceData.DispAfrAt0V = 0;
    Data().DeviceData.DispAfrAt5V = 255;  // raw / 10
    auto show = [this](TLiveLayout layout) {
        std::span<std::uint8_t> b = Data().LiveRecords.Buffer(layout);
        std::fill(b.begin(), b.end(), std::uint8_t{0});
        if (layout == TLiveLayout::Live11) {
            b[0] = 102;  // engine speed, where the later layouts hold the status bits
        } else {
            b[5] = 102;  // input F
            b[7] = 200;  // input E
        }
        Map().ShowLiveFrame({layout, b});
        return Map().State().Wideband;
    };
    Data().DeviceData.Firmware = 20;
    Host.SetWBO2DispOnF(true);
    EXPECT_FALSE(show(TLiveLayout::Live11).Visible);
    EXPECT_EQ(show(TLiveLayout::Live18).Slave, "13.0");
    Host.SetWBO2DispOnF(false);
    EXPECT_FALSE(show(TLiveLayout::Live18).Visible);

    Data().InputFSelect = 2;
    Data().DeviceData.Firmware = 27;
    EXPECT_EQ(show(TLiveLayout::Live24).Slave, "13.0") << "the device below 28";
    Data().DeviceData.Firmware = 28;
    EXPECT_EQ(show(TLiveLayout::Live24).Slave, "10.2") << "the PC-side scale from 28";
    EXPECT_EQ(show(TLiveLayout::Live28).Slave, "10.2");
    Data().InputFSelect = 1;
    Data().InputESelect = 2;
    EXPECT_EQ(show(TLiveLayout::Live28).Slave, "20.0");
    EXPECT_EQ(show(TLiveLayout::Live24).Slave, "20.0");
    Data().InputESelect = 0;
    const auto none = show(TLiveLayout::Live24);
    EXPECT_FALSE(none.Visible);
}

TEST_F(MapEditor, SettingsAreCorrectedAndWrittenBack) {
    Settings.WriteInteger("PageFuelMap", "WBODebounceLevel", 9);
    Map();
    EXPECT_EQ(Settings.ReadString("PageFuelMap", "ViewMode"), "MapOnly");
    EXPECT_EQ(Map().State().ViewMode, TMapViewMode::MapOnly);
    EXPECT_EQ(Settings.ReadInteger("PageFuelMap", "WBODebounceLevel"), 5);
    EXPECT_EQ(Host.WBODebounceLevel(), 5);
    EXPECT_EQ(Settings.ReadInteger("PageFuelMap", "MapLinesColor"), 255);
    EXPECT_EQ(Map().State().Chart.Colours.MapLines, 0xFF0000u) << "red";
    EXPECT_EQ(Map().State().Chart.Colours.ZHighLightScale, 0x00FFFFu) << "aqua";

    map_.reset();
    Settings.WriteInteger("PageFuelMap", "WBODebounceLevel", -1);
    Settings.WriteString("PageFuelMap", "ViewMode", "MapO2");
    EXPECT_EQ(Map().State().ViewMode, TMapViewMode::MapO2);
    EXPECT_EQ(Host.WBODebounceLevel(), 0) << "a negative level would divide by zero";
    Map().DebounceScrollBarScroll(2);
    EXPECT_EQ(Host.WBODebounceLevel(), 3);
    EXPECT_EQ(Settings.ReadInteger("PageFuelMap", "WBODebounceLevel"), 3);
    Map().ColourChosen(TChartColour::Background, 0x102030);
    EXPECT_EQ(Settings.ReadInteger("PageFuelMap", "BackGroundColor"), 0x302010);
}

TEST_F(MapEditor, SiteStepsFollowTheirRules) {
    OpenOffline();
    SelectPanel(0);
    Site(0) = 250;
    Sites().HandleKey(vk::PageUp);
    EXPECT_EQ(Site(0), 255) << "the highest site is capped";
    Sites().HandleKey(vk::Up);
    EXPECT_EQ(Site(0), 255);
    EXPECT_TRUE(Dialogs.Boxes.empty());

    SelectPanel(7);
    Site(6) = 200;
    Site(7) = 100;
    Site(8) = 50;
    Sites().HandleKey(vk::Up);
    EXPECT_EQ(Site(7), 102);
    EXPECT_EQ(Sites().PanelText(7), "40");
    Site(7) = 100;
    Sites().HandleKey(vk::Down);
    EXPECT_EQ(Site(7), 97);
    Site(7) = 100;
    Sites().HandleKey(vk::PageUp);
    EXPECT_EQ(Site(7), 137);

    SelectPanel(15);
    Site(15) = 4;
    Sites().HandleKey(vk::Down);
    EXPECT_EQ(Site(15), 1);
    SelectPanel(31);
    Site(31) = 10;
    Sites().HandleKey(vk::PageDown);
    EXPECT_EQ(Site(31), 0);
    EXPECT_TRUE(Dialogs.Boxes.empty());
}

TEST_F(MapEditor, SiteStepsOntoTheirNeighboursAreRefused) {
    OpenOffline();
    Main.SetLanguage(Language::German);
    SelectPanel(20);
    Site(19) = 120;
    Site(20) = 119;
    Data().DeviceData.ChangedOffline = 0;
    Sites().HandleKey(vk::Up);
    EXPECT_EQ(Site(20), 119);
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Error);
    EXPECT_EQ(Dialogs.Boxes[0].Text, "Wert muß kleiner sein als der Nächste");

    Main.SetLanguage(Language::English);
    SelectPanel(9);
    Site(9) = 30;  // 11 %: one percent down gives trunc(10 x 2.55) + 1 = 26
    Site(10) = 26;
    Sites().HandleKey(vk::Down);
    EXPECT_EQ(Site(9), 30);
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[1].Text, "Value must be higher then previous");
    EXPECT_EQ(Data().DeviceData.ChangedOffline, 0) << "a refusal changes nothing";
}

TEST_F(MapEditor, SelectionWalksThePanels) {
    OpenOffline();
    EXPECT_EQ(Sites().SelectedPanel(), 15) << "throttle site 1 first";
    SelectPanel(0);
    Sites().HandleKey(vk::Tab);
    EXPECT_EQ(Sites().SelectedPanel(), 31);
    SelectPanel(16);
    Sites().HandleKey(vk::Tab);
    EXPECT_EQ(Sites().SelectedPanel(), 15);
    Sites().HandleKey(vk::Left);
    EXPECT_EQ(Sites().SelectedPanel(), 23);
    Sites().HandleKey(vk::Right);
    EXPECT_EQ(Sites().SelectedPanel(), 15);
    EXPECT_EQ(TRevAdjustDlg::PanelAt(0, 0), 15);
    EXPECT_EQ(TRevAdjustDlg::PanelAt(3, 7), 16);
}

TEST_F(MapEditor, OnlineSiteEditsReachTheUnitAndPauseTheValueKeys) {
    GoOnline(30);
    Sites().SiteMoveChoiceChanged(2);  // the map stays: this is about the site's own write
    SelectPanel(31);  // lowest rpm site
    const std::uint8_t low = Site(31);
    ASSERT_LT(low + 2, Site(30));
    Sites().HandleKey(vk::Up);
    Sites().HandleKey(vk::Up);  // within 200 ms: ignored
    Sites().HandleKey(vk::Right);
    EXPECT_EQ(Sites().SelectedPanel(), 23) << "selection keys still work";
    EXPECT_EQ(Site(31), low + 1);
    EXPECT_EQ(Map().State().Chart.RpmSites[0], low + 1) << "the chart's axis follows";
    Clock.Advance(1000);
    ASSERT_EQ(Unit->WriteLog().size(), 1u);
    EXPECT_EQ(Unit->WriteLog()[0].Address, 0xE0 + 31);
    EXPECT_EQ(Unit->Peek(2, 0xE0 + 31), low + 1);
    SelectPanel(31);
    Sites().HandleKey(vk::Up);
    EXPECT_EQ(Site(31), low + 2) << "after the pause the next step counts";
}

TEST_F(MapEditor, ThisMapSendsTheMapAndBothSiteLists) {
    GoOnline(30);
    Online->DispatchKey(key::F5);
    Clock.Advance(2000);
    Cell(3, 4) = static_cast<std::uint8_t>(Cell(3, 4) ^ 0x5A);
    Site(0) = 254;
    Site(16) = 253;
    Map().MapDownloadButtonClick();
    ASSERT_TRUE(RunUntilState(link::Idle, 60000));
    EXPECT_TRUE(Saw("ZV map download"));
    EXPECT_TRUE(Saw("Load sites download"));
    EXPECT_TRUE(Saw("Rpm sites download"));
    const ImageBytes unit = Unit->ImageSnapshot();
    for (std::size_t k = img::TpsSites; k < img::UnusedTail; ++k) {
        if (k >= 256 && k < img::FuelMap)
            continue;
        ASSERT_EQ(unit[k], Data().DeviceData.Image[k]) << k;
    }
}

// Online the moved site and its followed cells are one step: both reach the unit, one undo
// takes both back; a ticked answer is stored and asked no more, "never" leaves the map.
TEST_F(MapEditor, AMovedSiteTakesTheMapAlongIntoTheUnitAsOneStep) {
    GoOnline(30);
    EvenSitesAndSteepMap(true);
    SelectPanel(kRpmSite6);
    Dialogs.Answers = {MsgAnswer::Yes};
    Dialogs.Ticks = {true};
    Sites().HandleKey(vk::PageUp);  // 85 to 100: 8 t + 40 + 8 x 15 / 17 = 8 t + 47
    ASSERT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Dialogs.Boxes[0].Kind, MsgKind::Confirmation);
    EXPECT_EQ(Dialogs.Boxes[0].Text,
              "Keep the fuel along the moved site's line?\r\nMoving rpm site 6 alone shifts the "
              "fuel map along the engine-speed axis. The program can refill the cells of that "
              "site so that along the site's line at its new place the unit gives, at every "
              "throttle position, the fuel it gave there before, as closely as whole cell values "
              "allow. Between the site and its neighbours the fuel still changes.\r\nThis answer "
              "holds until the dialog is closed.")
        << "it promises the line, not the whole axis";
    EXPECT_EQ(Settings.ReadString("PageFuelMap", "SiteMoveMap"), "Always");
    EXPECT_EQ(Main.History().UndoCaption(Language::English), "Undo: rpm site 6 +15 with map");
    ASSERT_TRUE(WritesSent());
    EXPECT_EQ(Unit->Peek(2, 0xE0 + kRpmSite6), 100);
    EXPECT_EQ(UnitCell(0, 5), 47);
    EXPECT_EQ(UnitCell(15, 5), 167);
    EXPECT_EQ(UnitCell(15, 6), 168) << "the next site's cells stay";
    EXPECT_EQ(Map().State().Chart.RpmSites[5], 100);

    ASSERT_TRUE(Form.EditUndoClick());
    ASSERT_TRUE(WritesSent());
    EXPECT_EQ(Unit->Peek(2, 0xE0 + kRpmSite6), 85);
    EXPECT_EQ(UnitCell(0, 5), 40);
    EXPECT_EQ(UnitCell(15, 5), 160);

    Sites().Opened();  // stored: followed without a question
    Sites().HandleKey(vk::PageDown);  // 85 to 70: 8 t + 32 + 8 x 2 / 17 = 8 t + 32
    ASSERT_TRUE(WritesSent());
    EXPECT_EQ(UnitCell(3, 5), 56);
    // A throttle site's row: 34, 36, 39, 41 by one percent; 16 + 8 r + 8 x 7 / 17 = 19 + 8 r.
    SelectPanel(kThrottleSite3);
    for (int i = 0; i < 3; ++i) {
        Sites().HandleKey(vk::Up);
        Clock.Advance(300);
    }
    ASSERT_TRUE(WritesSent());
    EXPECT_EQ(Unit->Peek(2, 0xE0 + kThrottleSite3), 41);
    EXPECT_EQ(UnitCell(2, 0), 19);
    EXPECT_EQ(UnitCell(2, 15), 139);
    EXPECT_EQ(UnitCell(3, 15), 144) << "the next site's row stays";
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);

    SelectPanel(kRpmSite6);

    Sites().SiteMoveChoiceChanged(2);
    Sites().HandleKey(vk::PageUp);  // back to 85, the map as it is
    ASSERT_TRUE(WritesSent());
    EXPECT_EQ(Unit->Peek(2, 0xE0 + kRpmSite6), 85);
    EXPECT_EQ(UnitCell(3, 5), 56);
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);
}

// Key steps of one site follow the map as it was before the first of them, so that cut-off
// fractions do not add up; one answer holds while the dialog stays open.
TEST_F(MapEditor, RepeatedSiteStepsAskOnceAndComeBackToTheSameCells) {
    OpenOffline();
    EvenSitesAndSteepMap(false);
    SelectPanel(kRpmSite6);
    Dialogs.Answers = {MsgAnswer::Yes};
    for (int i = 0; i < 5; ++i)
        Sites().HandleKey(vk::Up);  // 85 to 90: 8 t + 40 + 8 x 5 / 17 = 8 t + 42
    EXPECT_EQ(Site(kRpmSite6), 90);
    EXPECT_EQ(Cell(0, 5), 42);
    EXPECT_EQ(Cell(15, 5), 162);
    EXPECT_EQ(Dialogs.Boxes.size(), 1u);
    EXPECT_EQ(Settings.ReadString("PageFuelMap", "SiteMoveMap"), "Ask") << "not ticked";
    for (int i = 0; i < 5; ++i)
        Sites().HandleKey(vk::Down);
    EXPECT_EQ(Cell(0, 5), 40);
    EXPECT_EQ(Cell(15, 5), 160);

    Sites().Opened();
    Dialogs.Answers = {MsgAnswer::No};
    Sites().HandleKey(vk::PageUp);
    Sites().HandleKey(vk::Down);
    EXPECT_EQ(Site(kRpmSite6), 99);
    EXPECT_EQ(Cell(0, 5), 40) << "no: the map stays";
    EXPECT_EQ(Dialogs.Boxes.size(), 2u) << "asked again after opening, once";
}

// The arrows move the map's cursor, so its cells step on plus and minus, the step keys and
// Page Up / Down by 15; the sites step by one percent or one count (39 rpm) and 15 of them, and
// their dialog names the operator's step keys as keys that do nothing there.
TEST_F(MapEditor, CellAndSiteHoverTexts) {
    OpenOffline();
    EXPECT_EQ(Map().State().Texts.CellTip,
              "Map value of the cell (over throttle and engine speed)\nUnit: raw output value\n"
              "Range: 0 .. 255\nKeys: ±1 with + / -, step keys ▲ A ▼ ?, ±15 with Page Up / Page Down");
    EXPECT_EQ(Sites().Texts().ThrottleTip,
              "Throttle site of the fuel map, between the next lower and the next higher one\n"
              "Unit: % throttle (one step 1 %)\nRange: 0 .. 100\n"
              "Keys: ±1 with Up / Down, + / -, ±15 with Page Up / Page Down\n"
              "Step keys ▲ A ▼ ? do not act here");
    Keys.KeyUpSmallCode = 75;  // K
    Keys.KeyDownSmallCode = 76;
    Map().SetLanguage(Language::German);
    EXPECT_EQ(Sites().Texts().RpmTip,
              "Drehzahl-Stützstelle des Kennfelds, zwischen der nächstniedrigeren und der "
              "nächsthöheren\nEinheit: U/min (ein Schritt 39 U/min)\nBereich: 0 .. 10000\n"
              "Tasten: ±1 mit Pfeil hoch / runter, + / -, ±15 mit Bild auf / Bild ab\n"
              "Schritt-Tasten ▲ K ▼ L wirken hier nicht");
    EXPECT_NE(
        Map().State().Texts.CellTip.find("Tasten: ±1 mit + / -, Schritt-Tasten ▲ K ▼ L, ±15 mit"),
        std::string::npos);
}

}  // namespace
}  // namespace zv::test
