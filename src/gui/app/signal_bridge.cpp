#include "app/signal_bridge.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#endif

namespace zv::gui {

#ifdef Q_OS_UNIX
namespace {

int g_signalSockets[2] = {-1, -1};

extern "C" void ForwardSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
}

}  // namespace

TSignalBridge::TSignalBridge(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSockets) != 0)
        return;
    notifier_ = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalSockets[1], &byte, 1);
        if (onSignal_)
            onSignal_();
    });
    struct sigaction action {};
    action.sa_handler = ForwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

TSignalBridge::~TSignalBridge() {
    if (!notifier_)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    ::close(g_signalSockets[0]);
    ::close(g_signalSockets[1]);
}
#else
TSignalBridge::TSignalBridge(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {}
TSignalBridge::~TSignalBridge() = default;
#endif

}  // namespace zv::gui
