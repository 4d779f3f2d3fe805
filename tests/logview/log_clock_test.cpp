// Times of a log as the viewer's axis and cursor write them.
#include <gtest/gtest.h>

#include "logview/log_clock.h"

namespace zv {
namespace {

TEST(LogClock, MinutesAndSecondsUnderAnHour) {
    const TLogClockForm form = LogClockForm(59 * 60 + 59.9);
    EXPECT_EQ(LogClockText(0.0, form), "00:00");
    EXPECT_EQ(LogClockText(425.7, form), "07:05") << "the second begun";
    EXPECT_EQ(LogClockText(59 * 60 + 59.9, form), "59:59");
    EXPECT_EQ(LogCursorTimeText(425.3, form), "07:05.3");
    EXPECT_EQ(LogCursorTimeText(0.3, form), "00:00.3");
    EXPECT_EQ(LogClockUnit(form), "mm:ss");
}

// A ten-hour log reads in hours from its start to its end, never as 600 minutes.
TEST(LogClock, HoursInALogOfAnHourOrMore) {
    const TLogClockForm form = LogClockForm(10 * 3600.0);
    EXPECT_EQ(LogClockText(0.0, form), "0:00:00");
    EXPECT_EQ(LogClockText(425.0, form), "0:07:05");
    EXPECT_EQ(LogClockText(3600.0, form), "1:00:00");
    EXPECT_EQ(LogClockText(4 * 3600 + 23 * 60 + 9.5, form), "4:23:09");
    EXPECT_EQ(LogClockText(10 * 3600.0, form), "10:00:00");
    EXPECT_EQ(LogCursorTimeText(9 * 3600 + 59 * 60 + 59.9, form), "9:59:59.9");
    EXPECT_EQ(LogClockUnit(form), "h:mm:ss");
    EXPECT_EQ(LogClockText(3600.0, LogClockForm(3600.0)), "1:00:00") << "an hour is an hour";
}

}  // namespace
}  // namespace zv
