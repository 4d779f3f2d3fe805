#include "app/logger_wiring.h"

#include "logger/data_logger.h"
#include "online/online_mode.h"

namespace zv {

void ConnectDataLogger(TOnlineMode& online, TDLogger& logger) {
    online.StartLogging = [&logger] { return logger.ArmLogging(); };
    // Releasing the button only disarms: the log closes with the next record, as its closing
    // stamp says when recording stopped.
    online.StopLogging = nullptr;
    online.LogRecord = [&online, &logger](const TLiveRecord& record) {
        logger.LogLiveRecord(record, online.Controls().LoggerMenuChecked);
    };
}

}  // namespace zv
