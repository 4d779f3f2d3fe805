// One tuning run from the autotune window's side: its sources, its settings, the firmware it
// needs, and the apply of a block into the data set and, online, into the unit.
#include <cmath>
#include <limits>
#include <string>

#include "autotune/autotune_session.h"
#include "autotune/tune_fixture.h"
#include "data/default_data.h"
#include "online_fixture.h"
#include "temp_dir.h"
#include "tune_log_text.h"

namespace zv::test {
namespace {

constexpr std::size_t FuelByte(int t, int r) {
    return img::FuelMap + 16 * static_cast<std::size_t>(15 - t) + static_cast<std::size_t>(15 - r);
}

class AutotuneSession : public OnlineTest {
  protected:
    // The hand-made sites, flat map and targets of the autotune fixture in a data set of this
    // firmware, the unit's defaults elsewhere.
    ImageBytes TuneImage(int firmware) {
        TZVDataClass set;
        set.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        ApplyDefaultFields(set);
        set.FieldsToImage();
        ImageBytes image = set.FileData.Image;
        const ImageBytes& tune = TuneData().DeviceData.Image;
        for (std::size_t i = 0; i < 16; ++i) {
            image[img::TpsSites + i] = tune[img::TpsSites + i];
            image[img::RpmSites + i] = tune[img::RpmSites + i];
        }
        for (std::size_t i = 0; i < 256; ++i) {
            image[img::FuelMap + i] = tune[img::FuelMap + i];
            image[img::AfrMap + i] = tune[img::AfrMap + i];
        }
        return image;
    }
    void OpenOffline(int firmware) {
        Data().DeviceData.Image = TuneImage(firmware);
        Data().DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        Data().ImageToFields();
        Data().Loaded = 1;  // as a file opened
    }
    void GoOnline(int firmware) {
        AttachUnit(firmware);
        Unit->LoadImage(TuneImage(firmware));
        Online->StartUp();
        ASSERT_TRUE(RunUntilState(link::RunOnline, 30000));
        Clock.Advance(500);
        Unit->ClearCounters();
    }
    // The sensor band of the autotune fixture, whatever scale the data set has; its lean and
    // rich cells are neighbours, which the smoothing would otherwise hold alike for a pass.
    void HandBand() {
        Session.Settings().AfrMin = 10.0;
        Session.Settings().AfrMax = 18.0;
        Session.Settings().Smoothing = 0.0;
    }
    void AddLog(std::initializer_list<TRun> runs) {
        const TTuneLogSource& source = Session.AddLog(Dir.Write("run.L00", TuneLogText(runs)));
        ASSERT_FALSE(source.Error) << source.Error->English;
    }

    TempDir Dir;
    TAutotuneSession Session{Main, Clock};
};

TEST_F(AutotuneSession, LiveRecordsBecomeSamplesOnlyWhileLiveIsOnAndOnline) {
    Session.ConnectLive(*Online);
    Session.SetLive(true);
    const std::array<std::uint8_t, 24> bytes{};
    TLiveRecord offline;
    offline.Layout = TLiveLayout::Live24;
    offline.Bytes = bytes;
    Session.TakeLiveRecord(offline);
    EXPECT_EQ(Session.LiveCount(), 0) << "no record counts before the link runs online";
    Session.SetLive(false);

    GoOnline(30);
    const int before = Records;
    Clock.Advance(1000);
    EXPECT_GT(Records, before);
    EXPECT_EQ(Session.LiveCount(), 0) << "Live off";

    std::vector<std::uint32_t> ticks;
    Online->RecordArrived = [&](const TLiveRecord&) { ticks.push_back(Clock.GetTickCount()); };
    Session.SetLive(true);
    Clock.Advance(700);
    // An edit meanwhile marks its time, so that the readings after it wait.
    const std::uint32_t editTick = Clock.GetTickCount();
    const std::array<std::uint8_t, 1> cell{
        static_cast<std::uint8_t>(Main.Data().DeviceData.Image[0x300 + 5] + 1)};
    ASSERT_TRUE(Main.WriteImage({0x300 + 5, 2, 0x105}, cell));
    Clock.Advance(800);
    Session.SetLive(false);
    ASSERT_GE(ticks.size(), 3u);
    ASSERT_EQ(Session.LiveCount(), static_cast<int>(ticks.size())) << "every record while on";
    const auto& samples = Session.LiveSamples().Samples;
    EXPECT_DOUBLE_EQ(samples.back().TimeS - samples.front().TimeS,
                     (ticks.back() - ticks.front()) / 1000.0)
        << "arrival times from the program's clock";
    ASSERT_EQ(Session.LiveSamples().MarkTimes.size(), 1u);
    EXPECT_DOUBLE_EQ(Session.LiveSamples().MarkTimes[0] - samples.front().TimeS,
                     (editTick - ticks.front()) / 1000.0);
    const int taken = Session.LiveCount();
    Clock.Advance(1000);
    EXPECT_GT(ticks.size(), static_cast<std::size_t>(taken));
    EXPECT_EQ(Session.LiveCount(), taken) << "Live off again";
    // The samples before the edit keep the map they ran on.
    const auto& epochs = Session.LiveSamples().Epochs;
    ASSERT_EQ(epochs.size(), 1u);
    EXPECT_DOUBLE_EQ(epochs[0].UntilS, Session.LiveSamples().MarkTimes[0]);
    EXPECT_EQ(epochs[0].Map.Fuel[15][10], cell[0] - 1)
        << "0x305: the highest throttle site, speed site 10";
    Session.ClearLive();
    EXPECT_EQ(Session.LiveCount(), 0);
    EXPECT_TRUE(Session.LiveSamples().Epochs.empty());
}

// Autotune needs a data set, samples and the controller's records, which begin with firmware 24.
TEST_F(AutotuneSession, RefusesWithoutSamplesOrWithoutWidebandController) {
    AddLog({kLean});
    EXPECT_FALSE(Session.Compute());
    EXPECT_EQ(Session.Refusal()->English.substr(0, 24), "No data set is open: aut");
    Session.RemoveLog(0);

    OpenOffline(24);
    EXPECT_FALSE(Session.Compute());
    EXPECT_EQ(Session.Refusal()->English, "No samples: add a log or switch Live on.");
    AddLog({kLean});
    HandBand();
    EXPECT_TRUE(Session.Compute());
    EXPECT_EQ(Session.Result()->Cell(3, 3).New, 110);

    OpenOffline(23);
    EXPECT_FALSE(Session.Compute());
    EXPECT_FALSE(Session.Result()) << "a refusal clears the last result";
    EXPECT_EQ(Session.Refusal()->English,
              "The firmware of this data set has no wideband controller; without it there is no "
              "AFR to tune from.");
    EXPECT_EQ(Session.Refusal()->German.substr(0, 31), "Die Firmware dieses Datensatzes");
}

TEST_F(AutotuneSession, LogsKeepTheirCountOrTheirError) {
    AddLog({kLean, kRich});
    const TTuneLogSource& bad = Session.AddLog(Dir.Write("notes.txt", "shopping list\r\n"));
    ASSERT_EQ(Session.Logs().size(), 2u);
    EXPECT_EQ(Session.Logs()[0].SampleCount(), 60);
    EXPECT_TRUE(bad.Error);
    EXPECT_EQ(bad.SampleCount(), 0);
    EXPECT_EQ(Session.SampleCount(), 60);
    Session.RemoveLog(0);
    ASSERT_EQ(Session.Logs().size(), 1u);
    EXPECT_TRUE(Session.Logs()[0].Error);
    EXPECT_EQ(Session.SampleCount(), 0);
}

// A log with a line of noise keeps its samples, and its line in the window says what was left
// out and where (header lines 1 to 8, the run's 30 lines 9 to 38).
TEST_F(AutotuneSession, ALogsSkippedLinesAreSaidBesideIt) {
    const TTuneLogSource& noisy =
        Session.AddLog(Dir.Write("noisy.L00", TuneLogText({kLean}) + "#noise#\r\n"));
    EXPECT_EQ(noisy.SampleCount(), 30);
    EXPECT_EQ(LogSourceLine(noisy, Language::English),
              "noisy.L00: 30 samples — 1 line of the log was skipped: line 39 (unreadable).");
}

// Each setting at both ends of its range is taken, just beyond either end refused by name.
TEST_F(AutotuneSession, SettingsOutsideTheirRangeAreRefused) {
    struct Case {
        double TTuneSettings::*Field;
        double Low, High;
        const char* Message;
    };
    const Case cases[] = {
        {&TTuneSettings::AuthorityPercent, 0.1, 100.0,
         "The setting \"Authority\" must lie within 0.1 .. 100 %."},
        {&TTuneSettings::MinSamples, 1.0, 1000000.0,
         "The setting \"Minimum samples\" must lie within 1 .. 1000000."},
        {&TTuneSettings::MinRpm, 0.0, 10000.0,
         "The setting \"Minimum engine speed\" must lie within 0 .. 10000 rpm."},
        {&TTuneSettings::DelayScale, 0.1, 5.0,
         "The setting \"Sensor delay scale\" must lie within 0.1 .. 5."},
        {&TTuneSettings::AfterMarkS, 0.0, 60.0,
         "The setting \"Time after a mark\" must lie within 0 .. 60 s."},
        {&TTuneSettings::MaxThrottleChangePercent, 0.0, 100.0,
         "The setting \"Steady throttle\" must lie within 0 .. 100 %."},
        {&TTuneSettings::SteadyWindowS, 0.0, 10.0,
         "The setting \"Steady throttle window\" must lie within 0 .. 10 s."},
        {&TTuneSettings::FuelCutHoldoff, 0.0, 10.0,
         "The setting \"Hold-off after a fuel cut\" must lie within 0 .. 10."},
        {&TTuneSettings::EnrichmentHoldoff, 0.0, 10.0,
         "The setting \"Hold-off after enrichment\" must lie within 0 .. 10."},
        {&TTuneSettings::EnrichmentS, 0.0, 10.0,
         "The setting \"Enrichment time\" must lie within 0 .. 10 s."},
        {&TTuneSettings::WarmUpS, 0.0, 3600.0,
         "The setting \"Warm-up after the start\" must lie within 0 .. 3600 s."},
        {&TTuneSettings::Smoothing, 0.0, 100.0,
         "The setting \"Smoothing\" must lie within 0 .. 100."},
    };
    for (const Case& c : cases) {
        for (const double ok : {c.Low, c.High, (c.Low + c.High) / 2}) {
            TTuneSettings s;
            s.*c.Field = ok;
            EXPECT_FALSE(SettingsFault(s)) << c.Message << " at " << ok;
        }
        for (const double bad : {c.Low - 0.01, c.High + 0.01, std::nan("")}) {
            TTuneSettings s;
            s.*c.Field = bad;
            const auto fault = SettingsFault(s);
            ASSERT_TRUE(fault) << c.Message << " at " << bad;
            EXPECT_EQ(fault->English, c.Message);
        }
    }
    TTuneSettings model;
    model.Delay.BaseMs = 1000.01;
    EXPECT_EQ(SettingsFault(model)->English,
              "The setting \"Sensor delay, fixed part\" must lie within 0 .. 1000 ms.");
    model = {};
    model.Delay.VolumeMsRpm = 999.0;
    EXPECT_EQ(SettingsFault(model)->English,
              "The setting \"Exhaust volume\" must lie within 1000 .. 2000000 ms x rpm.");
    TTuneSettings fixed;
    fixed.FixedDelayMs = 5000.0;
    EXPECT_FALSE(SettingsFault(fixed));
    fixed.FixedDelayMs = -1.0;
    EXPECT_EQ(SettingsFault(fixed)->German,
              "Die Einstellung \"Fester Sensorverzug\" muss im Bereich 0 .. 5000 ms liegen.");

    OpenOffline(30);
    AddLog({kLean});
    HandBand();
    Session.Settings().AuthorityPercent = 0.0;
    EXPECT_FALSE(Session.Compute());
    EXPECT_EQ(Session.Refusal()->English,
              "The setting \"Authority\" must lie within 0.1 .. 100 %.");
    Session.ResetSettings();
    EXPECT_DOUBLE_EQ(Session.Settings().AuthorityPercent, 10.0);
}

// Online: the block's one cell reaches the unit as one undo step; live samples taken on the old
// map and the result are gone after it.
TEST_F(AutotuneSession, ApplyingABlockChangesThoseCellsInTheUnitAsOneStep) {
    Session.ConnectLive(*Online);
    GoOnline(30);
    const ImageBytes unitBefore = Unit->ImageSnapshot();
    AddLog({kLean, kRich});
    HandBand();
    ASSERT_TRUE(Session.Compute()) << Session.Refusal()->English;
    EXPECT_EQ(Session.Result()->ChangedCount(), 2);
    Session.SetLive(true);
    Clock.Advance(1000);
    EXPECT_GT(Session.LiveCount(), 0);

    Session.Select(TCellRect{3, 5, 0, 15});
    EXPECT_EQ(Session.ApplySelection(), 1);
    EXPECT_EQ(Session.LiveCount(), 0) << "samples of the old map are dropped";
    EXPECT_FALSE(Session.Result());
    EXPECT_FALSE(Session.Selection());
    EXPECT_EQ(Session.ApplyAll(), 0) << "the result is used up";
    EXPECT_EQ(Data().DeviceData.Image[FuelByte(3, 3)], 110);
    EXPECT_EQ(Data().DeviceData.Image[FuelByte(2, 3)], 100) << "outside the block";
    Clock.Advance(2000);
    ASSERT_EQ(Unit->WriteLog().size(), 1u);
    EXPECT_EQ(Unit->WriteLog()[0].Address, 0x100 + 16 * 12 + 12);
    ImageBytes expected = unitBefore;
    expected[FuelByte(3, 3)] = 110;
    EXPECT_EQ(Unit->ImageSnapshot(), expected);
    EXPECT_EQ(Main.History().UndoCaption(Language::English), "Undo: Autotune 1 cell");
    ASSERT_TRUE(Main.Undo());
    EXPECT_FALSE(Main.History().CanUndo()) << "one step";
    Clock.Advance(2000);
    EXPECT_EQ(Unit->ImageSnapshot(), unitBefore);
}

TEST_F(AutotuneSession, ApplyAllAndDiscardOffline) {
    OpenOffline(30);
    AddLog({kLean, kRich});
    HandBand();
    ASSERT_TRUE(Session.Compute());
    Session.Discard();
    EXPECT_FALSE(Session.Result());
    EXPECT_EQ(Session.ApplyAll(), 0);
    EXPECT_EQ(Data().DeviceData.Image[FuelByte(3, 3)], 100);
    ASSERT_TRUE(Session.Compute());
    EXPECT_EQ(Session.ApplySelection(), 0) << "no block chosen";
    EXPECT_EQ(Session.ApplyAll(), 2);
    EXPECT_EQ(Data().DeviceData.Image[FuelByte(3, 3)], 110);
    EXPECT_EQ(Data().DeviceData.Image[FuelByte(2, 3)], 95);
}

// A log ran on the map as it was when it came in. Edits since, an applied result among them,
// are allowed for: computing again does not correct the same cells twice.
TEST_F(AutotuneSession, EditsAfterALogCameInAreAllowedFor) {
    OpenOffline(30);
    AddLog({kLean, kRich});
    HandBand();
    ASSERT_TRUE(Session.Compute());
    ASSERT_EQ(Session.ApplyAll(), 2);
    ASSERT_TRUE(Session.Compute());
    EXPECT_EQ(Session.Result()->ChangedCount(), 0);

    // By hand from 110 to 105: the lean readings, made on 100, still ask for 110.
    const std::array<std::uint8_t, 1> cell{105};
    ASSERT_TRUE(Main.WriteImage(
        {FuelByte(3, 3), 2, static_cast<std::uint16_t>(0x100 + FuelByte(3, 3) - img::FuelMap)},
        cell));
    ASSERT_TRUE(Session.Compute());
    EXPECT_EQ(Session.Result()->Cell(3, 3).New, 110);
    EXPECT_EQ(Session.Result()->ChangedCount(), 1);
}

// A locked block stays as it is through computations and the defaults; toggling it again frees
// it. Without a usable sample the refusal lists why.
TEST_F(AutotuneSession, LockedCellsStayAndARefusalSaysWhy) {
    OpenOffline(30);
    Data().FileName = "car.zvt";
    AddLog({kLean, kRich});
    HandBand();
    ASSERT_TRUE(Session.Compute()) << Session.Refusal()->English;
    EXPECT_EQ(Session.Result()->ChangedCount(), 2);
    Session.ToggleLock(TCellRect{3, 3, 3, 3});
    ASSERT_TRUE(Session.Result());
    EXPECT_EQ(Session.Result()->Cell(3, 3).Verdict, TCellVerdict::Locked);
    EXPECT_EQ(Session.Result()->ChangedCount(), 1);
    Session.ResetSettings();
    HandBand();
    EXPECT_TRUE(Session.Settings().IsLocked(3, 3));
    {
        // Kept with the data file: a new window on it has the lock, another file has none.
        TAutotuneSession again{Main, Clock};
        EXPECT_TRUE(again.Settings().IsLocked(3, 3));
        EXPECT_FALSE(again.Settings().IsLocked(2, 3));
        Data().FileName = "other.zvt";
        again.DataSetChanged();
        EXPECT_FALSE(again.Settings().IsLocked(3, 3));
        Data().FileName = "car.zvt";
    }
    Session.ToggleLock(TCellRect{2, 3, 3, 3});  // not all locked: locks both
    EXPECT_TRUE(Session.Settings().IsLocked(2, 3));
    Session.ToggleLock(TCellRect{2, 3, 3, 3});
    EXPECT_FALSE(Session.Settings().IsLocked(2, 3));
    EXPECT_FALSE(Session.Settings().IsLocked(3, 3));
    EXPECT_EQ(Session.Result()->ChangedCount(), 2);

    Session.Settings().AfrMax = 11.0;  // every reading outside the band
    EXPECT_FALSE(Session.Compute());
    EXPECT_EQ(Session.Refusal()->English,
              "No usable sample: every reading was rejected (see the reasons). The map stays as "
              "it is.\noutside error limits: 60");
}

}  // namespace
}  // namespace zv::test
