// zvtool against zvsim over a real pseudo-terminal at true 9600-baud timing. Kept to the short
// transfers: the benchmark times the long ones.
#ifdef ZVSIM_PATH

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "data_files.h"
#include "zvsim_process.h"
#include "zvtool_run.h"

namespace zv {
namespace {

using test::NewFileLines;
using test::ReplaceLine;
using test::ToFileText;
using test::ToolRun;
using test::ValueDifferences;
using test::Zvsim;
using test::Zvtool;

// Sends the ping byte on the raw terminal; whether the unit acknowledged it within waitMs.
bool PingAnswered(int fd, int waitMs = 300) {
    tcflush(fd, TCIOFLUSH);
    const std::uint8_t ping = 0x16;
    if (write(fd, &ping, 1) != 1)
        return false;
    pollfd p{fd, POLLIN, 0};
    std::uint8_t answer = 0;
    return poll(&p, 1, waitMs) == 1 && read(fd, &answer, 1) == 1 && answer == 0x06;
}

// Firmware 6 writes with echoes, 7 with checksums; neither holds an AFR map, which keeps the
// round trip to the device data and the fuel map.
TEST_F(Zvtool, DataDownloadedOverATerminalComesBackEqual) {
    auto lines = NewFileLines();
    ReplaceLine(lines, "T5=", "T5=74,99,114,132,146,155,161,164,167,174,177,180,182,184,187,250");
    ReplaceLine(lines, "ContactIdle=", "ContactIdle=44");
    ReplaceLine(lines, "T0=", "T0=1,2,3,255,255,255,255,255,255,255,255,255,255,255,255,0");
    dir.Write("car.zvt", ToFileText(lines));
    for (int fw : {6, 7}) {
        SCOPED_TRACE(fw);
        const std::string kept = "unit" + std::to_string(fw) + ".zvt";
        Zvsim unit({"--firmware", std::to_string(fw), "--link", dir.File("tty"), "--save-on-exit",
                    dir.File(kept)});
        ASSERT_TRUE(unit.Ready());
        const ToolRun down = Tool("download --port " + Q("tty") + " " + Q("car.zvt"));
        ASSERT_EQ(down.Exit, 0) << down.Err;
        EXPECT_NE(down.Err.find("status: Device Data Download\n"), std::string::npos);
        const ToolRun up = Tool("upload --port " + Q("tty") + " -o " + Q("back.zvt"));
        ASSERT_EQ(up.Exit, 0) << up.Err;
        EXPECT_EQ(unit.Stop(), 0);

        // The unit holds exactly the file's data.
        EXPECT_EQ(ValueDifferences(Tool("diff " + Q("car.zvt") + " " + Q(kept)).Out, "AfrMap"),
                  std::vector<std::string>{});
        // And gives it back as a unit holding the file's data gives it (an upload clears what
        // the firmware has no place for).
        const std::string fw6or7 = std::to_string(fw);
        ASSERT_EQ(Tool("upload --port sim:" + fw6or7 + " --sim-data " + Q("car.zvt") + " -o " +
                       Q("ref.zvt"))
                      .Exit,
                  0);
        EXPECT_EQ(ValueDifferences(Tool("diff " + Q("ref.zvt") + " " + Q("back.zvt")).Out),
                  std::vector<std::string>{});
    }
}

TEST_F(Zvtool, SilentAndMissingUnitsOnATerminalEndWithTheirOwnExitCodes) {
    Zvsim unit({"--link", dir.File("tty"), "--silent", "0:60"});
    ASSERT_TRUE(unit.Ready());
    const ToolRun silent = Tool("upload --port " + Q("tty") + " -o " + Q("x.zvt"));
    EXPECT_EQ(silent.Exit, 4) << silent.Err;
    EXPECT_NE(silent.Err.find("status: Connect Timeout\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.zvt")));
    unit.Stop();
    EXPECT_EQ(Tool("download --port " + Q("tty") + " " + Q("x.zvt")).Exit, 3)
        << "the link went with zvsim";

    Zvsim strange({"--link", dir.File("tty2"), "--type", "5"});
    const ToolRun unsupported = Tool("upload --port " + Q("tty2") + " -o " + Q("x.zvt"));
    EXPECT_EQ(unsupported.Exit, 5) << unsupported.Err;
}

// The fault matrix silences the unit in the middle of a transfer by a signal.
TEST_F(Zvtool, ASignalSilencesTheUnitForTheGivenTime) {
    Zvsim unit({"--link", dir.File("tty"), "--silent-on-signal", "1.5"});
    ASSERT_TRUE(unit.Ready());
    const int fd = open(dir.File("tty").c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    EXPECT_TRUE(PingAnswered(fd));
    unit.Signal(SIGUSR1);
    usleep(200000);
    EXPECT_FALSE(PingAnswered(fd));
    usleep(1500000);
    EXPECT_TRUE(PingAnswered(fd)) << "silent for longer than asked";
    close(fd);
}

// An adapter's latency timer: each reply leaves the unit that much later than it would.
TEST_F(Zvtool, ALaggedUnitAnswersThatLate) {
    for (const char* bad : {"1001", "-1", "16ms"}) {
        Zvsim refused({"--link", dir.File("bad"), "--lag", bad});
        EXPECT_FALSE(refused.Ready()) << bad;
        EXPECT_EQ(refused.Stop(), 2) << bad;
    }
    for (int lag : {0, 250}) {
        SCOPED_TRACE(lag);
        const std::string tty = "tty" + std::to_string(lag);
        Zvsim unit({"--link", dir.File(tty), "--lag", std::to_string(lag)});
        ASSERT_TRUE(unit.Ready());
        const int fd = open(dir.File(tty).c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios tio{};
        tcgetattr(fd, &tio);
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(PingAnswered(fd, 1000));
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        // The ping and its answer take two bytes' time (about 2 ms) on the line.
        EXPECT_GE(ms, lag + 2);
        EXPECT_LT(ms, lag + 100);
        close(fd);
    }
}

}  // namespace
}  // namespace zv

#endif
