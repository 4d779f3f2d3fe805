#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

namespace zv::port {

// Windows tells every top-level window when a serial port arrives or is removed (an adapter
// plugged in or pulled): the WM_DEVICECHANGE broadcast for ports. This filter hears it for the
// whole application and calls back, so the port list follows at once instead of at the next
// rescan. Elsewhere it hears nothing.
class DeviceChangeFilter : public QAbstractNativeEventFilter {
  public:
    explicit DeviceChangeFilter(std::function<void()> onPortChange)
        : onPortChange_(std::move(onPortChange)) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    std::function<void()> onPortChange_;
};

}  // namespace zv::port
