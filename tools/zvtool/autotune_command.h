#pragma once

#include <string>
#include <variant>
#include <vector>

#include "text/text_table.h"

namespace zv {
class TMainModel;
}

namespace zv::tool {

// A block of fuel map cells by site indices (0 = lowest), inclusive.
struct TLockBlock {
    int T0 = 0, T1 = 0, R0 = 0, R1 = 0;
};

// How the sensor delay is taken: estimated from the logs where they allow (the default), the
// model alone, a fixed delay, or the model with its own base and volume.
struct TDelayOption {
    enum class Kind { Auto, Model, Fixed, Own } Type = Kind::Auto;
    double Ms = 0.0;         // Fixed: the delay; Own: the base
    double VolumeMsRpm = 0;  // Own
};

// zvtool autotune FILE --log LOG [--log LOG ...] [--authority PCT] [--min-samples N]
//                  [--delay auto|model|MS|BASE_MS:VOLUME] [--lock T,R ...] -o OUT.zvt
struct TAutotuneOptions {
    std::string File;
    std::vector<std::string> Logs;
    double AuthorityPercent = 0.0;  // 0: the default
    int MinSamples = 0;             // 0: the default
    TDelayOption Delay;
    std::vector<TLockBlock> Locks;
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
