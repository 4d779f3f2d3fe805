#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "logview/log_data.h"
#include "text/owned_text.h"

namespace zv {

// A log read back, or why the file is none.
struct TLogReadResult {
    std::optional<TLogData> Data;
    TOwnedText Error;  // set when Data is empty
};

// Reads every log the data logger writes, of every unit generation and input configuration,
// Windows-1252 or UTF-8, with CR LF or LF line ends. A log cut short by a crash or a power loss
// keeps its whole lines; the lines left out are listed in Problems, never a reason to fail.
TLogReadResult ParseLog(std::string_view bytes, const std::string& name);
TLogReadResult ReadLog(const std::string& path);

}  // namespace zv
