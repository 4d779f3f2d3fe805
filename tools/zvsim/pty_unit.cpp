#include "pty_unit.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zv::tool {

namespace {

constexpr int kLinePort = 1;

}  // namespace

TPtyUnit::TPtyUnit(std::unique_ptr<sim::TSimUnit> unit)
    : line_(clock_, {kLinePort}), unit_(std::move(unit)), watched_(*unit_) {
    line_.SetRecordTraffic(false);
    line_.AttachUnit(&watched_);
    line_.SetOnRxChar([this] { SendToProgram(); });
    line_.Open();
    start_ = std::chrono::steady_clock::now();
}

TPtyUnit::~TPtyUnit() {
    if (spareSlave_ >= 0)
        close(spareSlave_);
    if (master_ >= 0)
        close(master_);
}

bool TPtyUnit::Start() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error_ = std::string("no pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ptsname(master_);
    if (!name) {
        error_ = std::string("no pseudo-terminal name: ") + std::strerror(errno);
        return false;
    }
    devicePath_ = name;
    spareSlave_ = open(name, O_RDWR | O_NOCTTY);
    if (spareSlave_ < 0) {
        error_ = "cannot open " + devicePath_ + ": " + std::strerror(errno);
        return false;
    }
    // Raw bytes both ways, no echo, no line editing: what a serial port carries.
    termios tio{};
    tcgetattr(spareSlave_, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tcsetattr(spareSlave_, TCSANOW, &tio);
    // Answers for a program that stopped reading are dropped, never waited for.
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

void TPtyUnit::CatchUp() {
    const auto realUs =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                       std::chrono::steady_clock::now() - start_)
                                       .count());
    if (realUs > clock_.NowUs())
        clock_.AdvanceUs(realUs - clock_.NowUs());
}

void TPtyUnit::GoSilentFor(std::uint64_t ms) {
    CatchUp();
    unit_->GoSilent(clock_.NowMs() + ms);
}

void TPtyUnit::ReadProgram() {
    std::uint8_t buffer[512];
    for (;;) {
        const ssize_t got = read(master_, buffer, sizeof buffer);
        if (got <= 0)
            return;
        line_.WriteBuf(buffer, static_cast<std::size_t>(got));
    }
}

void TPtyUnit::SendToProgram() {
    const std::string bytes = line_.ReadString();
    if (!bytes.empty() && write(master_, bytes.data(), bytes.size()) < 0) {
        // Full: the program is not reading. The answer is lost as it would be on a real line.
    }
}

bool TPtyUnit::Step(const void* waitSigmask) {
    CatchUp();
    timespec wait{};
    timespec* timeout = nullptr;
    if (const auto due = clock_.NextDueUs()) {
        const std::uint64_t us = *due > clock_.NowUs() ? *due - clock_.NowUs() : 0;
        wait.tv_sec = static_cast<time_t>(us / 1000000u);
        wait.tv_nsec = static_cast<long>((us % 1000000u) * 1000u);
        timeout = &wait;
    }
    pollfd fd{master_, POLLIN, 0};
    const int ready = ppoll(&fd, 1, timeout, static_cast<const sigset_t*>(waitSigmask));
    if (ready < 0 && errno == EINTR)
        return false;
    CatchUp();
    if (ready > 0 && (fd.revents & POLLIN))
        ReadProgram();
    if (ready > 0 && (fd.revents & (POLLHUP | POLLERR)) && !(fd.revents & POLLIN)) {
        // Cannot happen while the spare descriptor is open; do not spin if it does.
        usleep(1000);
    }
    return true;
}

}  // namespace zv::tool
