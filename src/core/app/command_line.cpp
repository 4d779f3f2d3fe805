#include "app/command_line.h"

#include "data/firmware_table.h"

namespace zv {

const char* const kCommandLineUsage =
    "usage: zvcontrol [--port PORT] [--lang de|en] [FILE]\n"
    "  --port sim      the built-in simulated unit (sim:FW: of firmware index FW, 0..40)\n"
    "  --lang de|en    German or English for this run\n"
    "  FILE            a data file to open at start (the program then stays offline)\n";

namespace {

std::optional<int> FirmwareOf(const std::string& port) {
    if (port == "sim")
        return kDefaultSimFirmware;
    if (port.rfind("sim:", 0) != 0 || port.size() < 5 || port.size() > 6)
        return std::nullopt;
    int value = 0;
    for (char c : port.substr(4)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > kFirmwareUnknown)
        return std::nullopt;
    return value;
}

}  // namespace

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
                line.SimFirmware = FirmwareOf(v);
                if (!line.SimFirmware) {
                    line.Error =
                        "port '" + v + "': use sim or sim:FW with a firmware index from 0 to 40";
                    return line;
                }
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
