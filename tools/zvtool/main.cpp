// zvtool: the program's data-file operations on the command line.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "console_dialogs.h"
#include "data/parameter_table.h"
#include "json_writer.h"
#include "link_commands.h"
#include "print_command.h"

namespace {

using namespace zv;
using namespace zv::tool;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: zvtool [--lang en|de] COMMAND ...\n"
    "  new FILE        create a new data set and save it to FILE\n"
    "  dump FILE       open FILE and print it as JSON\n"
    "  dump --upgrade FILE\n"
    "                  the same, and rewrite an older layout or older key names in FILE\n"
    "                  in place, as the program's Open does\n"
    "  save IN OUT     open IN and save the data set to OUT\n"
    "  diff A B        list the differences of two data files; exit 0 equal, 1 different, 2 trouble\n"
    "Only dump --upgrade and the output of new and save write files: dump, diff and save\n"
    "leave the files they read as they are and name the rewrites an Open would make.\n"
    "Messages the program would show in a box go to stderr as \"<caption>: <text>\";\n"
    "status texts of the link as \"status: <text>\".\n";

struct Tool {
    ConsoleDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model{dialogs, settings};

    explicit Tool(Language lang) { model.SetLanguage(lang); }
};

std::string HexImage(const ImageBytes& image) {
    static const char* const kDigits = "0123456789abcdef";
    std::string hex;
    hex.reserve(image.size() * 2);
    for (std::uint8_t b : image) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

std::string GridJson(const ByteGrid& grid) {
    std::string out = "[";
    for (std::size_t t = 0; t < grid.size(); ++t) out += (t ? "," : "") + JsonNumbers(grid[t]);
    return out + "]";
}

void PrintDump(const TMainModel& model) {
    const TZVDataClass& d = model.Data();
    std::string out = "{";
    out += "\"fileFirmware\":" + std::to_string(model.FileFirmware());
    out += ",\"firmware\":" + std::to_string(d.DeviceData.Firmware);
    out += ",\"firmwareName\":" + JsonString(model.FirmwarePanel());
    out += ",\"map\":" + GridJson(d.Map);
    out += ",\"afrMap\":" + GridJson(d.AfrMap);
    out += ",\"detail\":{";
    for (int i = 0; i < kParameterCount; ++i) {
        out += (i ? "," : "") + JsonString(Parameter(i).Key) + ":" + std::to_string(d.Detail[static_cast<std::size_t>(i)]);
    }
    out += "},\"lin\":{";
    for (int row = 0; row < kLinRowCount; ++row) {
        out += (row ? "," : "") + JsonString(LinRowName(row)) + ":" + JsonNumbers(d.Lin[static_cast<std::size_t>(row)]);
    }
    out += "},\"comment\":[";
    for (std::size_t i = 0; i < d.Comment.size(); ++i) out += (i ? "," : "") + JsonString(d.Comment[i]);
    out += "],\"image\":" + JsonString(HexImage(d.DeviceData.Image));
    out += std::string(",\"modified\":") + (model.Modified() ? "true" : "false");
    out += "}\n";
    std::cout << out;
}

// Opens a file only to look at it: the file stays as it is, and a rewrite that the program's
// Open would make is named on stderr.
bool OpenToLook(Tool& tool, const std::string& file) {
    tool.model.SetReadOnlyOpen(true);
    if (!tool.model.OpenDataFile(file))
        return false;
    const TOpenRewrites& rewrites = tool.model.LastOpenRewrites();
    if (rewrites.Any()) {
        std::string why = rewrites.OldestLayout ? "oldest layout" : "";
        if (rewrites.Upgrade)
            why += std::string(why.empty() ? "" : ", ") + "older key names or missing entries";
        std::cerr << "zvtool: " << file << " left as it is; the program's Open would rewrite it ("
                  << why << "), as zvtool dump --upgrade does\n";
    }
    return true;
}

int CommandNew(Language lang, const std::string& file) {
    Tool tool(lang);
    tool.model.CreateNewDataSet(file);
    return tool.model.SaveDataFile() ? kExitOk : kExitFailed;
}

int CommandDump(Language lang, const std::string& file, bool upgrade) {
    Tool tool(lang);
    if (!(upgrade ? tool.model.OpenDataFile(file) : OpenToLook(tool, file)))
        return kExitFailed;
    PrintDump(tool.model);
    return kExitOk;
}

int CommandSave(Language lang, const std::string& in, const std::string& out) {
    Tool tool(lang);
    if (!OpenToLook(tool, in))
        return kExitFailed;
    tool.model.Data().FileName = out;
    return tool.model.SaveDataFile() ? kExitOk : kExitFailed;
}

void DiffGrid(const char* name, const ByteGrid& a, const ByteGrid& b, std::vector<std::string>& lines) {
    for (std::size_t t = 0; t < 16; ++t) {
        for (std::size_t r = 0; r < 16; ++r) {
            if (a[t][r] != b[t][r]) {
                lines.push_back(std::string(name) + "[" + std::to_string(t) + "][" + std::to_string(r) +
                                "]: " + std::to_string(a[t][r]) + " -> " + std::to_string(b[t][r]));
            }
        }
    }
}

std::vector<std::string> Differences(const TZVDataClass& a, const TZVDataClass& b) {
    std::vector<std::string> lines;
    DiffGrid("Map", a.Map, b.Map, lines);
    DiffGrid("AfrMap", a.AfrMap, b.AfrMap, lines);
    for (std::size_t i = 0; i < a.Detail.size(); ++i) {
        if (a.Detail[i] != b.Detail[i]) {
            lines.push_back(std::string("Detail ") + Parameter(static_cast<int>(i)).Key + ": " +
                            std::to_string(a.Detail[i]) + " -> " + std::to_string(b.Detail[i]));
        }
    }
    for (std::size_t row = 0; row < a.Lin.size(); ++row) {
        for (std::size_t k = 0; k < 16; ++k) {
            if (a.Lin[row][k] != b.Lin[row][k]) {
                lines.push_back(std::string("Lin ") + LinRowName(static_cast<int>(row)) + "[" + std::to_string(k) +
                                "]: " + std::to_string(a.Lin[row][k]) + " -> " + std::to_string(b.Lin[row][k]));
            }
        }
    }
    const std::size_t n = std::max(a.Comment.size(), b.Comment.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::string left = i < a.Comment.size() ? JsonString(a.Comment[i]) : "(none)";
        const std::string right = i < b.Comment.size() ? JsonString(b.Comment[i]) : "(none)";
        if (left != right) lines.push_back("Comment line " + std::to_string(i + 1) + ": " + left + " -> " + right);
    }
    return lines;
}

int CommandDiff(Language lang, const std::string& fileA, const std::string& fileB) {
    Tool a(lang);
    Tool b(lang);
    if (!OpenToLook(a, fileA) || !OpenToLook(b, fileB))
        return kExitUsage;
    const auto lines = Differences(a.model.Data(), b.model.Data());
    for (const auto& line : lines) std::cout << line << '\n';
    return lines.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Language lang = Language::English;
    if (args.size() >= 2 && args[0] == "--lang") {
        if (args[1] != "de" && args[1] != "en") {
            std::cerr << "zvtool: --lang takes en or de\n" << kUsage;
            return kExitUsage;
        }
        lang = args[1] == "de" ? Language::German : Language::English;
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage << kLinkUsage << kPrintUsage;
        return args.empty() ? kExitUsage : kExitOk;
    }
    const std::string& command = args[0];
    if (command == "new" && args.size() == 2) return CommandNew(lang, args[1]);
    if (command == "dump" && args.size() == 2)
        return CommandDump(lang, args[1], false);
    if (command == "dump" && args.size() == 3 && args[1] == "--upgrade")
        return CommandDump(lang, args[2], true);
    if (command == "save" && args.size() == 3) return CommandSave(lang, args[1], args[2]);
    if (command == "diff" && args.size() == 3) return CommandDiff(lang, args[1], args[2]);
    if (command == "print") return RunPrintCommand(std::vector<std::string>(args.begin() + 1, args.end()), lang);
    if (command == "upload" || command == "download" || command == "watch") {
        return RunLinkCommand(command, std::vector<std::string>(args.begin() + 1, args.end()), lang);
    }
    std::cerr << "zvtool: unknown command or wrong number of arguments: " << command << '\n' << kUsage << kLinkUsage;
    return kExitUsage;
}
