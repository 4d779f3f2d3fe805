// A log read back as autotune samples: the units of the sites, the controller's correction in
// each layout that carries it, and which notes count as marks.
#include <gtest/gtest.h>

#include <string>

#include "autotune/log_samples.h"
#include "logview/log_reader.h"

namespace zv {
namespace {

const std::string kRule47 = ";-----------------------------------------------";

std::string Log(const std::string& columns, std::initializer_list<std::string> lines) {
    std::string text = kRule47 + "\r\n; Zevrin plus Log file\r\n; Serial No.: ZP-1\r\n" + kRule47 +
                       "\r\n; Log opened: 2026-12-08  06:00:00\r\n" + kRule47 + "\r\nPCCnt\t" +
                       columns + "\r\n\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

const std::string kBits = "1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t";

// Firmware 26 with the wideband display on input F: CompF_AFR holds the input's own correction
// byte, the controller's correction is the raw byte after the flags.
TEST(LogSamples, OlderWidebandLineTakesTheCorrectionFromItsRawByte) {
    const std::string columns =
        "LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\tInE_NB\tCompE_NB\tUFoto\t"
        "LMVal\tLMVal1\tLMVal2\tLMOut\tLambdaVal\tIdleContact\tWOTContact\tShiftLightGreen\t"
        "ShiftLightYellow\tShiftLightRed\tLambdaShiftMode\tLambdaLimOff\tLambdaStartup\t"
        "LambdaError\tLambdaStartup\tLambdaTest1\tLambdaTest2\tTPS accel val\tWBO2 Flags\t"
        "WBO2 Corr\tTPS scaled\tDebug_0\tDebug_1";
    const std::string rest = "\t050\t060\t070\t080\t090\t100\t110\t120\t";  // E .. LambdaVal
    const TLogReadResult read = ParseLog(
        Log(columns,
            {"0000100\t001\t2000\t40.0\t030\t040\t14.7\t033" + rest + kBits +
                 "000\t064\t200\t010\t011\t012",
             "; 0000150 Mark 1",
             "0000200\t002\t3019\t100.0\t030\t040\t12.1\t033" + rest + kBits +
                 "007\t000\t200\t010\t011\t012",
             "0000300\t003\t3019\t100.0\t030\t040\t12.1\t033" + rest + kBits +
                 "000\t096\t005\t010\t011\t012"}),
        "older.L00");
    ASSERT_TRUE(read.Data) << read.Error.English;
    const TTuneLog log = SamplesOfLog(*read.Data);
    ASSERT_EQ(log.Samples.size(), 3u);
    const TTuneSample& first = log.Samples[0];
    EXPECT_DOUBLE_EQ(first.TimeS, 0.1);
    EXPECT_DOUBLE_EQ(first.Rpm, 2000.0);
    EXPECT_NEAR(first.Throttle, 102.0, 1e-9);  // 40.0 % of 255 counts
    EXPECT_NEAR(first.Afr, 14.7, 1e-5);
    EXPECT_EQ(first.Correction, -55) << "200 with the start-up done: 200 - 255";
    EXPECT_EQ(first.WbFlags, 64);
    EXPECT_TRUE(first.IdleContact);
    EXPECT_FALSE(first.FullContact);
    EXPECT_EQ(log.Samples[1].Correction, 0) << "start-up still running: the byte counts it";
    EXPECT_EQ(log.Samples[1].Accel, 7);
    EXPECT_NEAR(log.Samples[1].Throttle, 255.0, 1e-9);
    EXPECT_EQ(log.Samples[2].Correction, 5);
    EXPECT_EQ(log.MarkTimes, (std::vector<double>{0.1}));
}

// Firmware 30 with E unused and F wideband: the signed correction stands in its own column; a
// comment block after the close is no mark, an edit noted while logging is.
TEST(LogSamples, NewerLineKeepsItsSignedCorrectionAndEditsAreMarks) {
    const std::string columns =
        "LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\tAnaInE\tCompEVal\tUFoto\t"
        "LMVal\tLMVal1\tLMVal2\tLMOut\tIdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\t"
        "ShiftLightRed\tLambdaShiftMode\tLambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\t"
        "LambdaTest1\tLambdaTest2\tTPS accel val\tWBO2 Flags\tTPS scaled\tDebug_0\tDebug_1\t";
    const std::string values = "\t070\t080\t090\t100\t110\t120\t064\t";
    const std::string rule36 = ";------------------------------------";
    const TLogReadResult read = ParseLog(
        Log(columns,
            {"0001000\t010\t1803\t12.5\t040\t050\t13.8\t-55" + values + kBits +
                 "000\t064\t020\t021\t022\t",
             "; 0001050 Edit: fuel map cell 5/7 +3 118 -> 121",
             "0001100\t011\t1803\t12.5\t040\t050\t13.9\t-54" + values + kBits +
                 "000\t064\t020\t021\t022\t",
             ";------------------------------------------------",
             "; Log closed: 2026-12-08  06:01:00",
             ";------------------------------------------------", rule36, "; Comment", rule36,
             "; second gear pull", rule36}),
        "newer.L00");
    ASSERT_TRUE(read.Data) << read.Error.English;
    const TTuneLog log = SamplesOfLog(*read.Data);
    ASSERT_EQ(log.Samples.size(), 2u);
    EXPECT_EQ(log.Samples[0].Correction, -55);
    EXPECT_EQ(log.Samples[1].Correction, -54);
    // 12.5 % is shown from the byte 32 (31 shows 12.1 %), 1803 rpm from 46: the bytes, not the
    // shown values turned back, which lie just below them.
    EXPECT_EQ(log.Samples[0].Throttle, 32.0);
    EXPECT_EQ(log.Samples[0].Rpm, 46.0 * 10000.0 / 255.0);
    EXPECT_EQ(log.MarkTimes, (std::vector<double>{1.0}));
}

TEST(LogSamples, FurtherLogsFollowAnHourAfterTheLastSample) {
    TTuneLog all;
    TTuneLog one;
    one.Samples.resize(2);
    one.Samples[1].TimeS = 10.0;
    one.MarkTimes = {4.0};
    AppendTuneLog(all, one);
    AppendTuneLog(all, one);
    ASSERT_EQ(all.Samples.size(), 4u);
    EXPECT_DOUBLE_EQ(all.Samples[1].TimeS, 10.0);
    EXPECT_DOUBLE_EQ(all.Samples[2].TimeS, 3610.0);
    EXPECT_DOUBLE_EQ(all.Samples[3].TimeS, 3620.0);
    EXPECT_EQ(all.MarkTimes, (std::vector<double>{4.0, 3614.0}));
}

}  // namespace
}  // namespace zv
