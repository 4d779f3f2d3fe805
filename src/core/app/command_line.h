#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/port_name.h"
#include "link/sim_drive.h"
#include "text/text_table.h"

namespace zv {

// zvcontrol [--port PORT] [--lang de|en] [--page N] [--sim-data FILE] [--drive MODE]
// [--log LOG] [FILE]. Everything holds for this run only; the stored settings stay as they are.
struct TCommandLine {
    std::optional<TPortName> Port;  // --port sim[:FW], COM<n> or a device path
    std::optional<Language> Lang;
    std::optional<int> StartPage;  // --page: shown as soon as the data set allows it (1..11)
    std::string SimData;           // --sim-data: the built-in simulated unit starts with this file
    std::optional<TSimDrive> Drive;  // --drive: how the built-in simulated unit's engine runs
    std::string Log;               // --log: a data log the log viewer shows over the main window
    std::string File;              // the start-up file, as typed
    bool Help = false;             // --help: print the usage and stop
    std::string Error;             // not empty: the command line cannot be used
};

TCommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const std::string kCommandLineUsage;

}  // namespace zv
