#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/port_name.h"
#include "text/text_table.h"

namespace zv {

// zvcontrol [--port PORT] [--lang de|en] [FILE]. Port and language hold for this run only;
// the stored settings stay as they are.
struct TCommandLine {
    std::optional<TPortName> Port;  // --port sim[:FW], COM<n> or a device path
    std::optional<Language> Lang;
    std::string File;   // the start-up file, as typed
    std::string Error;  // not empty: the command line cannot be used
};

TCommandLine ParseCommandLine(const std::vector<std::string>& args);

extern const char* const kCommandLineUsage;

}  // namespace zv
