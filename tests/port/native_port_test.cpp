#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "adapter_latency.h"
#include "native_port.h"
#include "port_directory.h"
#include "port_test_support.h"
#include "system_serial_ports.h"
#include "tcom_manager.h"
#include "tserial.h"

namespace zv {
namespace {

namespace fs = std::filesystem;
using port::native::NativePort;
using port::native::OpenFailure;

// A pseudo-terminal whose terminal side stands in for a serial device; the test plays the
// unit on the other side.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            path_ = ptsname(master_);
        // Raw on the unit's side too, so that bytes pass both ways unchanged.
        termios tio{};
        if (master_ >= 0 && tcgetattr(master_, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(master_, TCSANOW, &tio);
        }
    }
    ~PseudoTerminal() { Hangup(); }

    const std::string& Path() const { return path_; }
    void Send(const std::string& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the device side sent, waiting at most ms for the first byte.
    std::string Received(int ms = 500) const {
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, ms) <= 0)
            return {};
        char buffer[256];
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
    }
    void Hangup() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    std::string path_;
};

// Waits until the driver holds at least n bytes (a pseudo-terminal passes them on through the
// kernel's work queue, not at once).
bool DeviceHolds(const NativePort& port, std::size_t n) {
    return test::WaitFor([&] { return port.Device().Queued() >= n; }, 1000);
}

TEST(NativePortOnPty, OpensAt9600EightNOneWithoutFlowControl) {
    PseudoTerminal unit;
    ASSERT_FALSE(unit.Path().empty());
    NativePort port(2048);
    ASSERT_EQ(port.Open(unit.Path(), 9600), OpenFailure::None);
    EXPECT_TRUE(port.IsOpen());
    // A pseudo-terminal has no modem lines: raising DTR fails, and the port is open anyway.
    EXPECT_FALSE(port.Device().ModemLinesOn());

    termios tio{};
    ASSERT_EQ(tcgetattr(port.Device().Descriptor(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_EQ(cfgetispeed(&tio), B9600);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & PARENB, 0u) << "no parity";
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u) << "one stop bit";
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u) << "no hardware flow control";
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u) << "no XON/XOFF";
    EXPECT_NE(tio.c_cflag & CREAD, 0u);
    EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u) << "bytes pass unchanged, unechoed";
    EXPECT_EQ(tio.c_cc[VMIN], 0) << "reads never wait";
    EXPECT_EQ(tio.c_cc[VTIME], 0);

    // Already open: a second open is refused and the port stays as it is.
    EXPECT_NE(port.Open(unit.Path(), 9600), OpenFailure::None);
    EXPECT_TRUE(port.IsOpen());
}

TEST(NativePortOnPty, TakesTheBaudRateItIsGivenAndRefusesOnesATerminalLacks) {
    PseudoTerminal unit;
    NativePort port(2048);
    ASSERT_EQ(port.Open(unit.Path(), 19200), OpenFailure::None);
    termios tio{};
    ASSERT_EQ(tcgetattr(port.Device().Descriptor(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    port.Close();
    EXPECT_FALSE(port.IsOpen());

    ASSERT_EQ(port.Open(unit.Path(), 115200), OpenFailure::None);
    ASSERT_EQ(tcgetattr(port.Device().Descriptor(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B115200);
    port.Close();

    // 14400 bits per second has no terminal speed.
    EXPECT_EQ(port.Open(unit.Path(), 14400), OpenFailure::Refused);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Open("/dev/no-such-serial-device", 9600), OpenFailure::Missing);
    EXPECT_FALSE(port.IsOpen());
}

TEST(NativePortOnPty, PassesBytesBothWaysAndNeverWaitsForMore) {
    PseudoTerminal unit;
    NativePort port(2048);
    const std::uint8_t request[] = {0x16, 0x00, 0xA0, 0xFF};
    std::uint8_t buffer[16] = {};

    EXPECT_EQ(port.Write(request, 4), 0u) << "nothing goes out while closed";
    ASSERT_EQ(port.Open(unit.Path(), 9600), OpenFailure::None);
    EXPECT_EQ(port.BytesAvailable(), 0u);
    EXPECT_EQ(port.Read(buffer, 16), 0u) << "nothing waiting: a read returns at once";

    EXPECT_EQ(port.Write(request, 4), 4u);
    EXPECT_EQ(unit.Received(), std::string("\x16\x00\xA0\xFF", 4));

    unit.Send(std::string("\x06\x00\x13", 3));
    ASSERT_TRUE(DeviceHolds(port, 3));
    EXPECT_EQ(port.BytesAvailable(), 0u) << "received only once taken in";
    EXPECT_TRUE(port.Receive());
    EXPECT_EQ(port.BytesAvailable(), 3u);
    EXPECT_EQ(port.Read(buffer, 16), 3u) << "three waiting: a read of 16 takes the three";
    EXPECT_EQ(std::string(buffer, buffer + 3), std::string("\x06\x00\x13", 3));
    EXPECT_EQ(port.BytesAvailable(), 0u);

    port.Close();
    EXPECT_EQ(port.Write(request, 1), 0u);
    EXPECT_EQ(port.BytesAvailable(), 0u);
    EXPECT_EQ(port.ReadAll(), "");
}

TEST(NativePortOnPty, TheOwnQueueTakesUpToItsSizeAndKeepsTheOrder) {
    PseudoTerminal unit;
    NativePort port(4);
    ASSERT_EQ(port.Open(unit.Path(), 9600), OpenFailure::None);
    unit.Send("abcdef");
    ASSERT_TRUE(DeviceHolds(port, 6));
    EXPECT_TRUE(port.Receive());
    EXPECT_TRUE(port.QueueFull());
    EXPECT_EQ(port.Device().Queued(), 2u) << "the rest waits in the driver";
    EXPECT_EQ(port.BytesAvailable(), 4u);

    std::uint8_t buffer[8] = {};
    ASSERT_EQ(port.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, buffer + 3), "abc");
    EXPECT_FALSE(port.QueueFull());
    EXPECT_TRUE(port.Receive());
    ASSERT_EQ(port.Read(buffer, 8), 3u);
    EXPECT_EQ(std::string(buffer, buffer + 3), "def");

    unit.Send("gh");
    ASSERT_TRUE(DeviceHolds(port, 2));
    EXPECT_TRUE(port.Receive());
    unit.Send("ij");
    ASSERT_TRUE(DeviceHolds(port, 2));
    EXPECT_EQ(port.ReadAll(), "ghij") << "the queue's bytes and the driver's, in order";
    EXPECT_EQ(port.BytesAvailable(), 0u);
    EXPECT_EQ(port.Device().Queued(), 0u);
}

TEST(NativePortOnPty, NoticesWhenTheOtherSideIsGone) {
    PseudoTerminal unit;
    NativePort port(2048);
    ASSERT_EQ(port.Open(unit.Path(), 9600), OpenFailure::None);
    EXPECT_FALSE(port.Device().Vanished());
    EXPECT_TRUE(port.Receive());

    unit.Hangup();
    EXPECT_TRUE(port.Device().Vanished());
    EXPECT_FALSE(port.Receive());
    port.Close();
    EXPECT_FALSE(port.Device().Vanished()) << "a closed port has nothing to vanish";
}

// TSerial on a pseudo-terminal of the test's own, as COM5 of the port directory.
class SerialNotifications : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::create_symlink(unit.Path(), dir / "COM5");
        manager.SystemDevices = [] { return std::vector<std::string>{}; };
        manager.Rescan();
        serial.SetOnRxChar([this] { ++notifications; });
        ASSERT_TRUE(serial.SetPort(5));
        ASSERT_TRUE(serial.Open());
    }
    void TearDown() override {
        serial.Close();
        fs::remove_all(dir);
    }

    const fs::path dir = port::PortDirectory();
    PseudoTerminal unit;
    port::TCOMManager manager;
    port::TSerial serial{manager};
    int notifications = 0;
};

// The link leaves bytes unread while it waits for nothing; they must not raise a notification
// over and over.
TEST_F(SerialNotifications, OneArrivalRaisesOneNotificationEvenWhenTheBytesStayUnread) {
    unit.Send("xyz");
    ASSERT_TRUE(test::WaitFor([&] { return notifications > 0; }, 1000));
    test::WaitFor([] { return false; }, 100);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(serial.BytesAvailable(), 3u);
    EXPECT_EQ(serial.ReadString(), "xyz");

    unit.Send("!");
    ASSERT_TRUE(test::WaitFor([&] { return notifications > 1; }, 1000));
    EXPECT_EQ(notifications, 2);
}

// The terminal tells of the hang-up itself, well before the port list's once-a-second rescan
// (the manager was made just now) could notice the device gone.
TEST_F(SerialNotifications, AHangUpClosesThePortAtOnce) {
    int removed = 0;
    serial.OnCOMRemoved = [&] { ++removed; };
    unit.Hangup();
    EXPECT_TRUE(test::WaitFor([&] { return !serial.IsOpen(); }, 400));
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(serial.BytesAvailable(), 0u);
}

// More than the receive buffer of 2048 bytes at once: the rest waits in the driver and comes
// in as soon as the link has read.
TEST_F(SerialNotifications, BytesBeyondTheReceiveBufferComeInOnceTheLinkReads) {
    std::string burst(2048, 'a');
    burst += "0123456789";
    unit.Send(burst);
    ASSERT_TRUE(test::WaitFor([&] { return serial.BytesAvailable() >= 2048; }, 1000));
    test::WaitFor([] { return false; }, 50);
    EXPECT_EQ(serial.BytesAvailable(), 2048u);
    std::vector<std::uint8_t> buffer(2048);
    ASSERT_EQ(serial.ReadBuf(buffer.data(), buffer.size()), 2048u);
    EXPECT_TRUE(test::WaitFor([&] { return serial.BytesAvailable() == 10; }, 1000));
    EXPECT_EQ(serial.ReadString(), "0123456789");
}

class FakeSysfs : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("zv-sysfs-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "sys/class/tty");
        fs::create_directories(root / "sys/bus/serial/drivers/port");
    }
    void TearDown() override { fs::remove_all(root); }

    // A terminal's entry; with a driver its device links to a bound driver as in sysfs.
    void Terminal(const std::string& name, bool device, bool driver) {
        const fs::path tty = root / "sys/class/tty" / name;
        fs::create_directories(tty);
        if (device)
            fs::create_directories(tty / "device");
        if (driver)
            fs::create_directory_symlink(root / "sys/bus/serial/drivers/port",
                                         tty / "device/driver");
    }
    fs::path root;
};

TEST_F(FakeSysfs, RealSerialDevicesAreListedAndVirtualTerminalsAreNot) {
    Terminal("ttyUSB0", true, true);
    Terminal("ttyS0", true, true);
    Terminal("ttyS1", true, false);  // a legacy port the kernel found no hardware behind
    Terminal("ttyACM1", true, true);
    Terminal("tty1", false, false);  // virtual console
    Terminal("ptmx", false, false);
    Terminal("console", false, false);
    Terminal("rfcomm0", false, false);  // Bluetooth serial: no driver of its own
    Terminal("ttyGS0", false, false);
    const std::vector<std::string> expected = {"/dev/rfcomm0", "/dev/ttyACM1", "/dev/ttyGS0",
                                               "/dev/ttyS0", "/dev/ttyUSB0"};
    EXPECT_EQ(port::native::SysfsSerialPorts(root.string()), expected);
}

TEST_F(FakeSysfs, AMachineWithoutTheTreeHasNoPorts) {
    EXPECT_TRUE(port::native::SysfsSerialPorts((root / "nowhere").string()).empty());
    EXPECT_TRUE(port::native::SysfsSerialPorts(root.string()).empty());
}

// An adapter's driver records its port as "COM12", while ports from COM10 on are opened as
// "\\.\COM12".
TEST(AdapterLatency, TheDriversPortNameIsTheComNameOfTheDevice) {
    EXPECT_EQ(port::native::ComNameOfDevice("\\\\.\\COM12"), "COM12");
    EXPECT_EQ(port::native::ComNameOfDevice("COM3"), "COM3");
    EXPECT_EQ(port::native::ComNameOfDevice("/dev/ttyUSB0"), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace zv
