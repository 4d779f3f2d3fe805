#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "line/virtual_timer_service.h"
#include "link/port_name.h"
#include "paced/paced_sim_port.h"
#include "port_directory.h"
#include "port_switch.h"
#include "port_test_support.h"
#include "tcom_manager.h"
#include "tserial.h"

namespace zv {
namespace {

using port::TCOMManager;
using port::TSerial;
using test::WaitFor;
using test::Zvsim;

constexpr int kCom = 4;

class SerialOnPty : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(port::PortDirectory());
        manager.SystemDevices = [] { return std::vector<std::string>{}; };
        manager.UnlistedDevice = [](int) { return std::optional<std::string>(); };
        serial.SetOnRxChar([this] { ++notifications; });
        serial.SetPort(0);
    }

    // Sends a ping and waits for the unit's answer.
    std::string Ping() {
        const std::uint8_t ping = 0x16;
        serial.ReadString();
        if (serial.WriteBuf(&ping, 1) != 1)
            return "not sent";
        WaitFor([this] { return serial.BytesAvailable() > 0; }, 500);
        return serial.ReadString();
    }

    TCOMManager manager;
    TSerial serial{manager};
    int notifications = 0;
};

TEST_F(SerialOnPty, OpensTheUnitsTerminalAndReadsWithoutWaiting) {
    EXPECT_FALSE(serial.Open());  // no port selected
    EXPECT_EQ(serial.LastOpenError(), port::TOpenError::NoPort);
    EXPECT_FALSE(serial.SetPort(kCom));  // not present yet
    Zvsim unit({"--com", std::to_string(kCom)});
    ASSERT_TRUE(unit.Ready());
    ASSERT_TRUE(WaitFor([&] { return manager.IsPresent(kCom); }, 2000));
    ASSERT_TRUE(serial.SetPort(kCom));
    ASSERT_TRUE(serial.Open());
    EXPECT_FALSE(serial.Open());  // already open

    EXPECT_EQ(Ping(), "\x06");
    EXPECT_GT(notifications, 0);

    // Three bytes of an identification waiting: a read of 16 takes the three at once.
    const std::uint8_t ident = 0x02;
    serial.WriteBuf(&ident, 1);
    ASSERT_TRUE(WaitFor([&] { return serial.BytesAvailable() >= 3; }, 500));
    std::uint8_t buffer[16];
    const std::size_t waiting = serial.BytesAvailable();
    EXPECT_EQ(serial.ReadBuf(buffer, 16), std::min<std::size_t>(waiting, 16));

    // The program closes and reopens the port: the unit is still there.
    serial.Close();
    EXPECT_EQ(serial.WriteBuf(&ident, 1), 0u);
    EXPECT_EQ(serial.BytesAvailable(), 0u);
    WaitFor([] { return false; }, 250);  // the rest of the identification drains
    ASSERT_TRUE(serial.Open());
    // The link's first request comes a job tick later; what arrived before it is stale.
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(Ping(), "\x06");
}

// A port the operator names that the system's list leaves out (a driver's, or one that Wine's
// port setting gives) is opened where its number leads; only a port that does not open is
// missing.
TEST_F(SerialOnPty, APortNoListShowsIsTriedBeforeItCountsAsMissing) {
    Zvsim unit({});
    ASSERT_TRUE(unit.Ready());
    const std::string device = unit.Device();
    manager.UnlistedDevice = [device](int number) {
        return number == 5 ? std::optional(device) : std::nullopt;
    };
    manager.Rescan();
    ASSERT_FALSE(manager.IsPresent(5));
    EXPECT_FALSE(serial.SetPort(5)) << "it is no port of the list";
    serial.AwaitPort(5);
    ASSERT_TRUE(serial.Open()) << serial.LastErrorText();
    EXPECT_EQ(Ping(), "\x06");
    serial.Close();

    serial.AwaitPort(6);  // leads nowhere
    EXPECT_FALSE(serial.Open());
    EXPECT_EQ(serial.LastOpenError(), port::TOpenError::Missing);
    EXPECT_EQ(serial.LastErrorText(), "port COM6 is not present");
}

// The port tells its owner the adapter's latency timer after every open, once the link's step
// that opened it is over; a system that knows no adapter tells nothing.
TEST_F(SerialOnPty, TheAdapterLatencyIsReportedAfterTheOpen) {
    std::vector<std::pair<int, int>> reports;
    serial.OnAdapterLatency = [&](int port, int ms) { reports.push_back({port, ms}); };
    Zvsim unit({"--com", std::to_string(kCom)});
    ASSERT_TRUE(unit.Ready());
    ASSERT_TRUE(WaitFor([&] { return manager.IsPresent(kCom); }, 2000));
    ASSERT_TRUE(serial.SetPort(kCom));
    EXPECT_EQ(serial.LatencyLookup(manager.DevicePath(kCom)), std::nullopt)
        << "only a Windows registry knows adapters";

    std::vector<std::string> looked;
    serial.LatencyLookup = [&](const std::string& device) -> std::optional<int> {
        looked.push_back(device);
        return 16;
    };
    ASSERT_TRUE(serial.Open());
    EXPECT_TRUE(reports.empty()) << "not inside the open";
    ASSERT_TRUE(WaitFor([&] { return !reports.empty(); }, 500));
    EXPECT_EQ(reports, (std::vector<std::pair<int, int>>{{kCom, 16}}));
    EXPECT_EQ(looked, std::vector<std::string>{manager.DevicePath(kCom)});

    serial.Close();
    serial.LatencyLookup = [](const std::string&) -> std::optional<int> { return std::nullopt; };
    ASSERT_TRUE(serial.Open());
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(reports.size(), 1u) << "no adapter found, nothing told";
}

TEST_F(SerialOnPty, APortThatVanishesIsMarkedClosedAndOpensAgainWhenItReturns) {
    int removed = 0;
    serial.OnCOMRemoved = [&] { ++removed; };
    {
        Zvsim unit({"--com", std::to_string(kCom)});
        ASSERT_TRUE(WaitFor([&] { return manager.IsPresent(kCom); }, 2000));
        ASSERT_TRUE(serial.SetPort(kCom) && serial.Open());
        EXPECT_EQ(Ping(), "\x06");
        EXPECT_EQ(unit.Stop(), 0);
    }
    EXPECT_TRUE(WaitFor([&] { return !serial.IsOpen(); }, 2000));
    EXPECT_EQ(removed, 1);
    EXPECT_TRUE(WaitFor([&] { return !manager.IsPresent(kCom); }, 2000));
    EXPECT_EQ(serial.ReadString(), "");

    Zvsim again({"--com", std::to_string(kCom)});
    ASSERT_TRUE(again.Ready());
    EXPECT_TRUE(WaitFor([&] { return serial.IsOpen(); }, 2000));
    EXPECT_EQ(Ping(), "\x06");
}

// The program's port: port 0 is none, the simulated unit's own number the built-in unit, any
// other number the serial port of that number, even one that is not there yet; nothing goes to
// the port not selected.
TEST_F(SerialOnPty, TheSwitchTalksOnlyThroughTheSelectedPortAndWaitsForAMissingOne) {
    sim::VirtualTimerService wall;
    sim::TPacedSimPort builtIn(wall, 30);
    port::TPortSwitch program(builtIn, serial);
    int notified = 0;
    program.SetOnRxChar([&] { ++notified; });
    const std::uint8_t ping = 0x16;

    program.SetPort(kCom);  // not present yet
    EXPECT_EQ(program.Port(), kCom);
    EXPECT_FALSE(program.Open());
    EXPECT_FALSE(builtIn.IsOpen()) << "a missing port is never stood in for by the built-in unit";
    Zvsim unit({"--com", std::to_string(kCom)});
    ASSERT_TRUE(unit.Ready());
    ASSERT_TRUE(WaitFor([&] { return program.IsOpen(); }, 3000)) << "it opens when it arrives";
    program.ReadString();
    ASSERT_EQ(program.WriteBuf(&ping, 1), 1u);
    ASSERT_TRUE(WaitFor([&] { return program.BytesAvailable() > 0; }, 500));
    EXPECT_EQ(program.ReadString(), "\x06");
    EXPECT_GT(notified, 0);

    program.SetPort(0);
    EXPECT_FALSE(serial.IsOpen()) << "leaving a port closes it";
    EXPECT_FALSE(program.Open()) << "no port opens nothing";
    EXPECT_FALSE(builtIn.IsOpen()) << "no port is never the built-in unit";

    program.SetPort(kSimulatedUnitPort);
    EXPECT_TRUE(program.Open());
    EXPECT_TRUE(builtIn.IsOpen());
    EXPECT_EQ(program.AvailablePorts(), std::vector<int>{kCom});
}

}  // namespace
}  // namespace zv
