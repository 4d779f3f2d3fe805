#include "autotune_command.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "app/main_model.h"
#include "autotune/autotune_apply.h"
#include "autotune/log_samples.h"

namespace zv::tool {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr double kMaxAuthority = 100.0;
constexpr int kMaxMinSamples = 1000000;

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

}  // namespace

const char* const kAutotuneUsage =
    "  autotune FILE --log LOG [--log LOG ...] [--authority PCT] [--min-samples N] -o OUT.zvt\n"
    "                  propose a fuel map from the logs' wideband readings and save it to "
    "OUT.zvt;\n"
    "                  prints each changed cell (sites, old -> new, percent, samples) and a "
    "summary;\n"
    "                  PCT (default 10) limits the change of a cell, N (default 20) is the sample\n"
    "                  weight a cell needs\n";

std::variant<TAutotuneOptions, std::string> ParseAutotuneOptions(
    const std::vector<std::string>& args) {
    TAutotuneOptions options;
    if (args.empty() || args[0].rfind("-", 0) == 0)
        return std::string("autotune needs the data file first");
    options.File = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option != "--log" && option != "--authority" && option != "--min-samples" &&
            option != "-o")
            return "unknown option " + option;
        if (i + 1 >= args.size())
            return option + " needs a value";
        const std::string& value = args[++i];
        if (option == "--log") {
            options.Logs.push_back(value);
        } else if (option == "-o") {
            if (!options.Out.empty())
                return std::string("-o given twice");
            options.Out = value;
        } else if (option == "--authority") {
            double pct = 0.0;
            if (!ParseNumber(value, pct) || !(pct > 0.0 && pct <= kMaxAuthority))
                return "--authority takes a percentage above 0 and at most 100, not " + value;
            options.AuthorityPercent = pct;
        } else {
            int n = 0;
            if (!ParseNumber(value, n) || n < 1 || n > kMaxMinSamples)
                return "--min-samples takes a whole number from 1 to 1000000, not " + value;
            options.MinSamples = n;
        }
    }
    if (options.Logs.empty())
        return std::string("autotune needs at least one --log");
    if (options.Out.empty())
        return std::string("autotune needs -o OUT.zvt");
    return options;
}

int RunAutotuneCommand(TMainModel& model, const TAutotuneOptions& options, Language lang) {
    TTuneLog all;
    for (const std::string& path : options.Logs) {
        auto read = SamplesFromLog(path);
        if (const auto* error = std::get_if<TOwnedText>(&read)) {
            std::cerr << "zvtool: " << path << ": " << error->Pick(lang) << '\n';
            return kExitFailed;
        }
        AppendTuneLog(all, std::get<TTuneLog>(read));
    }
    TTuneSettings settings = TuneSettingsFor(model.Data());
    if (options.AuthorityPercent > 0.0)
        settings.AuthorityPercent = options.AuthorityPercent;
    if (options.MinSamples > 0)
        settings.MinSamples = options.MinSamples;
    const TTuneResult result = RunAutotune(model.Data(), all, settings);
    if (result.Refused) {
        std::cerr << "zvtool: " << options.File << ": " << result.Refused->Pick(lang) << '\n';
        return kExitFailed;
    }
    for (const std::string& line : AutotuneReport(result, model.Data().DeviceData, lang))
        std::cout << line << '\n';
    model.ApplyAutotune(result);
    model.Data().FileName = options.Out;
    return model.SaveDataFile() ? kExitOk : kExitFailed;
}

}  // namespace zv::tool
