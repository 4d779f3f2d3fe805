// What the viewer says above its plots before a tuner trusts them: lines of the log it could not
// read, and a log recorded on another unit than the open data set's.
#include <gtest/gtest.h>

#include "backup/unit_backup.h"
#include "line/virtual_timer_service.h"
#include "temp_dir.h"
#include "logview/log_viewer.h"
#include "viewer_log.h"

namespace zv::test {
namespace {

struct NoticeRig {
    explicit NoticeRig(TLogData log, const std::string& serial = "ZP-1", int firmware = 30) {
        SetEvenSites(data);
        data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        data.DeviceData.Ident.SerialNo = serial;
        data.DeviceData.DeviceValid = 1;  // read from the unit
        viewer = std::make_unique<TLogViewer>(
            std::move(log),
            TLogViewerHost{data, clock, [] { return false; }, [](const TLiveRecord&) {}, {}});
    }
    sim::VirtualTimerService clock;
    TZVDataClass data;
    std::unique_ptr<TLogViewer> viewer;
};

TLogData GoodLog() {
    return ParsedLog(LogText(kWidebandColumns, {WidebandLine(1000, "2000", "45.0", "14.7", "-55"),
                                                WidebandLine(1100, "2000", "45.0", "14.7", "-55")}));
}

// Header lines 1 to 8; the data from line 9: a line of noise at 10, a power loss cutting the
// last line at 12 in the middle of a number.
TEST(LogNotice, SaysHowManyLinesWereSkippedAndWhere) {
    std::string text = LogText(kWidebandColumns,
                               {WidebandLine(1000, "2000", "45.0", "14.7", "-55"),
                                "#~~ garbage ~~#\tx", WidebandLine(1200, "2000", "45.0", "14.7", "-55")});
    text += WidebandLine(1300, "2000", "45.0", "14.7", "-55").substr(0, 20);
    NoticeRig rig(ParsedLog(text));
    EXPECT_EQ(rig.viewer->Model().Data().LineCount(), 2u);
    EXPECT_EQ(rig.viewer->Notice(Language::English),
              "2 lines of the log were skipped: line 10 (unreadable), line 12 (cut short).");
    EXPECT_EQ(rig.viewer->Notice(Language::German),
              "2 Zeilen des Logs wurden übersprungen: Zeile 10 (unlesbar), Zeile 12 "
              "(abgeschnitten).");

    NoticeRig clean(GoodLog());
    EXPECT_EQ(clean.viewer->Notice(Language::English), "");
}

TEST(LogNotice, SaysWhenTheLogWasRecordedOnAnotherUnit) {
    NoticeRig other(GoodLog(), "ZP-2");
    EXPECT_EQ(other.viewer->Notice(Language::English),
              "The log was recorded on unit ZP-1, the open data set belongs to ZP-2: AFR targets, "
              "hit counts and autotune take the sites and targets of the wrong data set. Open the "
              "data set of ZP-1.");
    EXPECT_NE(other.viewer->Notice(Language::German).find("Steuergerät ZP-1"), std::string::npos);

    // The serial number agrees, but a unit of firmware 20 never writes this log's layout.
    NoticeRig older(GoodLog(), "ZP-1", 20);
    EXPECT_NE(older.viewer->Notice(Language::English).find("another generation (firmware 28 and above)"),
              std::string::npos)
        << older.viewer->Notice(Language::English);

    // A data file names its unit; its image's firmware is set aside on Open.
    NoticeRig file(GoodLog(), "ZP-1");
    file.data.DeviceData.DeviceValid = 0;
    file.data.DeviceData.Firmware = 40;
    file.data.FileSerialNo = "ZP-3";
    file.data.FileUnitFirmware = 30;
    EXPECT_NE(file.viewer->Notice(Language::English).find("the open data set belongs to ZP-3"),
              std::string::npos);

    // A data set of no known unit cannot be told apart from the log's.
    NoticeRig unknown(GoodLog(), "unknown");
    EXPECT_EQ(unknown.viewer->Notice(Language::English), "");
}

// The unit the log was recorded on has a backup in the data folder: the viewer offers its
// newest, and none when the open data set is that unit's already.
TEST(LogNotice, OffersTheNewestBackupOfTheLogsUnit) {
    TempDir folder;
    TZVDataSet unit;
    unit.Ident.SerialNo = "ZP-1";
    std::tm older{};
    older.tm_year = 2026 - 1900;
    older.tm_mon = 11;
    older.tm_mday = 8;
    older.tm_hour = 9;
    older.tm_isdst = -1;
    const std::time_t morning = std::mktime(&older);
    ASSERT_TRUE(SaveUnitBackup(unit, folder.Path().string(), morning, Language::English).Ok());
    const TBackupSaved newest =
        SaveUnitBackup(unit, folder.Path().string(), morning + 3600, Language::English);
    ASSERT_TRUE(newest.Ok());
    unit.Ident.SerialNo = "ZP-2";
    ASSERT_TRUE(SaveUnitBackup(unit, folder.Path().string(), morning + 7200, Language::English).Ok());

    NoticeRig other(GoodLog(), "ZP-2");
    const auto offered = other.viewer->OwnBackup(folder.Path().string());
    ASSERT_TRUE(offered.has_value());
    EXPECT_EQ(offered->Path, newest.Path);
    EXPECT_EQ(OwnBackupText(*offered, Language::English),
              "Open the data set of ZP-1 (backup of 2026-12-08 10:00:00)");

    NoticeRig same(GoodLog(), "ZP-1");
    EXPECT_FALSE(same.viewer->OwnBackup(folder.Path().string()).has_value());
}

}  // namespace
}  // namespace zv::test
