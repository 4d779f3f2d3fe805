// zvtool: the program's data-file operations on the command line.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "autotune_command.h"
#include "clip/clip_block.h"
#include "compare/data_set_comparison.h"
#include "console_dialogs.h"
#include "data/parameter_table.h"
#include "data/text_file.h"
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
    "  export FILE ITEM [-o OUT.csv]\n"
    "                  write a map or curve of FILE as comma-separated text (stdout without -o),\n"
    "                  values as the program's pages show them, the axes in the first row and column\n"
    "  import FILE ITEM IN.csv -o OUT.zvt\n"
    "                  read IN.csv (comma, tab or semicolon separated, with or without the axes)\n"
    "                  into FILE's map or curve and save the data set to OUT.zvt; a value that is\n"
    "                  not a number or out of the item's range is refused with its row and column\n"
    "                  (exit 2); a block without axes starts at the top left cell\n"
    "  ITEM is --map (fuel map), --afr (AFR target map) or --curve NAME, NAME one of\n"
    "                  temp (temperature), gp (input E, general purpose), idle (idle valve)\n"
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

void PrintCells(const char* name, const std::vector<TCellDifference>& cells) {
    for (const auto& c : cells)
        std::cout << name << "[" << c.T << "][" << c.R << "]: " << c.This << " -> " << c.That << '\n';
}

void PrintLinPoints(const std::vector<TItemDifference>& points) {
    for (const auto& p : points) {
        std::cout << "Lin " << LinRowName(p.Index) << "[" << p.Stored << "]: " << p.This << " -> " << p.That
                  << '\n';
    }
}

void PrintDifferences(const TDataSetComparison& c) {
    PrintCells("Map", c.Map);
    PrintCells("AfrMap", c.AfrMap);
    for (const auto& p : c.Parameters)
        std::cout << "Detail " << Parameter(p.Index).Key << ": " << p.This << " -> " << p.That << '\n';
    // Curves before sites: the order of Lin, as the data file lists them.
    PrintLinPoints(c.Curves);
    PrintLinPoints(c.Sites);
    const auto line = [](const std::optional<std::string>& text) { return text ? JsonString(*text) : "(none)"; };
    for (const auto& d : c.Comment)
        std::cout << "Comment line " << d.Line << ": " << line(d.This) << " -> " << line(d.That) << '\n';
}

int CommandDiff(Language lang, const std::string& fileA, const std::string& fileB) {
    Tool a(lang);
    Tool b(lang);
    if (!OpenToLook(a, fileA) || !OpenToLook(b, fileB))
        return kExitUsage;
    const TDataSetComparison differences = CompareDataSets(a.model.Data(), b.model.Data());
    PrintDifferences(differences);
    return differences.Same() ? kExitOk : kExitFailed;
}

// --map, --afr or --curve NAME at args[at]; the item as the data set reads it.
std::optional<TClipItem> ItemOfArgs(const std::vector<std::string>& args, std::size_t& at,
                                    const TZVDataSet& set) {
    if (at >= args.size())
        return std::nullopt;
    const std::string& option = args[at++];
    if (option == "--map")
        return TClipItem::FuelMap(set);
    if (option == "--afr")
        return TClipItem::AfrMap(set);
    if (option != "--curve" || at >= args.size())
        return std::nullopt;
    const auto base = CurveBaseOfName(args[at++]);
    if (!base)
        return std::nullopt;
    return TClipItem::Curve(set, *base);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

int CommandExport(Language lang, const std::vector<std::string>& args) {
    Tool tool(lang);
    if (!OpenToLook(tool, args[1]))
        return kExitFailed;
    std::size_t at = 2;
    const auto item = ItemOfArgs(args, at, tool.model.Data().DeviceData);
    const bool toFile = args.size() == at + 2 && args[at] == "-o";
    if (!item || (args.size() != at && !toFile)) {
        std::cerr << "zvtool: export FILE --map|--afr|--curve NAME [-o OUT.csv]\n" << kUsage;
        return kExitUsage;
    }
    const std::string text = CopyBlock(*item, tool.model.Data().DeviceData.Image, {',', "\n"});
    if (!toFile) {
        std::cout << text;
        return kExitOk;
    }
    const std::string error = WriteTextLines(args[at + 1], Lines(text));
    if (!error.empty()) {
        std::cerr << "zvtool: " << args[at + 1] << ": " << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

int CommandImport(Language lang, const std::vector<std::string>& args) {
    Tool tool(lang);
    if (!OpenToLook(tool, args[1]))
        return kExitFailed;
    std::size_t at = 2;
    const auto item = ItemOfArgs(args, at, tool.model.Data().DeviceData);
    if (!item || args.size() != at + 3 || args[at + 1] != "-o") {
        std::cerr << "zvtool: import FILE --map|--afr|--curve NAME IN.csv -o OUT.zvt\n" << kUsage;
        return kExitUsage;
    }
    const std::string& csv = args[at];
    const auto lines = ReadTextLines(csv);
    if (!lines) {
        std::cerr << "zvtool: cannot read " << csv << '\n';
        return kExitFailed;
    }
    std::string text;
    for (const std::string& line : *lines)
        text += line + "\n";
    TMainModel& model = tool.model;
    const TPastePlan plan = PlanPaste(*item, model.Data().DeviceData.Image, text, 0, 0);
    if (plan.Refused) {
        std::cerr << "zvtool: " << csv << ": " << plan.Refused->Pick(lang) << '\n';
        return kExitUsage;
    }
    ApplyPaste(model.History(),
               [&model](const TImageWrite& where, std::span<const std::uint8_t> bytes) {
                   return model.WriteImage(where, bytes);
               },
               *item, plan);
    if (const std::string note = PasteRoundingNote(plan, lang); !note.empty())
        std::cerr << "zvtool: " << csv << ": " << note << '\n';
    model.Data().FileName = args[at + 2];
    return model.SaveDataFile() ? kExitOk : kExitFailed;
}

int CommandAutotune(Language lang, const std::vector<std::string>& args) {
    const auto options = ParseAutotuneOptions(args);
    if (const auto* error = std::get_if<std::string>(&options)) {
        std::cerr << "zvtool: " << *error << '\n' << kAutotuneUsage;
        return kExitUsage;
    }
    const TAutotuneOptions& o = std::get<TAutotuneOptions>(options);
    Tool tool(lang);
    if (!OpenToLook(tool, o.File))
        return kExitFailed;
    return RunAutotuneCommand(tool.model, o, lang);
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
        std::cout << kUsage << kAutotuneUsage << kLinkUsage << kPrintUsage;
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
    if (command == "export" && args.size() >= 3) return CommandExport(lang, args);
    if (command == "import" && args.size() >= 3) return CommandImport(lang, args);
    if (command == "autotune") return CommandAutotune(lang, std::vector<std::string>(args.begin() + 1, args.end()));
    if (command == "print") return RunPrintCommand(std::vector<std::string>(args.begin() + 1, args.end()), lang);
    if (command == "upload" || command == "download" || command == "watch") {
        return RunLinkCommand(command, std::vector<std::string>(args.begin() + 1, args.end()), lang);
    }
    std::cerr << "zvtool: unknown command or wrong number of arguments: " << command << '\n' << kUsage << kLinkUsage;
    return kExitUsage;
}
