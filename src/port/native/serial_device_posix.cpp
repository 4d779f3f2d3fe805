// Serial devices on POSIX terminals (termios).
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial_device.h"

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace zv::port::native {

namespace {

// How long a write may wait for room in the driver's queue before it hands over only part.
constexpr int kWriteRoomMs = 1000;

struct SpeedOfRate {
    int Rate;
    speed_t Speed;
};

// The rates of the link's table that a terminal knows; the others (14400, 28800, 56000,
// 128000, 256000) have no POSIX speed.
constexpr SpeedOfRate kSpeeds[] = {
    {50, B50},         {110, B110},     {150, B150},       {300, B300},       {600, B600},
    {1200, B1200},     {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
    {38400, B38400},   {57600, B57600}, {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

bool SpeedOf(int rate, speed_t& speed) {
    for (const auto& entry : kSpeeds) {
        if (entry.Rate == rate) {
            speed = entry.Speed;
            return true;
        }
    }
    return false;
}

OpenFailure FailureOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenFailure::Missing;
        case EBUSY:
        case EACCES:
        case EPERM:
            return OpenFailure::InUse;
        default:
            return OpenFailure::Refused;
    }
}

bool SetFrame(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    // CLOCAL: a modem line that drops is no hang-up; the link decides by the unit's silence.
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// USB-serial adapters otherwise hold received bytes back for their latency timer, which
// costs the link most of its answer time. Only real serial drivers know the flag.
void AskForLowLatency([[maybe_unused]] int fd) {
#ifdef __linux__
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
#endif
}

bool RaiseModemLines(int fd) {
    const int lines = TIOCM_RTS | TIOCM_DTR;
    return ioctl(fd, TIOCMBIS, &lines) == 0;
}

}  // namespace

struct SerialDevice::State {
    int Fd = -1;
    bool Gone = false;  // a read said the device is no more
};

SerialDevice::SerialDevice() : state_(std::make_unique<State>()) {}

SerialDevice::~SerialDevice() {
    Close();
}

OpenFailure SerialDevice::Open(const std::string& device, int baudRate, std::size_t) {
    if (IsOpen())
        return OpenFailure::Refused;
    speed_t speed = B0;
    if (!SpeedOf(baudRate, speed)) {
        errorText_ = "baud rate " + std::to_string(baudRate) + " is not supported here";
        return OpenFailure::Refused;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        errorText_ = std::strerror(error);
        return FailureOfErrno(error);
    }
    // Exclusive like a Windows COM port (root is not held back by it).
    if (ioctl(fd, TIOCEXCL) != 0 || !SetFrame(fd, speed)) {
        const int error = errno;
        errorText_ = std::strerror(error);
        ::close(fd);
        return error == EBUSY ? OpenFailure::InUse : OpenFailure::Refused;
    }
    AskForLowLatency(fd);
    modemLinesOn_ = RaiseModemLines(fd);
    tcflush(fd, TCIOFLUSH);
    state_->Fd = fd;
    state_->Gone = false;
    errorText_.clear();
    return OpenFailure::None;
}

void SerialDevice::Close() {
    if (state_->Fd < 0)
        return;
    // The exclusive mark stays on the terminal while anyone else holds it open (the simulated
    // unit keeps a spare descriptor), and would keep our own next open out.
    ioctl(state_->Fd, TIOCNXCL);
    ::close(state_->Fd);
    state_->Fd = -1;
    state_->Gone = false;
}

bool SerialDevice::IsOpen() const {
    return state_->Fd >= 0;
}

std::size_t SerialDevice::Queued() const {
    int count = 0;
    if (state_->Fd < 0 || ioctl(state_->Fd, FIONREAD, &count) != 0 || count < 0)
        return 0;
    return static_cast<std::size_t>(count);
}

std::size_t SerialDevice::Read(std::uint8_t* buffer, std::size_t n) {
    if (state_->Fd < 0 || n == 0)
        return 0;
    for (;;) {
        const ssize_t got = ::read(state_->Fd, buffer, n);
        if (got > 0)
            return static_cast<std::size_t>(got);
        if (got < 0 && errno == EINTR)
            continue;
        // A raw terminal without bytes answers 0 (or EAGAIN); any other error means the
        // device is gone (EIO once the other side of a pseudo-terminal closed). A hang-up that
        // reads as 0 is seen by Vanished.
        if (got < 0 && errno != EAGAIN)
            state_->Gone = true;
        return 0;
    }
}

std::size_t SerialDevice::Write(const std::uint8_t* buffer, std::size_t n) {
    std::size_t put = 0;
    while (state_->Fd >= 0 && put < n) {
        const ssize_t done = ::write(state_->Fd, buffer + put, n - put);
        if (done > 0) {
            put += static_cast<std::size_t>(done);
            continue;
        }
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0 && errno != EAGAIN)
            break;
        // The driver's queue is full: it drains at the line's rate.
        pollfd room{state_->Fd, POLLOUT, 0};
        if (poll(&room, 1, kWriteRoomMs) <= 0 || (room.revents & POLLOUT) == 0)
            break;
    }
    return put;
}

void SerialDevice::DiscardInput() {
    if (state_->Fd >= 0)
        tcflush(state_->Fd, TCIFLUSH);
}

bool SerialDevice::Vanished() const {
    if (state_->Fd < 0)
        return false;
    if (state_->Gone)
        return true;
    pollfd probe{state_->Fd, 0, 0};
    return poll(&probe, 1, 0) > 0 && (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int SerialDevice::Descriptor() const {
    return state_->Fd;
}

void SerialDevice::ArrivalSeen() {}

}  // namespace zv::port::native
