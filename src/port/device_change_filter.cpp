#include "device_change_filter.h"

#include <QByteArray>

#ifdef _WIN32
#include <windows.h>
#include <dbt.h>
#endif

namespace zv::port {

bool DeviceChangeFilter::nativeEventFilter(const QByteArray& eventType, void* message,
                                           qintptr* result) {
    (void)result;
#ifdef _WIN32
    if (eventType != "windows_generic_MSG" || !message)
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_DEVICECHANGE ||
        (msg->wParam != DBT_DEVICEARRIVAL && msg->wParam != DBT_DEVICEREMOVECOMPLETE))
        return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
    if (header && header->dbch_devicetype == DBT_DEVTYP_PORT && onPortChange_)
        onPortChange_();
#else
    (void)eventType;
    (void)message;
#endif
    return false;  // others may want to hear it too
}

}  // namespace zv::port
