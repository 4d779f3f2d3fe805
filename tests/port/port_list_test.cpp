#include <gtest/gtest.h>

#include <filesystem>

#include "port_directory.h"
#include "port_test_support.h"
#include "tcom_manager.h"

namespace zv {
namespace {

namespace fs = std::filesystem;
using port::NumberDevices;
using port::StableComNumber;
using port::StableDevicePath;
using port::TCOMManager;

TEST(ComNumbers, SerialDevicesKeepTheirNumbersAndOthersTakeFreeOnes) {
    EXPECT_EQ(StableComNumber("/dev/ttyS0"), 1);
    EXPECT_EQ(StableComNumber("/dev/ttyS15"), 16);
    EXPECT_EQ(StableComNumber("/dev/ttyUSB0"), 17);
    EXPECT_EQ(StableComNumber("/dev/ttyACM2"), 35);
    EXPECT_EQ(StableComNumber("COM12"), 12);
    EXPECT_FALSE(StableComNumber("/dev/ttyS16"));
    EXPECT_FALSE(StableComNumber("/dev/ttyS1x"));
    EXPECT_FALSE(StableComNumber("/dev/ttyAMA0"));
    // And back, for a port no list shows.
    EXPECT_EQ(StableDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(StableDevicePath(5), "/dev/ttyS4");
    EXPECT_EQ(StableDevicePath(17), "/dev/ttyUSB0");
    EXPECT_EQ(StableDevicePath(35), "/dev/ttyACM2");
    EXPECT_FALSE(StableDevicePath(49));
    EXPECT_FALSE(StableDevicePath(0));

    // COM17 taken by the port directory: the USB adapter moves to a free number, after the
    // devices without a number of their own in name order.
    const auto numbered =
        NumberDevices({"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyAMA0"}, {{17, "link"}});
    const std::map<int, std::string> expected = {
        {2, "/dev/ttyS1"}, {49, "/dev/ttyAMA0"}, {50, "/dev/ttyUSB0"}};
    EXPECT_EQ(numbered, expected);
}

class PortList : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = port::PortDirectory();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(PortList, LinksInThePortDirectoryAppearAndLeaveWithinTwoSeconds) {
    TCOMManager manager;
    manager.SystemDevices = [] { return std::vector<std::string>{}; };
    manager.Rescan();
    int arrived = 0, removed = 0;
    manager.OnPortArrived = [&] { ++arrived; };
    manager.OnPortRemoved = [&] { ++removed; };
    ASSERT_FALSE(manager.IsPresent(7));

    fs::create_symlink("/dev/null", dir / "COM7");
    fs::create_symlink(dir / "no-such-device", dir / "COM8");  // leads nowhere: no port
    fs::create_symlink("/dev/null", dir / "COM100");           // past COM99: no port
    EXPECT_TRUE(test::WaitFor([&] { return manager.IsPresent(7); }, 2000));
    EXPECT_EQ(arrived, 1);
    EXPECT_EQ(manager.Numbers(), std::vector<int>{7});
    EXPECT_EQ(manager.DevicePath(7), (dir / "COM7").string());

    fs::remove(dir / "COM7");
    EXPECT_TRUE(test::WaitFor([&] { return !manager.IsPresent(7); }, 2000));
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(manager.IndexOf(7), -1);
}

TEST_F(PortList, ADevicePathNamedForTheRunGetsTheNumberOfItsLinkOrAFreeOne) {
    fs::create_symlink("/dev/null", dir / "COM3");
    TCOMManager manager;
    manager.SystemDevices = [] { return std::vector<std::string>{}; };
    manager.Rescan();
    EXPECT_EQ(manager.AddDevicePath("/dev/null"), 3);
    EXPECT_EQ(manager.AddDevicePath("/dev/zero"), 99);
    EXPECT_TRUE(manager.IsPresent(99));
    EXPECT_EQ(manager.AddDevicePath((dir / "missing").string()), 0);
    manager.Rescan();
    EXPECT_EQ(manager.Numbers(), (std::vector<int>{3, 99}));
}

}  // namespace
}  // namespace zv
