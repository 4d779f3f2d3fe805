#pragma once

#include <optional>
#include <string>
#include <vector>

#include "text/text_table.h"

namespace zv {

// zvcontrol [--port PORT] [--lang de|en] [FILE]. Port and language hold for this run only;
// the stored settings stay as they are.
struct TCommandLine {
    std::optional<int> SimFirmware;  // --port sim or sim:FW: the built-in simulated unit
    std::optional<Language> Lang;
    std::string File;   // the start-up file, as typed
    std::string Error;  // not empty: the command line cannot be used
};

constexpr int kDefaultSimFirmware = 30;

TCommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kCommandLineUsage;

}  // namespace zv
