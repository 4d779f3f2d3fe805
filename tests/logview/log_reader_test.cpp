// Logs typed by hand from the column table, logs cut short, line ends, text encodings and files
// that are no logs.
#include <gtest/gtest.h>

#include <string>

#include "logview/log_reader.h"

namespace zv {
namespace {

const std::string kRule47 = ";-----------------------------------------------";
const std::string kRule48 = ";------------------------------------------------";
const std::string kRule36 = ";------------------------------------";

std::string Lines(std::initializer_list<std::string> lines, const char* end = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

std::string Header(const std::string& columns, const char* end = "\r\n") {
    return Lines({kRule47, "; Zevrin plus Log file", "; Serial No.: ZP-0815", kRule47,
                  "; Log opened: 2024-03-07  14:05:09", kRule47, "PCCnt\t" + columns, ""},
                 end);
}

const std::string kH0 =
    "LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tAnaInF\tCompFVal\tAnaInE\tCompEVal\tUFoto\tLMVal\t"
    "LMVal1\tLMVal2\tLMOut\tLambdaVal\tIdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\t"
    "ShiftLightRed\tLambdaShiftMode\tLambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\t"
    "LambdaTest1\tLambdaTest2";

// Firmware 9: 2000 rpm, 45.0 % throttle, LMVal 118, LMOut 128, idle contact closed, the second
// LambdaStartup (bit 5) set; then 3019 rpm at 100.0 %.
std::string OlderLog(const char* end = "\r\n") {
    return Header(kH0, end) +
           Lines(
               {"0000100\t007\t2000\t45.0\t030\t040\t050\t060\t070\t080\t090\t118\t110\t120\t128\t"
                "131\t1\t0\t1\t0\t0\t0\t0\t0\t0\t1\t0\t0\t",
                "0000205\t008\t3019\t100.0\t031\t041\t051\t061\t071\t081\t091\t121\t111\t121\t129\t"
                "132\t0\t1\t0\t0\t1\t0\t0\t1\t0\t0\t0\t1\t",
                kRule48, "; Log closed: 2024-03-07  14:06:00", kRule48},
               end);
}

TEST(LogReader, ReadsAnOlderLogTypedFromTheColumnTable) {
    for (const char* end : {"\r\n", "\n"}) {
        SCOPED_TRACE(end[0] == '\r' ? "CR LF" : "LF");
        const TLogReadResult read = ParseLog(OlderLog(end), "old.L05");
        ASSERT_TRUE(read.Data) << read.Error.English;
        const TLogData& log = *read.Data;
        EXPECT_EQ(log.SerialNo, "ZP-0815");
        EXPECT_EQ(log.Opened, "2024-03-07  14:05:09");
        EXPECT_EQ(log.Closed, "2024-03-07  14:06:00");
        EXPECT_TRUE(log.Problems.empty());
        ASSERT_EQ(log.LineCount(), 2u);
        ASSERT_EQ(log.ColumnCount(), 27u);
        EXPECT_EQ(log.PcCount(1), 205u);
        EXPECT_DOUBLE_EQ(log.Time(0), 0.1);
        const auto at = [&](TLogQuantity q, std::size_t line) {
            return log.Column(log.Find(q).value()).Value(line);
        };
        EXPECT_EQ(at(TLogQuantity::EngineSpeed, 0), 2000.0F);
        EXPECT_EQ(at(TLogQuantity::EngineSpeed, 1), 3019.0F);
        EXPECT_FLOAT_EQ(at(TLogQuantity::Throttle, 0), 45.0F);
        EXPECT_FLOAT_EQ(at(TLogQuantity::Throttle, 1), 100.0F);
        EXPECT_EQ(at(TLogQuantity::MapValue, 1), 121.0F);
        EXPECT_EQ(at(TLogQuantity::Output, 0), 128.0F);
        EXPECT_EQ(OutputPercent(at(TLogQuantity::Output, 0)), 50);
        EXPECT_EQ(OutputPercent(255), 100);
        EXPECT_EQ(OutputPercent(2), 0);
        EXPECT_EQ(OutputPercent(3), 1);
        EXPECT_EQ(at(TLogQuantity::NarrowbandControl, 0), 131.0F);
        EXPECT_EQ(at(TLogQuantity::IdleContact, 0), 1.0F);
        EXPECT_EQ(at(TLogQuantity::WotContact, 1), 1.0F);
        const TLogColumn& startup = log.Column(*log.FindColumn("LambdaStartup", 0));
        const TLogColumn& indicator = log.Column(*log.FindColumn("LambdaStartup", 1));
        EXPECT_EQ(startup.Values(), (std::vector<float>{0, 1}));
        EXPECT_EQ(indicator.Values(), (std::vector<float>{1, 0}));
        EXPECT_EQ(log.Column(*log.FindColumn("LambdaTest2")).Value(1), 1.0F);
        EXPECT_FALSE(log.FindColumn("LambdaStartup", 2));
        for (TLogQuantity absent : {TLogQuantity::WidebandAfr, TLogQuantity::WidebandCorrection,
                                    TLogQuantity::WidebandFlags, TLogQuantity::ThrottleAccel,
                                    TLogQuantity::NarrowbandSignal})
            EXPECT_FALSE(log.Find(absent));
    }
}

// Firmware 30, E = 0, F = 2: H1 FW EA H2 H3 H4, a correction of -55 and 8.5 .. 19.9 AFR.
TEST(LogReader, ReadsANewerLogWithTheThrottleExtrasTypedFromTheColumnTable) {
    const std::string columns =
        "LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\tAnaInE\tCompEVal\tUFoto\t"
        "LMVal\tLMVal1\tLMVal2\tLMOut\tIdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\t"
        "ShiftLightRed\tLambdaShiftMode\tLambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\t"
        "LambdaTest1\tLambdaTest2\tTPS accel val\tWBO2 Flags\tTPS scaled\tDebug_0\tDebug_1\t";
    const std::string text =
        Header(columns) +
        Lines({"0001000\t010\t1803\t12.5\t040\t050\t13.8\t-55\t 70\t 80\t090\t100\t110\t120\t064\t"
               "1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t017\t064\t020\t021\t022\t",
               "0001100\t011\t9999\t 0.0\t041\t051\t 8.5\t  0\t 71\t 81\t091\t101\t111\t121\t065\t"
               "0\t1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t255\t000\t021\t022\t023\t",
               "0001200\t012\t0000\t99.9\t042\t052\t19.9\t127\t 72\t 82\t092\t102\t112\t122\t066\t"
               "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t000\t192\t022\t023\t024\t"});
    const TLogReadResult read = ParseLog(text, "new.L00");
    ASSERT_TRUE(read.Data) << read.Error.English;
    const TLogData& log = *read.Data;
    ASSERT_EQ(log.ColumnCount(), 31u);
    ASSERT_EQ(log.LineCount(), 3u);
    EXPECT_TRUE(log.Closed.empty()) << "no closing lines";
    const auto values = [&](TLogQuantity q) { return log.Column(log.Find(q).value()).Values(); };
    EXPECT_EQ(values(TLogQuantity::WidebandAfr), (std::vector<float>{13.8F, 8.5F, 19.9F}));
    EXPECT_EQ(values(TLogQuantity::WidebandCorrection), (std::vector<float>{-55, 0, 127}));
    EXPECT_EQ(values(TLogQuantity::WidebandFlags), (std::vector<float>{64, 0, 192}));
    EXPECT_EQ(values(TLogQuantity::ThrottleAccel), (std::vector<float>{17, 255, 0}));
    EXPECT_EQ(values(TLogQuantity::EngineSpeed), (std::vector<float>{1803, 9999, 0}));
    EXPECT_EQ(values(TLogQuantity::Throttle), (std::vector<float>{12.5F, 0.0F, 99.9F}));
    EXPECT_EQ(log.Column(*log.FindColumn("Debug_1")).Values(), (std::vector<float>{22, 23, 24}));
    EXPECT_FALSE(log.Find(TLogQuantity::NarrowbandSignal));
    EXPECT_FALSE(log.Find(TLogQuantity::NarrowbandControl));
}

// The older wideband line of other writers: LambdaVal and the six extras have no names.
TEST(LogReader, NamesTheOlderWidebandValuesTheHeaderLeavesUnnamed) {
    const std::string columns =
        "LoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\tInE_NB\tCompE_NB\tUFoto\t"
        "LMVal\tLMVal1\tLMVal2\tLMOut\tIdleContact\tWOTContact\tShiftLightGreen\tShiftLightYellow\t"
        "ShiftLightRed\tLambdaShiftMode\tLambdaLimOff\tLambdaStartup\tLambdaError\tLambdaStartup\t"
        "LambdaTest1\tLambdaTest2\t";
    const std::string text =
        Header(columns) +
        Lines({"0000050\t001\t2000\t50.0\t003\t004\t14.7\t006\t007\t008\t009\t010\t011\t012\t013\t"
               "140\t1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t017\t064\t200\t020\t021\t022"});
    const TLogReadResult read = ParseLog(text, "wb.L00");
    ASSERT_TRUE(read.Data);
    const TLogData& log = *read.Data;
    ASSERT_EQ(log.ColumnCount(), 33u);
    EXPECT_EQ(log.Column(13).Name(), "LMOut");
    EXPECT_EQ(log.Column(14).Name(), "LambdaVal");
    EXPECT_EQ(log.Column(*log.Find(TLogQuantity::NarrowbandControl)).Value(0), 140.0F);
    EXPECT_EQ(log.Column(*log.Find(TLogQuantity::ThrottleAccel)).Value(0), 17.0F);
    EXPECT_EQ(log.Column(*log.FindColumn("WBO2 Corr")).Value(0), 200.0F);
    EXPECT_EQ(log.Column(32).Name(), "Debug_1");
    EXPECT_EQ(log.Column(32).Value(0), 22.0F);
}

// A crash or a power loss ends a log anywhere: its whole lines stay, the rest is listed.
TEST(LogReader, KeepsTheWholeLinesOfALogCutShort) {
    std::string text = OlderLog();
    text = text.substr(0, text.find(kRule48));  // no closing lines
    const std::string broken = "0000300\t009\t2000\tgarbage\r\n";
    const std::string whole =
        "0000400\t010\t1000\t10.0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0"
        "\t0\t0\t\r\n";
    text += broken + whole + "0000500\t011\t1000\t10.0\t0\t0\t0\t0";  // 8 header lines before
    const TLogReadResult read = ParseLog(text, "cut.L00");
    ASSERT_TRUE(read.Data);
    const TLogData& log = *read.Data;
    EXPECT_EQ(log.LineCount(), 3u);
    EXPECT_EQ(log.PcCount(2), 400u);
    EXPECT_TRUE(log.Closed.empty());
    ASSERT_EQ(log.Problems.size(), 2u);
    EXPECT_EQ(log.Problems[0].Line, 11u);
    EXPECT_EQ(log.Problems[0].Kind, TLogProblemKind::Unreadable);
    EXPECT_EQ(log.Problems[1].Line, 13u);
    EXPECT_EQ(log.Problems[1].Kind, TLogProblemKind::CutShort);
}

TEST(LogReader, ReadsNotesAndWindows1252CommentsAsUtf8) {
    std::string text = OlderLog();
    const std::size_t secondLine = text.find("0000205");
    text.insert(secondLine,
                "; 0000150 Edit: fuel map cell 5/7 +3 118 -> 121\r\n"
                "; 0000160 Mark 1\r\n; 0000170 Undo: Drosselklappe 25 % \xFC"
                "ber\r\n");
    text.insert(text.find("0000100"), "; 0000010 Mark 2\r\n");
    text += Lines({kRule36, "; Comment", kRule36,
                   "; Drosselklappe 25 % \xFC"
                   "ber",
                   "; 2. Gang", kRule36});
    const TLogReadResult read = ParseLog(text, "notes.L00");
    ASSERT_TRUE(read.Data);
    const std::vector<TLogNote>& notes = read.Data->Notes;
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[0].Kind, TLogNoteKind::Mark);
    EXPECT_EQ(notes[0].Number, 2);
    EXPECT_EQ(notes[0].Time, 0.0) << "before the first data line";
    EXPECT_EQ(notes[1].Kind, TLogNoteKind::Edit);
    EXPECT_EQ(notes[1].Text, "fuel map cell 5/7 +3 118 -> 121");
    EXPECT_DOUBLE_EQ(notes[1].Time, 0.1);
    EXPECT_EQ(notes[1].Line, 11u);
    EXPECT_EQ(notes[2].Kind, TLogNoteKind::Mark);
    EXPECT_EQ(notes[2].Number, 1);
    EXPECT_EQ(notes[3].Kind, TLogNoteKind::Undo);
    EXPECT_EQ(notes[3].Text, "Drosselklappe 25 % über");
    EXPECT_EQ(notes[4].Kind, TLogNoteKind::Comment);
    EXPECT_EQ(notes[4].Text, "Drosselklappe 25 % über\n2. Gang");
    EXPECT_DOUBLE_EQ(notes[4].Time, 0.205);
    EXPECT_EQ(read.Data->LineCount(), 2u);
}

TEST(LogReader, RefusesFilesThatAreNoLogs) {
    for (const std::string& text :
         {std::string("[Zevrin Data]\r\nFirmware=30\r\n"), std::string(),
          Lines({kRule47, "; Zevrin plus Log file"}), std::string("\0\0\0\0", 4)}) {
        const TLogReadResult read = ParseLog(text, "x.zvt");
        EXPECT_FALSE(read.Data);
        EXPECT_EQ(read.Error.English,
                  "x.zvt is not a Zevrin plus log file (no PCCnt column line).");
    }
    EXPECT_EQ(ReadLog("/nonexistent/none.L00").Error.English,
              "The file /nonexistent/none.L00 cannot be read.");
}

TEST(LogNumbers, ParseAsPrintfWroteThemAndKeepTwoBytesWhereTheyFit) {
    TLogNumber n;
    ASSERT_TRUE(ParseLogNumber(" 13.8", n));
    EXPECT_EQ(n.Digits, 138);
    EXPECT_EQ(n.Decimals, 1);
    ASSERT_TRUE(ParseLogNumber("-55", n));
    EXPECT_EQ(n.Value, -55.0);
    ASSERT_TRUE(ParseLogNumber("0001234", n));
    EXPECT_EQ(n.Value, 1234.0);
    for (const char* bad : {"", " ", "-", ".", "1a", "1.2.3", "1,5", "+1"})
        EXPECT_FALSE(ParseLogNumber(bad, n)) << bad;

    TLogColumn tenths("TPS[%]");
    for (const char* text : {"45.0", "100", "99.9"}) {
        ASSERT_TRUE(ParseLogNumber(text, n));
        tenths.Append(n);
    }
    EXPECT_EQ(tenths.Values(), (std::vector<float>{45.0F, 100.0F, 99.9F}));
    EXPECT_EQ(tenths.Decimals(), 1) << "shown as written, 100 as 100.0";
    TLogColumn whole("Engine Rpm");
    whole.Reserve(3);
    for (const char* text : {"2000", "32767", "5.0"}) {
        ASSERT_TRUE(ParseLogNumber(text, n));
        whole.Append(n);
    }
    EXPECT_EQ(whole.BytesHeld(), 3 * sizeof(std::int16_t));
    EXPECT_EQ(whole.Decimals(), 0);
    for (const char* text : {"32768", "0.25"}) {  // beyond 16 bits, and two decimals
        ASSERT_TRUE(ParseLogNumber(text, n));
        whole.Append(n);
    }
    EXPECT_EQ(whole.Values(), (std::vector<float>{2000, 32767, 5, 32768, 0.25F}));
    EXPECT_EQ(whole.Decimals(), -1);
}

// A column whose first values were whole keeps a later decimal as written.
TEST(LogNumbers, AColumnOfWholeNumbersKeepsALaterDecimal) {
    TLogColumn column("AFR");
    TLogNumber n;
    for (const char* text : {"5", "5.5", "6", "14.7"}) {
        ASSERT_TRUE(ParseLogNumber(text, n));
        column.Append(n);
    }
    EXPECT_EQ(column.Values(), (std::vector<float>{5.0F, 5.5F, 6.0F, 14.7F}));
    EXPECT_EQ(column.Value(1), 5.5F);
}

}  // namespace
}  // namespace zv
