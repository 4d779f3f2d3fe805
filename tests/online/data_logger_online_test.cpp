// The Logger button against the simulated unit: live records land in the log line by line.
#include <cmath>
#include <fstream>
#include <sstream>

#include "app/logger_wiring.h"
#include "logger/data_logger.h"
#include "online_fixture.h"
#include "temp_dir.h"

namespace zv::test {
namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    return fields;
}

class LoggerOnline : public OnlineTest {
  protected:
    void SetUp() override {
        OnlineTest::SetUp();
        TDLoggerHost host;
        host.RecentDir = [this] { return dir.Path().string(); };
        host.ReleaseLogger = [this] { Online->ReleaseLogger(); };
        Logger = std::make_unique<TDLogger>(Main.Data(), Dialogs, Clock, host);
        ConnectDataLogger(*Online, *Logger);
        Online->RecordArrived = [this](const TLiveRecord& record) {
            if (Logger->IsOpen)
                Logged.emplace_back(record.Bytes.begin(), record.Bytes.end());
        };
    }

    std::vector<std::string> LogLines() const {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            EXPECT_FALSE(line.empty() || line.back() != '\r') << "CR LF line ends";
            if (!line.empty())
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    TempDir dir;
    std::string path = dir.File("drive.L00");
    std::unique_ptr<TDLogger> Logger;
    std::vector<std::vector<std::uint8_t>> Logged;
};

TEST_F(LoggerOnline, RecordsLiveValuesUntilTheQuitQuestionIsAnswered) {
    AttachUnit(30);
    Online->OffOnlineButtonClick();
    ASSERT_TRUE(RunUntilState(link::RunOnline, 60000));
    Dialogs.SaveChoices = {path};
    Online->LoggerButtonClick();
    ASSERT_TRUE(Online->Controls().LoggerMenuChecked);
    Clock.Advance(3000);

    Dialogs.Answers = {MsgAnswer::No};
    Online->MenuLoggerClick();
    EXPECT_TRUE(Online->Controls().LoggerMenuChecked) << "No keeps logging";
    Online->MenuLoggerClick();  // Yes
    ASSERT_EQ(Dialogs.Boxes.size(), 2u);
    EXPECT_EQ(Dialogs.Boxes[1].Text, "Quit Data Logging?");
    EXPECT_EQ(Dialogs.Boxes[1].Caption, "Confirmation");
    EXPECT_FALSE(Online->Controls().Logger.Down);
    ASSERT_TRUE(Clock.RunUntil([&] { return !Logger->IsOpen; }, 2000))
        << "the next record closes the log";

    const auto lines = LogLines();
    ASSERT_GT(Logged.size(), 10u) << "about one record per 100 ms";
    ASSERT_EQ(lines.size(), 8 + Logged.size() + 3);
    EXPECT_EQ(Logger->State().LogNumPanel, std::to_string(Logged.size()));
    std::int64_t lastCount = -1;
    for (std::size_t i = 0; i < Logged.size(); ++i) {
        const auto& r = Logged[i];
        const auto f = Fields(lines[8 + i]);
        ASSERT_EQ(f.size(), 27u);
        const std::int64_t pcCount = std::stoll(f[0]);
        EXPECT_GT(pcCount, lastCount) << "milliseconds since the log opened";
        lastCount = pcCount;
        EXPECT_EQ(std::stoi(f[1]), r[16]);
        EXPECT_EQ(std::stoi(f[2]), static_cast<int>(r[1] * 39.2157));
        EXPECT_EQ(f[3], std::to_string(static_cast<int>(r[2] / 0.255) / 10) + "." +
                            std::to_string(static_cast<int>(r[2] / 0.255) % 10));
        EXPECT_EQ(std::stoi(f[14]), r[13]) << "injector output";
        EXPECT_EQ(f[15], (r[0] & 0x40) ? "1" : "0") << "idle contact";
    }
    EXPECT_EQ(lines.back(), ";" + std::string(48, '-'));

    Logger->SetLogComment({"dyno run 1"});
    Logger->AddCommentButtonClick();
    Logger->ClearDLogBufferButtonClick();
    Logger->ShowDLogDataButtonClick();
    EXPECT_EQ(Logger->State().ViewLines.size(), lines.size() + 5);
    EXPECT_EQ(Logger->State().ViewLines[lines.size() + 3], "; dyno run 1");
}

}  // namespace
}  // namespace zv::test
