#pragma once

#include <memory>
#include <string>

#include "logger/data_logger.h"

namespace zv {
class TMainModel;
class TOnlineMode;
}  // namespace zv

namespace zv::tool {

// watch --log DIR: the Logger button pressed once the unit runs online, with DIR as the
// logger's folder, so the log gets its automatic name there and the program's lines.
class WatchLog {
  public:
    WatchLog(TMainModel& model, TOnlineMode& online, const TimerService& clock,
             const std::string& folder);
    ~WatchLog();

    // Presses the Logger button; false (with the reason on stderr) when no log could be armed.
    bool Arm();
    // Releases the button; the log closes with the next record.
    void Release();
    bool IsOpen() const { return logger_.IsOpen; }
    // At the end, as at the program's exit: an open log gets its closing lines. False when no
    // log was written.
    bool Finish();

  private:
    TMainModel& model_;
    TOnlineMode& online_;
    std::unique_ptr<Dialogs> dialogs_;
    TDLogger logger_;
};

}  // namespace zv::tool
