// A real port (a pseudo-terminal among them) on real timers: the link runs as in the program,
// driven by Qt's event loop.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "link_rig.h"
#include "seams/qt_timer_service.h"
#include "tcom_manager.h"
#include "tserial.h"

namespace zv::tool {

namespace {

// The event loop needs an application object; the command line is zvtool's own.
int g_argc = 1;
char g_arg0[] = "zvtool";
char* g_argv[] = {g_arg0, nullptr};

class SerialRig : public LinkRig {
  public:
    SerialRig() : app_(g_argc, g_argv), serial_(manager_) {}

    bool Select(const TPortName& name, std::string& error) {
        if (name.Type == TPortName::Kind::Com) {
            // A port the system's list leaves out may still open: CheckPort tries it and says
            // why it did not.
            number_ = name.Number;
            if (!serial_.SetPort(number_))
                serial_.AwaitPort(number_);
            return true;
        }
        number_ = manager_.AddDevicePath(name.Path);
        if (number_ == 0)
            error = "port " + name.Path + " does not exist";
        return error.empty() && serial_.SetPort(number_);
    }

    TimerService& Timers() override { return timers_; }
    SerialPort& Port() override { return serial_; }
    int PortNumber() const override { return number_; }
    std::uint64_t NowMs() const override { return timers_.GetTickCount(); }

    std::string CheckPort() override {
        if (!serial_.Open())
            return serial_.LastErrorText();
        serial_.Close();
        return {};
    }

    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) override {
        QElapsedTimer clock;
        clock.start();
        // The loop wakes at least this often to look at done(), whatever the link's timers do.
        QTimer wake;
        wake.start(20);
        while (!done() && static_cast<std::uint64_t>(clock.elapsed()) < limitMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return done();
    }

  private:
    QCoreApplication app_;
    QtTimerService timers_;
    port::TCOMManager manager_;
    port::TSerial serial_;
    int number_ = 0;
};

}  // namespace

std::unique_ptr<LinkRig> MakeSerialRig(const TPortName& port, std::string& error) {
    auto rig = std::make_unique<SerialRig>();
    if (!rig->Select(port, error))
        return nullptr;
    return rig;
}

}  // namespace zv::tool
