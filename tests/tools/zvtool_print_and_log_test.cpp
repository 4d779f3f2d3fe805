// zvtool print and watch --log, run as a user runs them; the PDF is read back with pdftotext.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "data_files.h"
#include "temp_dir.h"

namespace zv {
namespace {

using test::NewFileLines;
using test::ReplaceLine;
using test::TempDir;
using test::ToFileText;

class ZvtoolOutput : public ::testing::Test {
  protected:
    // Runs a command line in the test's folder; its exit code and standard error.
    int Run(const std::string& command, std::string* err = nullptr) {
        const std::string errFile = dir.File("stderr.txt");
        const int status = std::system(
            ("cd '" + dir.Path().string() + "' && " + command + " 2>" + errFile).c_str());
        if (err)
            *err = TempDir::Read(errFile);
        return WEXITSTATUS(status);
    }
    std::string PdfText(const std::string& pdf) {
        EXPECT_EQ(Run("pdftotext -layout " + pdf + " sheet.txt"), 0);
        return TempDir::Read(dir.File("sheet.txt"));
    }

    TempDir dir;
    const std::string tool = ZVTOOL_PATH;
};

TEST_F(ZvtoolOutput, PrintWritesTheDataSheetInEitherLanguage) {
    auto lines = NewFileLines();
    ASSERT_TRUE(ReplaceLine(lines, "T0=", "T0=255,53,58,64,69,71,71,73,76,78,79,79,78,79,80,80"));
    ASSERT_TRUE(ReplaceLine(lines, "GPInAsLambda=", "GPInAsLambda=1"));
    ASSERT_TRUE(ReplaceLine(lines, "RedLed=", "RedLed=201"));
    lines.push_back("Dyno session with the new injectors");
    dir.Write("car.zvt", ToFileText(lines));

    std::string err;
    ASSERT_EQ(Run(tool + " print car.zvt -o en.pdf", &err), 0) << err;
    ASSERT_EQ(Run("pdfinfo en.pdf | grep -q '^Pages: *1$'"), 0) << "one page";
    const std::string en = PdfText("en.pdf");
    for (const char* text :
         {"ZEVRIN Data sheet", "File:", "car.zvt", "Fuel Map:", "Rpm", "Load %",
          "Lambda control. O2 sensor on General purpose input[E]", "Device not connected",
          "Narrow band Lambda Control:", "Comment:", "Dyno session with the new injectors",
          "ZEVRIN Control", "V3.28#00", "Brenvik", "REDIVIRUDO"}) {
        EXPECT_NE(en.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(en.find("General Purpose Input line data"), std::string::npos)
        << "input E carries the lambda sensor";
    EXPECT_TRUE(std::regex_search(en, std::regex("Red Led: +201"))) << en;
    // Map row 0 below the lowest throttle site (29 x 100 div 255 = 11), engine speed sites
    // from 13 x 10000 div 255 = 509 to 199 x 10000 div 255 = 7803.
    EXPECT_TRUE(std::regex_search(en, std::regex("11 +255 +53 +58"))) << en;
    EXPECT_TRUE(std::regex_search(en, std::regex("Rpm +509 +941 .* 7803")));

    ASSERT_EQ(Run(tool + " print car.zvt -o de.pdf --lang de"), 0);
    const std::string de = PdfText("de.pdf");
    for (const char* text :
         {"ZEVRIN Datenblatt", "Datei:", "Kennfeld:", "U/min", "Konfiguration Eingänge",
          "Lambdaregelung. Lambdasone an Allgemeinem Eingang[E]", "Rote Led:", "Kommentar:"}) {
        EXPECT_NE(de.find(text), std::string::npos) << text;
    }

    // A comment of 40 lines continues on a second page, every line on it.
    for (int k = 1; k <= 40; ++k)
        lines.push_back("Comment line " + std::to_string(k) + " end");
    dir.Write("long.zvt", ToFileText(lines));
    ASSERT_EQ(Run(tool + " print long.zvt -o long.pdf"), 0);
    ASSERT_EQ(Run("pdfinfo long.pdf | grep -q '^Pages: *2$'"), 0) << "two pages";
    const std::string longText = PdfText("long.pdf");
    for (int k = 1; k <= 40; ++k) {
        const std::string line = "Comment line " + std::to_string(k) + " end";
        EXPECT_NE(longText.find(line), std::string::npos) << line;
    }
    EXPECT_NE(longText.find("Dyno session with the new injectors"), std::string::npos);

    EXPECT_EQ(Run(tool + " print missing.zvt -o x.pdf"), 1);
    EXPECT_EQ(Run(tool + " print car.zvt"), 2) << "-o is needed";
}

TEST_F(ZvtoolOutput, WatchWithLogRecordsTheLiveRecordsAsTheLoggerButtonDoes) {
    std::string err;
    ASSERT_EQ(Run(tool + " watch --port sim:9 --seconds 2 --log logs >/dev/null", &err), 0) << err;
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / "logs"))
        logs.push_back(entry.path());
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_TRUE(std::regex_match(logs[0].filename().string(), std::regex("[0-9]{8}\\.L[0-9]{2}")));

    std::vector<std::string> lines;
    std::istringstream in(TempDir::Read(logs[0].string()));
    for (std::string line; std::getline(in, line);) {
        ASSERT_FALSE(line.empty() || line.back() != '\r') << "CR LF line ends";
        line.pop_back();
        lines.push_back(line);
    }
    ASSERT_GT(lines.size(), 8u + 10u + 3u);
    EXPECT_EQ(lines[1], "; Zevrin plus Log file");
    EXPECT_EQ(lines[6].substr(0, 32), "PCCnt\tLoopCnt\tEngine Rpm\tTPS[%]\t");
    EXPECT_EQ(lines[lines.size() - 2].substr(0, 14), "; Log closed: ");
    const std::size_t dataLines = lines.size() - 8 - 3;
    EXPECT_NE(err.find("(" + std::to_string(dataLines) + " lines)"), std::string::npos) << err;
    for (std::size_t i = 8; i < 8 + dataLines; ++i) {
        EXPECT_TRUE(std::regex_match(
            lines[i], std::regex("[0-9]{7}\t[0-9]{3}\t[0-9]{4,5}\t[ 0-9]{1,2}[0-9]\\.[0-9]\t"
                                 "([0-9]{3}\t){12}([01]\t){12}")))
            << lines[i];
    }
}

// The data lines of the one log in dir/logs, as tab-separated fields.
std::vector<std::vector<std::string>> LogRows(const std::filesystem::path& folder) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::istringstream in(TempDir::Read(entry.path().string()));
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] < '0' || line[0] > '9')
                continue;  // header, titles and comment lines
            std::vector<std::string> fields;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, '\t');)
                fields.push_back(cell);
            rows.push_back(fields);
        }
    }
    return rows;
}

// Engine Rpm (field 2) and TPS[%] (field 3) as the log writes them.
std::pair<std::string, std::string> Point(const std::vector<std::string>& row) {
    std::string tps = row.at(3);
    tps.erase(0, tps.find_first_not_of(' '));
    return {row.at(2), tps};
}

TEST_F(ZvtoolOutput, WatchLogsAHeldPoint) {
    std::string err;
    ASSERT_EQ(Run(tool + " watch --port sim --drive hold:35,2400 --seconds 3 --log logs >/dev/null",
                  &err),
              0)
        << err;
    const auto rows = LogRows(dir.Path() / "logs");
    ASSERT_GT(rows.size(), 10u);
    // Raw 61 and 89: 61 x 39.2157 = 2392 rpm, trunc(89 / 0.255) / 10 = 34.9 %.
    for (const auto& row : rows)
        EXPECT_EQ(Point(row), (std::pair<std::string, std::string>{"2392", "34.9"}));
}

// Seventy seconds of engine time on virtual time: the warm-up, then the first points of the
// sweep on the lowest throttle site (raw 29: 11.3 %), at rpm sites 13, 24 and 33 (509, 941 and
// 1294 rpm).
TEST_F(ZvtoolOutput, WatchLogsTheSweepOnVirtualTime) {
    std::string err;
    ASSERT_EQ(
        Run(tool + " watch --port sim --drive sweep --seconds 70 --log logs >/dev/null", &err), 0)
        << err;
    std::set<std::pair<std::string, std::string>> points;
    for (const auto& row : LogRows(dir.Path() / "logs"))
        points.insert(Point(row));
    for (const char* rpm : {"0509", "0941", "1294"})
        EXPECT_EQ(points.count({rpm, "11.3"}), 1u) << rpm;
    EXPECT_EQ(points.count({"2470", "23.5"}), 1u) << "the warm-up point: raw 63 and 60";
}

// Ten hours of records, printed and logged, in the memory a few minutes take: the tool keeps
// nothing per record. 100 MB of address space hold the tool and its libraries many times over.
TEST_F(ZvtoolOutput, WatchRunsTenHoursInTheMemoryOfAFewMinutes) {
    std::string err;
    ASSERT_EQ(Run("ulimit -v 100000 && " + tool +
                      " watch --port sim --seconds 36000 --log logs >/dev/null",
                  &err),
              0)
        << err;
    EXPECT_NE(err.find("(359998 lines)"), std::string::npos) << "ten records a second";
}

TEST_F(ZvtoolOutput, DriveIsRefusedWithItsReason) {
    std::string err;
    EXPECT_EQ(Run(tool + " watch --port sim --drive hold:35 --seconds 1", &err), 2);
    EXPECT_NE(err.find("TPS,RPM"), std::string::npos) << err;
    EXPECT_EQ(Run(tool + " watch --port COM97 --drive sweep --seconds 1", &err), 2);
    EXPECT_NE(err.find("simulated unit only"), std::string::npos) << err;
}

// Units of firmware index 8 and lower send records the logger does not serve: the tool says so
// instead of ending silently.
TEST_F(ZvtoolOutput, WatchWithLogSaysWhyAnOlderUnitGetsNoLog) {
    std::string err;
    EXPECT_EQ(Run(tool + " watch --port sim:8 --seconds 1 --log logs >/dev/null", &err), 1);
    EXPECT_NE(err.find("firmware index 8"), std::string::npos) << err;
    EXPECT_NE(err.find("9 or later"), std::string::npos) << err;
}

}  // namespace
}  // namespace zv
