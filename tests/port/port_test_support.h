#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <functional>
#include <string>
#include <vector>

namespace zv::test {

// Runs the event loop until done() holds or ms pass; returns done().
inline bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return done();
}

// zvsim running beside the test, ended with SIGTERM as a user would end it.
class Zvsim {
  public:
    explicit Zvsim(const std::vector<std::string>& args) {
        QStringList list;
        for (const auto& a : args)
            list << QString::fromStdString(a);
        process_.start(QStringLiteral(ZVSIM_PATH), list);
        WaitFor([this] { return Ready() || process_.state() == QProcess::NotRunning; }, 5000);
    }
    ~Zvsim() { Stop(); }
    Zvsim(const Zvsim&) = delete;
    Zvsim& operator=(const Zvsim&) = delete;

    bool Ready() {
        output_ += process_.readAllStandardOutput().toStdString();
        return Device().size() > 0;
    }
    // The terminal's path from the line "device: PATH".
    std::string Device() const {
        const auto at = output_.find("device: ");
        if (at == std::string::npos)
            return {};
        const auto end = output_.find('\n', at);
        if (end == std::string::npos)
            return {};
        return output_.substr(at + 8, end - at - 8);
    }
    // Ends zvsim as SIGTERM does; its exit code.
    int Stop() {
        if (process_.state() == QProcess::NotRunning)
            return process_.exitCode();
        process_.terminate();
        process_.waitForFinished(5000);
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

  private:
    QProcess process_;
    std::string output_;
};

}  // namespace zv::test
