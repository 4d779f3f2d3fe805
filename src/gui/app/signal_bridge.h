#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace zv::gui {

// SIGTERM and SIGINT close the main window as its close button does, so that settings, recent
// files and window state are written. The signal handler only writes a byte into a socket pair;
// the window is closed from the event loop. (Nothing happens on systems without the signals.)
class TSignalBridge : public QObject {
    Q_OBJECT
  public:
    explicit TSignalBridge(std::function<void()> onSignal);
    ~TSignalBridge() override;

  private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace zv::gui
