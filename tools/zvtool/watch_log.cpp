#include "watch_log.h"

#include <iostream>

#include "app/logger_wiring.h"
#include "app/main_model.h"
#include "console_dialogs.h"
#include "data/text_file.h"
#include "online/online_mode.h"

namespace zv::tool {

namespace {

TDLoggerHost HostFor(TMainModel& model, TOnlineMode& online) {
    TDLoggerHost host;
    host.CurrentLanguage = [&model] { return model.CurrentLanguage(); };
    host.ReleaseLogger = [&online] { online.ReleaseLogger(); };
    return host;
}

}  // namespace

WatchLog::WatchLog(TMainModel& model, TOnlineMode& online, const TimerService& clock,
                   const std::string& folder)
    : model_(model),
      online_(online),
      dialogs_(std::make_unique<ConsoleDialogs>(true)),
      logger_(model.Data(), *dialogs_, clock, HostFor(model, online)) {
    // A folder already chosen: every log takes its automatic name there, as after the first.
    logger_.LogDir = folder;
    ConnectDataLogger(online, logger_);
}

WatchLog::~WatchLog() {
    online_.StartLogging = nullptr;
    online_.LogRecord = nullptr;
}

bool WatchLog::Arm() {
    const std::string error = CreateFolders(logger_.LogDir);
    if (!error.empty()) {
        std::cerr << "zvtool watch: " << error << '\n';
        return false;
    }
    online_.LoggerButtonClick();
    return online_.Controls().LoggerMenuChecked;
}

void WatchLog::Release() {
    if (online_.Controls().Logger.Down)
        online_.LoggerButtonClick();
}

bool WatchLog::Finish() {
    logger_.CloseAtExit();
    if (logger_.OpenFile.empty()) {
        const int firmware = model_.Data().DeviceData.Firmware;
        if (!LogsFirmware(firmware)) {
            std::cerr << "zvtool watch: no log: the unit has firmware index " << firmware
                      << ", and only units of firmware index 9 or later send records the "
                         "logger writes\n";
        } else {
            std::cerr << "zvtool watch: no log was written\n";
        }
        return false;
    }
    std::cerr << "log: " << logger_.OpenFile << " (" << logger_.LineCount << " lines)\n";
    return true;
}

}  // namespace zv::tool
