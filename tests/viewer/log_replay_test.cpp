// Live records rebuilt from log lines, and the replay that hands them to the pages on virtual
// time.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "line/virtual_timer_service.h"
#include "logger/log_format.h"
#include "logview/log_live_record.h"
#include "logview/log_viewer.h"
#include "viewer_log.h"

namespace zv::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const TLiveRecord& record) {
    return Bytes(record.Bytes.begin(), record.Bytes.end());
}

// Wideband scale 9.0..19.0 AFR: AFR = raw / 25.5 + 9.
TZVDataClass DataSet(int firmware) {
    TZVDataClass data;
    data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
    data.DeviceData.DispAfrAt0V = 90;
    data.DeviceData.DispAfrAt5V = 190;
    return data;
}

// 2000 rpm, 45.0 %, AFR 14.7, correction -55; the line's other values as WidebandLine has them.
TLogData OneLine() {
    return ParsedLog(LogText(kWidebandColumns, {WidebandLine(1000, "2000", "45.0", "14.7", "-55")}));
}

TEST(LogLiveRecord, BytesRebuiltFromALine) {
    const TLogData log = OneLine();
    std::array<std::uint8_t, 28> buffer{};
    // Idle contact and green lamp in byte 0; the narrowband bits 1, 5 and 7 in byte 15; the
    // correction is read with the startup-done bit of byte 18.
    const Bytes live24 = {0x48, 51,  115, 30, 40,   145, 0, 60,  0, 80,   118, 110,
                          120,  128, 131, 0xA2, 7,  0,   0x40, 200, 0, 0, 0,   0};
    for (int firmware : {24, 36}) {
        const TLiveRecord r = LiveRecordOfLine(log, 0, DataSet(firmware), buffer);
        EXPECT_EQ(r.Layout, TLiveLayout::Live24);
        EXPECT_EQ(BytesOf(r), live24) << firmware;
    }
    Bytes live28 = live24;
    live28.resize(28, 0);
    EXPECT_EQ(BytesOf(LiveRecordOfLine(log, 0, DataSet(37), buffer)), live28);
    const Bytes live18(live24.begin(), live24.begin() + 18);
    for (int firmware : {9, 23})
        EXPECT_EQ(BytesOf(LiveRecordOfLine(log, 0, DataSet(firmware), buffer)), live18) << firmware;
    const Bytes live11 = {51, 115, 0, 0, 118, 0, 0, 0x40, 128, 30, 0};
    EXPECT_EQ(BytesOf(LiveRecordOfLine(log, 0, DataSet(8), buffer)), live11);
}

// With the wideband on input E and input F a plain input, the logger writes input E's own
// correction (record byte 8) in the "CompE_AFR" column: it goes back to byte 8, not into the
// controller's correction byte 19. Beside a narrowband input F the column is the controller's.
TEST(LogLiveRecord, TheSecondWidebandColumnGoesWhereTheLayoutTookItFrom) {
    std::array<std::uint8_t, 24> record{};
    record[1] = 51;
    record[7] = 145;  // 14.7 AFR on input E
    record[8] = 80;   // input E's own correction
    record[18] = 0x40;
    record[19] = 200;  // the controller's -55
    std::array<std::uint8_t, 28> buffer{};
    for (const auto& [inputF, byte8, byte19] :
         {std::tuple{0, 80, 0}, std::tuple{1, 0, 200}}) {
        const TLogConfig config{30, 2, inputF, false};
        const TLogColumns columns = BuildLogColumns(config);
        TLogAfr afr;
        afr.ScaleE = 14.7;
        const TLogData log = ParsedLog(
            LogText(columns.Columns, {FormatLogLine(columns, config, record, 1000, afr)}));
        const TLiveRecord r = LiveRecordOfLine(log, 0, DataSet(30), buffer);
        EXPECT_EQ(r.Bytes[8], byte8) << inputF;
        EXPECT_EQ(r.Bytes[19], byte19) << inputF;
    }
}

TEST(LogLiveRecord, WidebandAndCorrectionBytes) {
    const TZVDataClass data = DataSet(30);
    EXPECT_EQ(AfrRaw(data, 9.0), 0);
    EXPECT_EQ(AfrRaw(data, 14.7), 145);  // 14.686 lies nearer than 14.725
    EXPECT_EQ(AfrRaw(data, 19.0), 255);
    EXPECT_EQ(AfrRaw(data, 25.0), 255);
    EXPECT_EQ(CorrectionRaw(0), 0);
    EXPECT_EQ(CorrectionRaw(127), 127);
    EXPECT_EQ(CorrectionRaw(-1), 254);
    EXPECT_EQ(CorrectionRaw(-55), 200);
    EXPECT_EQ(CorrectionRaw(-127), 128);
}

struct ReplayRig {
    sim::VirtualTimerService clock;
    TZVDataClass data = DataSet(30);
    bool online = false;
    std::vector<std::size_t> lines;  // LMVal of each record shown, minus 100: the line
    int stops = 0;                   // the replay paused or ended
    TLogViewer viewer{MinuteLog(),
                      {data, clock, [this] { return online; },
                       [this](const TLiveRecord& r) {
                           lines.push_back(static_cast<std::size_t>(r.Bytes[10] - 100));
                       },
                       [this] { ++stops; }}};
};

TEST(LogReplay, PassesTheLinesInOrderAtFourTimesTheirPace) {
    ReplayRig rig;
    rig.viewer.Replay().SetSpeed(4);
    rig.viewer.PlayPause();
    EXPECT_TRUE(rig.viewer.Replay().Playing());
    EXPECT_EQ(rig.lines, (std::vector<std::size_t>{0}));
    rig.clock.Advance(240);  // 0.96 s of the log
    EXPECT_EQ(rig.lines, (std::vector<std::size_t>{0, 1}));
    rig.clock.Advance(20);  // 1.04 s
    EXPECT_EQ(rig.lines, (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_EQ(rig.viewer.Model().CursorLine(), 2u);
    // The page's buffer holds the last record, as after the unit's records.
    EXPECT_EQ(rig.data.LiveRecords.Live24[10], 102);
    rig.clock.Advance(15000);
    ASSERT_EQ(rig.lines.size(), 121u);
    for (std::size_t i = 0; i < rig.lines.size(); ++i)
        EXPECT_EQ(rig.lines[i], i);
    EXPECT_FALSE(rig.viewer.Replay().Playing());  // stops at the end
    EXPECT_EQ(rig.stops, 1) << "and says so, for the dashboard to rest";
}

TEST(LogReplay, SpeedsAndPause) {
    ReplayRig rig;
    rig.viewer.Replay().SetSpeed(16);
    rig.viewer.PlayPause();
    rig.clock.Advance(100);  // 1.6 s
    EXPECT_EQ(rig.lines.back(), 3u);
    rig.viewer.PlayPause();
    rig.clock.Advance(1000);
    EXPECT_EQ(rig.lines.back(), 3u);
    rig.viewer.Replay().SetSpeed(1);
    rig.viewer.PlayPause();  // on from the cursor's line
    rig.clock.Advance(500);
    EXPECT_EQ(rig.lines.back(), 4u);
    rig.viewer.Replay().SetSpeed(3);  // not offered: the log's own pace
    EXPECT_EQ(rig.viewer.Replay().Speed(), 1);
}

TEST(LogReplay, OnlineTheUnitOwnsThePages) {
    ReplayRig rig;
    rig.online = true;
    EXPECT_FALSE(rig.viewer.ReplayEnabled());
    rig.viewer.PlayPause();
    EXPECT_FALSE(rig.viewer.Replay().Playing());
    rig.online = false;
    rig.viewer.PlayPause();
    rig.clock.Advance(500);
    rig.online = true;  // going online mid-replay stops it before the next line
    rig.clock.Advance(2000);
    EXPECT_FALSE(rig.viewer.Replay().Playing());
    EXPECT_EQ(rig.lines, (std::vector<std::size_t>{0, 1}));
}

}  // namespace
}  // namespace zv::test
