// Logs the data logger writes, of every layout, with marks and edits between their lines, read
// back by the log reader.
#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "app/logger_wiring.h"
#include "app/main_model.h"
#include "history/step_names.h"
#include "logger/data_logger.h"
#include "logview/log_reader.h"
#include "scripted_dialogs.h"
#include "seams/settings_store.h"
#include "temp_dir.h"

namespace zv {
namespace {

struct FakeClock : TimerService {
    std::unique_ptr<Timer> CreateTimer() override { return nullptr; }
    std::uint32_t GetTickCount() const override { return Tick; }
    std::uint32_t Tick = 0;
};

class LoggerRoundTrip : public ::testing::Test {
  protected:
    LoggerRoundTrip() {
        data.DeviceData.DispAfrAt0V = 100;  // AFR 10.0 at 0 V
        data.DeviceData.DispAfrAt5V = 200;  // AFR 20.0 at 5 V
        data.DeviceData.Ident.SerialNo = "ZP-4711";
        bytes[0] = 0b1100'0000;  // idle and full-load contacts
        bytes[1] = 51;           // 2000 rpm
        bytes[2] = 255;          // 100.0 %
        for (std::size_t k = 3; k <= 14; ++k)
            bytes[k] = static_cast<std::uint8_t>(k * 10);
        bytes[5] = 255;           // AFR 20.0 on the data set's scale, 19.0 on the TechEdge device
        bytes[7] = 51;            // AFR 12.0 on the data set's scale
        bytes[15] = 0b0010'0000;  // the second LambdaStartup
        bytes[16] = 7;
        bytes[17] = 17;
        bytes[18] = 0b0100'0000;  // startup done: byte 19 is the correction
        bytes[19] = 200;          // -55
        bytes[20] = 20;
    }

    TDLoggerHost Host() {
        TDLoggerHost h;
        h.RecentDir = [this] { return dir.Path().string(); };
        h.WBO2DispOnF = [this] { return dispOnF; };
        h.WidebandDevice = [] { return 0; };  // TechEdge: raw / 25.5 + 9
        return h;
    }

    void Unit(int firmware, int inputE = 0, int inputF = 0) {
        data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        data.InputESelect = static_cast<std::uint8_t>(inputE);
        data.InputFSelect = static_cast<std::uint8_t>(inputF);
        record.Layout = LiveLayoutOfFirmware(firmware);
        record.Bytes = std::span<const std::uint8_t>(bytes.data(), LiveLayoutLength(record.Layout));
    }

    // Opens a log at tick 1000 and writes a line each 100 ms; between writes, between() runs.
    TLogData LogAndRead(int lines, const std::function<void(int)>& between = {}) {
        logger.LogFile = dir.File("log" + std::to_string(++logs) + ".L00");
        clock.Tick = 1000;
        EXPECT_TRUE(logger.OpenLogFile());
        for (int i = 1; i <= lines; ++i) {
            if (between)
                between(i);
            clock.Tick = 1000 + static_cast<std::uint32_t>(i) * 100;
            logger.LogLiveRecord(record, true);
        }
        logger.LogLiveRecord(record, false);
        const TLogReadResult read = ReadLog(logger.OpenFile);
        EXPECT_TRUE(read.Data) << read.Error.English;
        return read.Data ? *read.Data : TLogData();
    }

    test::TempDir dir;
    bool dispOnF = false;
    int logs = 0;
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel main{dialogs, settings};
    TZVDataClass& data = main.Data();
    FakeClock clock;
    TDLogger logger{data, dialogs, clock, Host()};
    std::array<std::uint8_t, 28> bytes{};
    TLiveRecord record;
};

std::optional<float> At(const TLogData& log, TLogQuantity q) {
    const auto column = log.Find(q);
    return column ? std::optional(log.Column(*column).Value(1)) : std::nullopt;
}

// Every layout of the column table, on both sides of each firmware switch (23/24 for the older
// extras, 27/28 for the fragments).
TEST_F(LoggerRoundTrip, ReadsEveryLayoutTheLoggerWrites) {
    using Q = TLogQuantity;
    const auto none = std::nullopt;
    struct Case {
        int Firmware, E, F;
        bool DispOnF;
        std::size_t Columns;
        std::optional<float> Afr, Correction, Accel, NbSignal, NbControl;
    };
    const std::vector<Case> cases = {
        {9, 0, 0, false, 27, none, none, none, none, 140},
        {27, 0, 0, false, 27, none, none, none, none, 140},
        // The older wideband line's "CompF_AFR" is input F's own correction, and "CompE_AFR"
        // beside an input F that is no narrowband input is input E's: neither is the
        // controller's.
        {23, 0, 0, true, 27, 19.0F, none, none, 51, 140},
        {24, 0, 0, true, 33, 19.0F, none, 17, 51, 140},
        {27, 0, 0, true, 33, 19.0F, none, 17, 51, 140},
        {28, 1, 2, false, 26, 20.0F, -55, none, 51, 140},
        {28, 1, 0, false, 26, none, none, none, 51, 140},
        {30, 2, 1, false, 26, 12.0F, -55, none, 255, 140},
        {30, 2, 0, false, 26, 12.0F, none, none, none, none},
        {30, 0, 1, false, 26, none, none, none, 255, 140},
        {30, 0, 2, false, 31, 20.0F, -55, 17, none, none},
        {30, 0, 0, false, 26, none, none, none, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("firmware " + std::to_string(c.Firmware) + " E " + std::to_string(c.E) +
                     " F " + std::to_string(c.F) + (c.DispOnF ? " wideband on F" : ""));
        Unit(c.Firmware, c.E, c.F);
        dispOnF = c.DispOnF;
        const TLogData log = LogAndRead(3);
        EXPECT_TRUE(log.Problems.empty());
        EXPECT_EQ(log.SerialNo, "ZP-4711");
        EXPECT_FALSE(log.Closed.empty());
        ASSERT_EQ(log.LineCount(), 3u);
        EXPECT_EQ(log.ColumnCount(), c.Columns);
        EXPECT_DOUBLE_EQ(log.Time(2), 0.3);
        EXPECT_EQ(At(log, Q::EngineSpeed), 2000.0F);
        EXPECT_EQ(At(log, Q::Throttle), 100.0F);
        EXPECT_EQ(At(log, Q::MapValue), 100.0F);
        EXPECT_EQ(At(log, Q::Output), 130.0F);
        EXPECT_EQ(At(log, Q::IdleContact), 1.0F);
        EXPECT_EQ(At(log, Q::WotContact), 1.0F);
        EXPECT_EQ(log.Column(*log.FindColumn("LambdaStartup", 1)).Value(0), 1.0F);
        EXPECT_EQ(log.Column(*log.FindColumn("LambdaStartup", 0)).Value(0), 0.0F);
        EXPECT_EQ(At(log, Q::WidebandAfr), c.Afr);
        EXPECT_EQ(At(log, Q::WidebandCorrection), c.Correction);
        EXPECT_EQ(At(log, Q::ThrottleAccel), c.Accel);
        EXPECT_EQ(At(log, Q::WidebandFlags), c.Accel ? std::optional(64.0F) : std::nullopt);
        EXPECT_EQ(At(log, Q::NarrowbandSignal), c.NbSignal);
        EXPECT_EQ(At(log, Q::NarrowbandControl), c.NbControl);
    }
}

// Marks and the edits made while the log ran sit between its data lines with their times; Show
// Log Data lists them as they are.
TEST_F(LoggerRoundTrip, MarksAndEditsComeBackWithTheirTimes) {
    Unit(30);
    TEditNotes notes(main, logger);
    constexpr std::size_t kCell = 0x100;
    main.WriteImage(MainAreaWrite(kCell), std::array<std::uint8_t, 1>{118});  // no log open yet
    const TLogData log = LogAndRead(4, [&](int line) {
        clock.Tick += 50;
        if (line == 2) {
            logger.MarkButtonClick();
            TEditStep step(main.History(), FuelMapCellStep(4, 6, 118, 121));
            main.WriteImage(MainAreaWrite(kCell), std::array<std::uint8_t, 1>{121});
        } else if (line == 3) {
            main.Undo();
            main.Redo();
            logger.FocusChanged(TDLoggerFocus::CommentEditor);
            logger.HandleKey('M');  // typed into the comment editor
            logger.FocusChanged(TDLoggerFocus::ShowLogData);
            logger.HandleKey('M');
        }
    });
    main.Undo();  // the log is closed: nothing more goes into it
    logger.MarkButtonClick();
    EXPECT_EQ(ReadLog(logger.OpenFile).Data->Notes.size(), 5u);

    ASSERT_EQ(log.LineCount(), 4u);
    ASSERT_EQ(log.Notes.size(), 5u);
    const std::vector<TLogNoteKind> kinds = {TLogNoteKind::Mark, TLogNoteKind::Edit,
                                             TLogNoteKind::Undo, TLogNoteKind::Redo,
                                             TLogNoteKind::Mark};
    for (std::size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(log.Notes[i].Kind, kinds[i]) << i;
    EXPECT_EQ(log.Notes[0].Number, 1);
    EXPECT_DOUBLE_EQ(log.Notes[0].Time, 0.1);
    EXPECT_EQ(log.Notes[1].Text, "fuel map cell 5/7 +3 118 -> 121");
    EXPECT_EQ(log.Notes[2].Text, "fuel map cell 5/7 +3 121 -> 118");
    EXPECT_DOUBLE_EQ(log.Notes[2].Time, 0.2);
    EXPECT_EQ(log.Notes[4].Number, 2);
    EXPECT_EQ(log.Notes[4].Line, 15u) << "8 header lines, 2 data lines, 4 notes";

    logger.ShowDLogDataButtonClick();
    const std::vector<std::string>& shown = logger.State().ViewLines;
    ASSERT_GE(shown.size(), 11u);
    EXPECT_EQ(shown[9], "; 0000150 Mark 1") << "50 ms after the first line at 100 ms";
    EXPECT_EQ(shown[10], "; 0000150 Edit: fuel map cell 5/7 +3 118 -> 121");
}

// A step that changed nothing (a value already at its limit) is no edit: the log gets no note.
TEST_F(LoggerRoundTrip, AStepThatChangedNothingLeavesNoNote) {
    Unit(30);
    TEditNotes notes(main, logger);
    constexpr std::size_t kCell = 0x100;
    main.WriteImage(MainAreaWrite(kCell), std::array<std::uint8_t, 1>{255});
    const TLogData log = LogAndRead(2, [&](int line) {
        if (line == 2) {
            TEditStep step(main.History(), FuelMapCellStep(4, 6, 255, 255));
            main.WriteImage(MainAreaWrite(kCell), std::array<std::uint8_t, 1>{255});
        }
    });
    EXPECT_TRUE(log.Notes.empty());
    ASSERT_EQ(log.LineCount(), 2u);
}

TEST_F(LoggerRoundTrip, CommentBlocksComeBackAsUtf8) {
    Unit(9);
    LogAndRead(1);
    logger.SetLogComment({"Drosselklappe 25 % über", "Ölwechsel"});
    logger.AddCommentButtonClick();
    logger.SetLogComment({"second"});
    logger.WriteLogComment();
    const TLogReadResult read = ReadLog(logger.OpenFile);
    ASSERT_TRUE(read.Data);
    ASSERT_EQ(read.Data->Notes.size(), 2u);
    EXPECT_EQ(read.Data->Notes[0].Kind, TLogNoteKind::Comment);
    EXPECT_EQ(read.Data->Notes[0].Text, "Drosselklappe 25 % über\nÖlwechsel");
    EXPECT_DOUBLE_EQ(read.Data->Notes[0].Time, 0.1);
    EXPECT_EQ(read.Data->Notes[1].Text, "second");
}

}  // namespace
}  // namespace zv
