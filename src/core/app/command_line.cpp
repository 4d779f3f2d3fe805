#include "app/command_line.h"

namespace zv {

const char* const kCommandLineUsage =
    "usage: zvcontrol [--port PORT] [--lang de|en] [FILE]\n"
    "  --port PORT     the unit for this run: sim (the built-in simulated unit; sim:FW of\n"
    "                  firmware index FW, 1..40), COM<n> or the path of a serial device\n"
    "  --lang de|en    German or English for this run\n"
    "  FILE            a data file to open at start (the program then stays offline)\n";

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--port" || a == "--lang") {
            if (!hasValue) {
                line.Error = a + " needs a value";
                return line;
            }
            const std::string& v = args[++i];
            if (a == "--port") {
                line.Port = ParsePortName(v, line.Error);
                if (!line.Port)
                    return line;
            } else if (v == "de" || v == "en") {
                line.Lang = v == "de" ? Language::German : Language::English;
            } else {
                line.Error = "--lang takes de or en";
                return line;
            }
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            line.Error = "unknown option: " + a;
            return line;
        } else if (line.File.empty()) {
            line.File = a;
        } else {
            line.Error = "only one data file can be opened at start";
            return line;
        }
    }
    return line;
}

}  // namespace zv
