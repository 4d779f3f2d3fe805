// The data logger's files: names, headers and lines for each unit generation and input
// configuration, closing and comment blocks, refusals and the page's buttons.
#include <gtest/gtest.h>

#include <array>
#include <ctime>
#include <sstream>

#include "german_locale.h"
#include "logger/comment_form.h"
#include "logger/data_logger.h"
#include "scripted_dialogs.h"
#include "seams/timer_service.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::ScriptedDialogs;
using test::TempDir;

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

struct FakeClock : TimerService {
    std::unique_ptr<Timer> CreateTimer() override { return nullptr; }
    std::uint32_t GetTickCount() const override { return Tick; }
    std::uint32_t Tick = 0;
};

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    if (!text.empty() && text.back() == sep)
        parts.push_back("");
    return parts;
}

std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string bytes = TempDir::Read(path);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

class DataLogger : public ::testing::Test {
  protected:
    DataLogger() {
        data.DeviceData.DispAfrAt0V = 100;  // AFR 10.0 at 0 V
        data.DeviceData.DispAfrAt5V = 200;  // AFR 20.0 at 5 V
    }

    TDLoggerHost MakeHost() {
        TDLoggerHost h;
        h.RecentDir = [this] { return dir.Path().string(); };
        h.Now = [this] { return now; };
        h.WBO2DispOnF = [this] { return dispOnF; };
        h.WidebandDevice = [] { return 0; };  // TechEdge: raw / 25.5 + 9
        h.ReleaseLogger = [this] { ++released; };
        return h;
    }

    void Unit(int firmware, int inputE = 0, int inputF = 0) {
        data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        data.ReceiveData.Firmware = static_cast<std::uint8_t>(firmware);
        data.InputESelect = static_cast<std::uint8_t>(inputE);
        data.InputFSelect = static_cast<std::uint8_t>(inputF);
        record.Layout = LiveLayoutOfFirmware(firmware);
        record.Bytes = std::span<const std::uint8_t>(bytes.data(), LiveLayoutLength(record.Layout));
    }

    // Opens a log at tick 1000 and writes one line at tick 1000 + ms; returns the file's lines.
    std::vector<std::string> LogOneLine(std::uint32_t ms = 1234) {
        logger.LogFile = dir.File("one.L00");
        logger.IsOpen = false;
        std::filesystem::remove(logger.LogFile);
        clock.Tick = 1000;
        EXPECT_TRUE(logger.OpenLogFile());
        clock.Tick = 1000 + ms;
        logger.WriteLogLine(record);
        return FileLines(logger.OpenFile);
    }
    std::vector<std::string> Header() { return Split(LogOneLine().at(6), '\t'); }
    std::vector<std::string> Line() { return Split(LogOneLine().at(8), '\t'); }

    TempDir dir;
    std::time_t now = LocalTime(2024, 3, 7, 14, 5, 9);
    bool dispOnF = false;
    int released = 0;
    TZVDataClass data;
    ScriptedDialogs dialogs;
    FakeClock clock;
    TDLoggerHost host = MakeHost();
    TDLogger logger{data, dialogs, clock, host};
    std::array<std::uint8_t, 28> bytes{};
    TLiveRecord record;
};

TEST_F(DataLogger, LogNamesComeFromDateAndTime) {
    EXPECT_EQ(MakeLogFileName("logs", LocalTime(2024, 3, 7, 14, 5)),
              (std::filesystem::path("logs") / "24030714.L05").string());
    EXPECT_EQ(MakeLogFileName("logs", LocalTime(2009, 12, 31, 0, 59)),
              (std::filesystem::path("logs") / "09123100.L59").string());
}

TEST_F(DataLogger, OlderUnitWritesEveryByteUnderItsName) {
    Unit(9);
    bytes[0] = 0b1100'1000;  // idle and full-load contacts, green lamp
    bytes[1] = 51;           // 2000 rpm
    bytes[2] = 255;          // 100.0 %
    for (std::size_t k = 3; k <= 14; ++k)
        bytes[k] = static_cast<std::uint8_t>(k * 10);
    bytes[15] = 0b1010'0101;
    bytes[16] = 7;
    const auto lines = LogOneLine();
    const auto header = Split(lines.at(6), '\t');
    ASSERT_EQ(header.size(), 28u);
    EXPECT_EQ(header.front(), "PCCnt");
    EXPECT_EQ(header.at(15), "LambdaVal");
    EXPECT_EQ(lines.at(6).back(), '2') << "the last name, LambdaTest2, has no tab after it";
    const auto line = Split(lines.at(8), '\t');
    ASSERT_EQ(line.size(), 29u) << "28 values, the last followed by a tab";
    EXPECT_EQ(line.back(), "");
    const std::vector<std::string> expected = {
        "0001234", "007", "2000", "100.0", "030", "040", "050", "060", "070", "080",
        "090",     "100", "110",  "120",   "130", "140", "1",   "1",   "1",   "0",
        "0",       "1",   "0",    "1",     "0",   "1",   "0",   "1",   ""};
    EXPECT_EQ(line, expected);
}

TEST_F(DataLogger, NewerUnitWithWidebandOnInputFEndsWithTheThrottleExtras) {
    Unit(30, 0, 2);
    bytes[5] = 255;  // AFR 20.0 on the data set's scale
    bytes[6] = 99;
    bytes[17] = 17;
    bytes[18] = 0b0100'0000;  // startup done: byte 19 is the correction
    bytes[19] = 200;
    bytes[20] = 20;
    bytes[21] = 21;
    bytes[22] = 22;
    const auto header = Header();
    ASSERT_EQ(header.size(), 33u);
    EXPECT_EQ(std::vector<std::string>(header.begin() + 6, header.begin() + 10),
              (std::vector<std::string>{"InF_AFR", "CompF_AFR", "AnaInE", "CompEVal"}));
    EXPECT_EQ(std::vector<std::string>(header.end() - 6, header.end()),
              (std::vector<std::string>{"TPS accel val", "WBO2 Flags", "TPS scaled", "Debug_0",
                                        "Debug_1", ""}));
    auto line = Line();
    ASSERT_EQ(line.size(), 33u);
    EXPECT_EQ(line.at(6), "20.0");
    EXPECT_EQ(line.at(7), "-55");
    EXPECT_EQ(std::vector<std::string>(line.end() - 6, line.end()),
              (std::vector<std::string>{"017", "064", "020", "021", "022", ""}));

    bytes[18] = 0;  // startup still running: no correction yet
    line = Line();
    EXPECT_EQ(line.at(7), "  0");
}

// Each input configuration of the newer units: names of the F and E pairs and their values.
TEST_F(DataLogger, NewerUnitPairsFollowTheInputConfiguration) {
    struct Case {
        int E, F;
        std::vector<std::string> Names, Values;
    };
    const std::vector<Case> cases = {
        {1, 2, {"InF_AFR", "CompF_AFR", "InE_NB", "CompE_NB"}, {"20.0", "-55", " 70", "140"}},
        {1, 0, {"AnaInF", "CompFVal", "InE_NB", "CompE_NB"}, {"255", " 60", " 70", "140"}},
        {2, 1, {"InF_NB", "CompF_NB", "InE_AFR", "CompE_AFR"}, {"255", "140", "12.0", "-55"}},
        {2, 0, {"AnaInF", "CompFVal", "InE_AFR", "CompE_AFR"}, {"255", " 60", "12.0", " 80"}},
        {0, 1, {"InF_NB", "CompF_NB", "AnaInE", "CompEVal"}, {"255", "140", " 70", " 80"}},
        {0, 0, {"AnaInF", "CompFVal", "AnaInE", "CompEVal"}, {"255", " 60", " 70", " 80"}},
    };
    bytes[5] = 255;
    bytes[6] = 60;
    bytes[8] = 80;  // byte 7 = 51 is AFR 12.0 on the data set's scale
    bytes[14] = 140;
    bytes[18] = 0b0100'0000;
    bytes[19] = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "E " << c.E << " F " << c.F);
        bytes[7] = c.E == 2 ? 51 : 70;
        Unit(28, c.E, c.F);
        const auto header = Header();
        ASSERT_EQ(header.size(), 28u) << "no throttle extras";
        EXPECT_EQ(std::vector<std::string>(header.begin() + 6, header.begin() + 10), c.Names);
        const auto line = Line();
        ASSERT_EQ(line.size(), 28u);
        EXPECT_EQ(std::vector<std::string>(line.begin() + 6, line.begin() + 10), c.Values);
    }
}

TEST_F(DataLogger, FirmwareSwitchesOfTheLineLayout) {
    Unit(27, 0, 0);
    EXPECT_EQ(Header().size(), 28u);
    EXPECT_EQ(Header().at(6), "AnaInF");
    EXPECT_EQ(Header().at(15), "LambdaVal") << "firmware 27 still logs every byte";
    Unit(28, 0, 0);
    EXPECT_EQ(Header().size(), 28u);
    EXPECT_EQ(Header().at(15), "IdleContact") << "firmware 28 logs the fragments";

    // Units below firmware 9 send 11-byte records, which are not logged.
    Unit(8);
    logger.LogFile = dir.File("old.L00");
    logger.IsOpen = false;
    logger.LogLiveRecord(record, true);
    EXPECT_FALSE(logger.IsOpen);
    EXPECT_FALSE(std::filesystem::exists(logger.LogFile));
}

// With the wideband display on input F the older units' lines carry a value for every name.
TEST_F(DataLogger, OlderUnitWithWidebandDisplayHasANameForEveryValue) {
    dispOnF = true;
    bytes[5] = 51;  // TechEdge: 51 / 25.5 + 9 = 11.0
    for (int firmware : {23, 24}) {
        SCOPED_TRACE(firmware);
        Unit(firmware);
        const auto lines = LogOneLine();
        const auto header = Split(lines.at(6), '\t');
        const auto line = Split(lines.at(8), '\t');
        EXPECT_EQ(header.at(6), "InF_AFR");
        EXPECT_EQ(line.at(6), "11.0");
        const std::size_t values = line.back().empty() ? line.size() - 1 : line.size();
        const std::size_t names = header.back().empty() ? header.size() - 1 : header.size();
        EXPECT_EQ(values, names);
        EXPECT_EQ(values, firmware == 23 ? 28u : 34u);
    }
}

// Spreadsheets and tools read the log: a German desktop must not turn its points into commas.
TEST_F(DataLogger, LinesKeepThePointUnderAGermanLocale) {
    test::GermanLocale german;
    if (!german.Active())
        GTEST_SKIP() << "no German locale installed";
    Unit(28, 0, 2);
    bytes[2] = 245;  // 245 / 0.255 = 960.7: 96.0 %
    bytes[5] = 51;   // AFR 12.0 on the data set's scale
    const auto line = Line();
    EXPECT_EQ(line.at(3), "96.0");
    EXPECT_EQ(line.at(6), "12.0");
    Unit(9);
    EXPECT_EQ(Line().at(3), "96.0");
    dispOnF = true;
    Unit(24);
    EXPECT_EQ(Line().at(6), "11.0") << "TechEdge: 51 / 25.5 + 9";
}

// A log keeps the layout it was opened with: a change of the input configuration or of the
// wideband display while it runs reaches the next log, never this one's lines.
TEST_F(DataLogger, ALogNeverMixesTwoColumnLayouts) {
    Unit(28, 0, 0);
    bytes[5] = 255;
    bytes[6] = 60;
    logger.LogFile = dir.File("layout.L00");
    logger.LogLiveRecord(record, true);
    data.InputFSelect = 2;  // input F now carries the wideband sensor
    data.InputESelect = 1;
    logger.LogLiveRecord(record, true);
    auto lines = FileLines(logger.OpenFile);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(Split(lines.at(6), '\t').at(6), "AnaInF");
    for (std::size_t i : {8u, 9u}) {
        const auto line = Split(lines.at(i), '\t');
        ASSERT_EQ(line.size(), 28u);
        EXPECT_EQ(line.at(6), "255") << "line " << i << " under AnaInF";
        EXPECT_EQ(line.at(7), " 60") << "line " << i << " under CompFVal";
    }
    logger.LogLiveRecord(record, false);

    // The next log takes the new configuration.
    logger.LogFile = dir.File("layout.L01");
    logger.LogLiveRecord(record, true);
    lines = FileLines(logger.OpenFile);
    EXPECT_EQ(Split(lines.at(6), '\t').at(6), "InF_AFR");
    EXPECT_EQ(Split(lines.at(8), '\t').at(6), "20.0");

    // The older units' wideband display, switched on during a log, waits for the next one.
    Unit(20);
    logger.LogLiveRecord(record, false);
    logger.LogFile = dir.File("layout.L02");
    logger.LogLiveRecord(record, true);
    dispOnF = true;
    logger.LogLiveRecord(record, true);
    lines = FileLines(logger.OpenFile);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(Split(lines.at(9), '\t').at(6), "255") << "AnaInF of every byte as it is";
    EXPECT_EQ(Split(lines.at(9), '\t').size(), 29u);
}

// A comment belongs to a finished log: a click while the next log runs adds no block between
// its data lines.
TEST_F(DataLogger, AddCommentEndsWhenTheNextLogOpens) {
    Unit(30);
    logger.LogFile = dir.File("first.L00");
    logger.LogLiveRecord(record, true);
    logger.LogLiveRecord(record, false);
    EXPECT_TRUE(logger.State().AddCommentEnabled);

    logger.LogFile = dir.File("second.L00");
    logger.LogLiveRecord(record, true);
    EXPECT_FALSE(logger.State().AddCommentEnabled) << "a log runs";
    logger.SetLogComment({"too early"});
    logger.AddCommentButtonClick();
    logger.LogLiveRecord(record, true);
    auto lines = FileLines(logger.OpenFile);
    ASSERT_EQ(lines.size(), 8u + 2u) << "header and two data lines only";
    EXPECT_NE(lines.at(8).front(), ';');
    EXPECT_NE(lines.at(9).front(), ';');

    logger.LogLiveRecord(record, false);
    EXPECT_TRUE(logger.State().AddCommentEnabled);
    logger.AddCommentButtonClick();
    lines = FileLines(logger.OpenFile);
    ASSERT_EQ(lines.size(), 8u + 2u + 3u + 5u);
    EXPECT_EQ(lines.at(16), "; too early");
}

// An older log looked at while the running one is gone stays as it was: the records of the
// running log are never appended to it, nor its closing lines.
TEST_F(DataLogger, ShowLogDataNeverRedirectsTheRunningLog) {
    Unit(30);
    const std::string older = "; older\r\nPCCnt\tLoopCnt\r\n0000001\t002\t\r\n";
    const std::string olderPath = dir.Write("older.L07", older);
    logger.LogFile = dir.File("running.L00");
    logger.LogLiveRecord(record, true);
    std::filesystem::remove(logger.LogFile);

    dialogs.OpenChoices = {olderPath};
    logger.ShowDLogDataButtonClick();
    EXPECT_EQ(logger.State().ViewLines,
              (std::vector<std::string>{"; older", "PCCnt\tLoopCnt", "0000001\t002\t"}));
    EXPECT_EQ(logger.State().FileNamePanel, olderPath);
    logger.LogLiveRecord(record, true);
    logger.LogLiveRecord(record, false);
    EXPECT_EQ(TempDir::Read(olderPath), older);
    EXPECT_FALSE(std::filesystem::exists(dir.File("running.L00")));

    // Once no log runs, the log looked at is the one that takes comments.
    dialogs.OpenChoices = {olderPath};
    logger.ShowDLogDataButtonClick();
    logger.SetLogComment({"late note"});
    logger.AddCommentButtonClick();
    EXPECT_EQ(FileLines(olderPath).at(6), "; late note");
}

TEST_F(DataLogger, HeaderClosingLinesAndCommentBlocks) {
    Unit(30);
    data.DeviceData.Ident.SerialNo = "12345678901234567890";
    logger.LogFile = dir.File("log.L05");
    ASSERT_TRUE(logger.OpenLogFile());
    now = LocalTime(2024, 3, 7, 15, 0, 1);
    logger.CloseLogFile();
    EXPECT_TRUE(logger.State().AddCommentEnabled);
    logger.SetLogComment({"first run", "Ölwechsel"});
    logger.AddCommentButtonClick();
    EXPECT_FALSE(logger.State().AddCommentEnabled);
    logger.SetLogComment({});
    logger.WriteLogComment();

    const std::string rule47 = ";" + std::string(47, '-');
    const std::string rule48 = ";" + std::string(48, '-');
    const std::string rule36 = ";" + std::string(36, '-');
    auto lines = FileLines(logger.OpenFile);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 6);
    EXPECT_EQ(head, (std::vector<std::string>{rule47, "; Zevrin plus Log file",
                                              "; Serial No.: 12345678901234567890", rule47,
                                              "; Log opened: 2024-03-07  14:05:09", rule47}));
    EXPECT_EQ(lines.at(7), "");
    const std::vector<std::string> tail(lines.begin() + 8, lines.end());
    const std::vector<std::string> expected = {rule48,
                                               "; Log closed: 2024-03-07  15:00:01",
                                               rule48,
                                               rule36,
                                               "; Comment",
                                               rule36,
                                               "; first run",
                                               "; \xD6lwechsel",
                                               rule36,
                                               rule36,
                                               "; Comment",
                                               rule36,
                                               "; 03/07/2024 15:00:01 ; No Comment",
                                               rule36};
    EXPECT_EQ(tail, expected) << "Windows-1252 on disk";
}

TEST_F(DataLogger, ChoosesTheFirstFileAndNamesTheNextOnesItself) {
    dialogs.SaveChoices = {std::nullopt};
    EXPECT_FALSE(logger.ChooseLogFile());
    EXPECT_TRUE(logger.LogDir.empty());
    ASSERT_EQ(dialogs.SaveRequests.size(), 1u);
    const auto folder = dir.Path() / "Logger";
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(dialogs.SaveRequests[0].InitialDirectory, folder.string());
    EXPECT_EQ(dialogs.SaveRequests[0].ProposedName, (folder / "24030714.L05").string());
    EXPECT_EQ(dialogs.SaveRequests[0].Filter, "Log-Data (*.l*)|*.l*");

    dialogs.SaveChoices = {dir.File("mine.L01")};
    EXPECT_TRUE(logger.ChooseLogFile());
    EXPECT_EQ(logger.LogFile, dir.File("mine.L01"));
    now = LocalTime(2024, 3, 8, 9, 30);
    EXPECT_TRUE(logger.ChooseLogFile());
    EXPECT_EQ(logger.LogFile, dir.File("24030809.L30"));
    EXPECT_EQ(dialogs.SaveRequests.size(), 2u);
}

TEST_F(DataLogger, RefusesAnExistingFileAndDisarms) {
    Unit(30);
    const std::string path = dir.Write("24030714.L05", "keep me");
    logger.LogFile = path;
    EXPECT_FALSE(logger.OpenLogFile());
    EXPECT_FALSE(logger.IsOpen);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(logger.State().FileNamePanel, path + " exists!!!");
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Caption, "Error");
    EXPECT_EQ(dialogs.Boxes[0].Text, path + " already exist. Log not opened!");
    EXPECT_EQ(TempDir::Read(path), "keep me");
}

TEST_F(DataLogger, ClearBufferRestartsTheCountButKeepsTheLines) {
    Unit(30);
    logger.LogFile = dir.File("count.L00");
    for (int i = 0; i < 3; ++i)
        logger.LogLiveRecord(record, true);
    EXPECT_EQ(logger.State().LogNumPanel, "3");
    logger.ClearDLogBufferButtonClick();
    EXPECT_EQ(logger.State().LogNumPanel, "0");
    logger.LogLiveRecord(record, true);
    EXPECT_EQ(logger.State().LogNumPanel, "1");
    EXPECT_EQ(FileLines(logger.OpenFile).size(), 8u + 4u);

    // A log removed under the logger is not created again headerless; the count stays.
    std::filesystem::remove(logger.OpenFile);
    logger.LogLiveRecord(record, true);
    EXPECT_EQ(logger.State().LogNumPanel, "1");
    EXPECT_FALSE(std::filesystem::exists(logger.OpenFile));

    // Disarmed, the next record closes the log.
    logger.LogFile = dir.File("count.L01");
    logger.IsOpen = false;
    logger.LogLiveRecord(record, true);
    logger.LogLiveRecord(record, false);
    EXPECT_FALSE(logger.IsOpen);
    EXPECT_EQ(FileLines(logger.OpenFile).back(), ";" + std::string(48, '-'));
}

TEST_F(DataLogger, ShowLogDataLoadsTheLogOrLeavesThePageAsItWas) {
    logger.ClearDLogBufferButtonClick();
    dialogs.OpenChoices = {std::nullopt};
    logger.ShowDLogDataButtonClick();
    EXPECT_TRUE(logger.State().ViewLines.empty());
    EXPECT_TRUE(logger.State().FileNamePanel.empty());

    const std::string path = dir.Write("old.L07", "; a\r\nPCCnt\tLoopCnt\r\n0000001\t002\t\r\n");
    dialogs.OpenChoices = {path};
    logger.ShowDLogDataButtonClick();
    EXPECT_EQ(logger.State().ViewLines,
              (std::vector<std::string>{"; a", "PCCnt\tLoopCnt", "0000001\t002\t"}));
    EXPECT_EQ(logger.State().FileNamePanel, path);
    logger.ShowDLogDataButtonClick();
    EXPECT_EQ(dialogs.OpenRequests.size(), 2u) << "the shown log is shown again without asking";
}

TEST_F(DataLogger, TabCyclesThroughThePageAndEscapeShowsThePageSelection) {
    int selections = 0;
    host.ShowPageSelection = [&] { ++selections; };
    TDLogger page(data, dialogs, clock, host);
    page.FocusChanged(TDLoggerFocus::CommentEditor);
    page.ShowPage();
    EXPECT_EQ(page.State().ShowLogDataCaption, "Show Log Data");
    EXPECT_EQ(page.State().Focus, TDLoggerFocus::ClearBuffer) << "showing the page focuses it";
    const std::uint32_t moves = page.State().FocusMoves;
    page.HandleKey('A');
    EXPECT_EQ(page.State().FocusMoves, moves) << "other keys leave the focus alone";
    page.HandleKey(9);
    EXPECT_EQ(page.State().Focus, TDLoggerFocus::ShowLogData)
        << "Add Comment waits for a closed log";
    page.HandleKey(9);
    EXPECT_EQ(page.State().Focus, TDLoggerFocus::CommentEditor);
    page.HandleKey(9);
    EXPECT_EQ(page.State().Focus, TDLoggerFocus::ClearBuffer);
    EXPECT_EQ(page.State().FocusMoves, moves + 3) << "each Tab moves the view's focus";
    page.CloseLogFile();
    page.HandleKey(9);
    EXPECT_EQ(page.State().Focus, TDLoggerFocus::AddComment) << "a closed log takes comments";
    page.HandleKey(27);
    EXPECT_EQ(selections, 1);
    page.SetLanguage(Language::German);
    EXPECT_EQ(page.State().ClearBufferCaption, "Puffer Löschen");
}

TEST(CommentForm, OnlyTypingMarksTheDataSetModified) {
    int modified = 0;
    TCommentForm form(10);
    form.MarkModified = [&] { ++modified; };
    form.ShowComment({"loaded"});
    form.CommentMemoChange({"loaded"});  // scrolling or selecting changes nothing
    form.CommentMemoChange({"set by the program"});
    EXPECT_EQ(modified, 0);
    form.CommentMemoKeyPress('x');
    form.CommentMemoChange({"set by the program x"});
    EXPECT_EQ(modified, 1);
    form.ShowComment({"saved"});
    form.CommentMemoChange({"saved", "pasted"});
    EXPECT_EQ(modified, 1) << "a save clears the flag";
    form.CommentMemoOperatorEdit();  // the Paste button
    form.CommentMemoChange({"saved", "pasted", "again"});
    EXPECT_EQ(modified, 2) << "a pasted comment must not be lost without the save question";

    form.TextSizeBoxChange("22");
    EXPECT_EQ(form.TextSize(), 22);
    form.TextSizeBoxChange("5");
    EXPECT_EQ(form.TextSize(), 22);
    EXPECT_EQ(TCommentForm::TextSizeItems().front(), "6");
    EXPECT_EQ(TCommentForm::TextSizeItems().back(), "22");
}

// The editor's text and the comment lines: empty lines, at the end too, come back as they were.
TEST(CommentForm, LinesSurviveTheEditor) {
    const std::vector<std::string> lines = {"Motor 1.8", "", "Düse 2", ""};
    EXPECT_EQ(EditorText(lines), "Motor 1.8\n\nDüse 2\n\n");
    EXPECT_EQ(EditorTextLines(EditorText(lines)), lines);
    EXPECT_EQ(EditorTextLines("typed\nlast without break"),
              (std::vector<std::string>{"typed", "last without break"}));
    EXPECT_TRUE(EditorTextLines("").empty());
    EXPECT_EQ(EditorTextLines("\n"), std::vector<std::string>{""});
}

}  // namespace
}  // namespace zv
