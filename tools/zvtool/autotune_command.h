#pragma once

#include <string>
#include <variant>
#include <vector>

#include "text/text_table.h"

namespace zv {
class TMainModel;
}

namespace zv::tool {

// zvtool autotune FILE --log LOG [--log LOG ...] [--authority PCT] [--min-samples N] -o OUT.zvt
struct TAutotuneOptions {
    std::string File;
    std::vector<std::string> Logs;
    double AuthorityPercent = 0.0;  // 0: the default
    int MinSamples = 0;             // 0: the default
    std::string Out;
};

// The options after "autotune", or what is wrong with them.
std::variant<TAutotuneOptions, std::string> ParseAutotuneOptions(
    const std::vector<std::string>& args);

// Runs autotune on the data set the model holds (FILE, already open) with the samples of every
// log, prints the changed cells and a summary, and saves the result to OUT. The exit code.
int RunAutotuneCommand(TMainModel& model, const TAutotuneOptions& options, Language lang);

extern const char* const kAutotuneUsage;

}  // namespace zv::tool
