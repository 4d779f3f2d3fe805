#include "app/command_line.h"

#include <algorithm>

namespace zv {

const std::string kCommandLineUsage = std::string(
    "usage: zvcontrol [--port PORT] [--lang de|en] [--page N] [--sim-data FILE]\n"
    "                 [--drive MODE] [--log LOG] [FILE]\n"
    "  --port PORT      the unit for this run: sim (the built-in simulated unit; sim:FW of\n"
    "                   firmware index FW, 1..40), COM<n> or the path of a serial device\n"
    "  --lang de|en     German or English for this run\n"
    "  --page N         show page N (1..11) as soon as the data set offers it\n"
    "  --sim-data FILE  the built-in simulated unit starts with this data file's data set\n"
    "                   instead of a new data set's defaults (only with --port sim)\n") +
    SimDriveUsage(19) + "                   (only with --port sim)\n"
    "  --log LOG        open this data log in the log viewer over the main window\n" +
    "  FILE             a data file to open at start (the program then stays offline)\n"
    "  --help           this text\n";

namespace {

constexpr int kFirstPage = 1;
constexpr int kLastPage = 11;

std::optional<int> ParsePage(const std::string& text) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int page = std::stoi(text);
    if (page < kFirstPage || page > kLastPage)
        return std::nullopt;
    return page;
}

// Reads the value of an option that takes one; false (with the error set) when there is none
// or it does not fit.
bool ParseValue(TCommandLine& line, const std::string& option, const std::string& v) {
    if (option == "--port") {
        line.Port = ParsePortName(v, line.Error);
        return line.Port.has_value();
    }
    if (option == "--lang") {
        if (v != "de" && v != "en") {
            line.Error = "--lang takes de or en";
            return false;
        }
        line.Lang = v == "de" ? Language::German : Language::English;
        return true;
    }
    if (option == "--page") {
        line.StartPage = ParsePage(v);
        if (!line.StartPage)
            line.Error = "--page takes a page number from 1 to 11";
        return line.StartPage.has_value();
    }
    if (option == "--drive") {
        line.Drive = ParseSimDrive(v, line.Error);
        return line.Drive.has_value();
    }
    if (option == "--log") {
        line.Log = v;
        return true;
    }
    line.SimData = v;
    return true;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            line.Help = true;
        } else if (a == "--port" || a == "--lang" || a == "--page" || a == "--sim-data" ||
                   a == "--drive" || a == "--log") {
            if (!hasValue) {
                line.Error = a + " needs a value";
                return line;
            }
            if (!ParseValue(line, a, args[++i]))
                return line;
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
    const bool simPort = line.Port && line.Port->Type == TPortName::Kind::Sim;
    if (!line.SimData.empty() && !simPort)
        line.Error = "--sim-data is for the built-in simulated unit only (--port sim)";
    if (line.Drive && !simPort)
        line.Error = "--drive is for the built-in simulated unit only (--port sim)";
    return line;
}

}  // namespace zv
