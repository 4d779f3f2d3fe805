#include "seams/qt_timer_service.h"

#include <QTimer>

namespace zv {

namespace {

class QtTimer : public Timer {
  public:
    QtTimer() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // A copy: the handler may install another one while it runs.
            auto handler = handler_;
            if (handler)
                handler();
        });
    }
    void SetHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    void SetInterval(int milliseconds) override {
        timer_.setInterval(milliseconds < 0 ? 0 : milliseconds);
    }
    int Interval() const override { return timer_.interval(); }
    void SetSingleShot(bool singleShot) override { timer_.setSingleShot(singleShot); }
    bool SingleShot() const override { return timer_.isSingleShot(); }
    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool Active() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
    std::function<void()> handler_;
};

}  // namespace

QtTimerService::QtTimerService() {
    clock_.start();
}

std::unique_ptr<Timer> QtTimerService::CreateTimer() {
    return std::make_unique<QtTimer>();
}

std::uint32_t QtTimerService::GetTickCount() const {
    return static_cast<std::uint32_t>(static_cast<quint64>(clock_.elapsed()) & 0xFFFFFFFFu);
}

}  // namespace zv
