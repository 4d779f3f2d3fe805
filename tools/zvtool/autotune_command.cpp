#include "autotune_command.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>

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
    "  autotune FILE --log LOG [--log LOG ...] [--authority PCT] [--min-samples N]\n"
    "           [--delay auto|model|MS|BASE_MS:VOLUME] [--lock T,R ...] -o OUT.zvt\n"
    "                  propose a fuel map from the logs' wideband readings and save it to "
    "OUT.zvt;\n"
    "                  prints each changed cell (sites, old -> new, percent, samples, "
    "confidence)\n"
    "                  and a summary; PCT (default 10) limits the change of a cell, N (default "
    "20)\n"
    "                  is the sample weight a cell needs; --delay: estimated from the logs' "
    "fuel-cut\n"
    "                  edges where there are enough (auto, the default), the model alone, a "
    "fixed\n"
    "                  delay in ms, or the model's base in ms and its volume in ms x rpm at full\n"
    "                  load; --lock keeps cells as they are: T,R or T0-T1,R0-R1 (site indices "
    "from\n"
    "                  0 at the lowest site); fails when no sample can be used\n";

namespace {

// "5" or "3-7": site indices 0..15, the first not above the second.
bool ParseIndexRange(const std::string& text, int& lo, int& hi) {
    const auto dash = text.find('-');
    if (dash == std::string::npos) {
        if (!ParseNumber(text, lo))
            return false;
        hi = lo;
    } else if (!ParseNumber(text.substr(0, dash), lo) || !ParseNumber(text.substr(dash + 1), hi)) {
        return false;
    }
    return lo >= 0 && hi <= 15 && lo <= hi;
}

std::optional<TLockBlock> ParseLock(const std::string& text) {
    const auto comma = text.find(',');
    TLockBlock block;
    if (comma == std::string::npos || !ParseIndexRange(text.substr(0, comma), block.T0, block.T1) ||
        !ParseIndexRange(text.substr(comma + 1), block.R0, block.R1))
        return std::nullopt;
    return block;
}

constexpr double kMaxDelayMs = 5000.0;
constexpr double kMaxVolume = 1e7;

std::optional<TDelayOption> ParseDelay(const std::string& text) {
    TDelayOption delay;
    if (text == "auto")
        return delay;
    if (text == "model") {
        delay.Type = TDelayOption::Kind::Model;
        return delay;
    }
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        delay.Type = TDelayOption::Kind::Fixed;
        if (!ParseNumber(text, delay.Ms) || !(delay.Ms >= 0.0 && delay.Ms <= kMaxDelayMs))
            return std::nullopt;
        return delay;
    }
    delay.Type = TDelayOption::Kind::Own;
    if (!ParseNumber(text.substr(0, colon), delay.Ms) ||
        !ParseNumber(text.substr(colon + 1), delay.VolumeMsRpm) ||
        !(delay.Ms >= 0.0 && delay.Ms <= kMaxDelayMs) ||
        !(delay.VolumeMsRpm > 0.0 && delay.VolumeMsRpm <= kMaxVolume))
        return std::nullopt;
    return delay;
}

void ApplyOptions(const TAutotuneOptions& options, TTuneSettings& settings) {
    if (options.AuthorityPercent > 0.0)
        settings.AuthorityPercent = options.AuthorityPercent;
    if (options.MinSamples > 0)
        settings.MinSamples = options.MinSamples;
    switch (options.Delay.Type) {
        case TDelayOption::Kind::Auto:
            break;
        case TDelayOption::Kind::Model:
            settings.EstimateDelay = false;
            break;
        case TDelayOption::Kind::Fixed:
            settings.FixedDelayMs = options.Delay.Ms;
            break;
        case TDelayOption::Kind::Own:
            settings.EstimateDelay = false;
            settings.Delay.BaseMs = options.Delay.Ms;
            settings.Delay.VolumeMsRpm = options.Delay.VolumeMsRpm;
            break;
    }
    for (const TLockBlock& b : options.Locks) {
        for (int t = b.T0; t <= b.T1; ++t)
            for (int r = b.R0; r <= b.R1; ++r)
                settings.Locked[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] = true;
    }
}

}  // namespace

std::variant<TAutotuneOptions, std::string> ParseAutotuneOptions(
    const std::vector<std::string>& args) {
    TAutotuneOptions options;
    if (args.empty() || args[0].rfind("-", 0) == 0)
        return std::string("autotune needs the data file first");
    options.File = args[0];
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option != "--log" && option != "--authority" && option != "--min-samples" &&
            option != "--delay" && option != "--lock" && option != "-o")
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
        } else if (option == "--delay") {
            const auto delay = ParseDelay(value);
            if (!delay)
                return "--delay takes auto, model, a delay in ms (0 to 5000) or BASE_MS:VOLUME, "
                       "not " +
                       value;
            options.Delay = *delay;
        } else if (option == "--lock") {
            const auto block = ParseLock(value);
            if (!block)
                return "--lock takes T,R or T0-T1,R0-R1 with site indices 0 to 15, not " + value;
            options.Locks.push_back(*block);
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
        const TLogSamplesRead read = ReadLogSamples(path, model.Data());
        for (const TOwnedText& notice : read.Notices)
            std::cerr << "zvtool: " << path << ": " << notice.Pick(lang) << '\n';
        if (const auto* error = std::get_if<TOwnedText>(&read.Samples)) {
            std::cerr << "zvtool: " << path << ": " << error->Pick(lang) << '\n';
            return kExitFailed;
        }
        AppendTuneLog(all, std::get<TTuneLog>(read.Samples));
    }
    TTuneSettings settings = TuneSettingsFor(model.Data());
    ApplyOptions(options, settings);
    const TTuneResult result = RunAutotune(model.Data(), all, settings);
    for (const std::string& line : AutotuneReport(result, model.Data().DeviceData, lang))
        std::cout << line << '\n';
    if (result.Refused) {
        std::cerr << "zvtool: " << options.File << ": " << result.Refused->Pick(lang) << '\n';
        return kExitFailed;
    }
    std::cout << TuneDelayLine(result, settings, lang) << '\n';
    model.ApplyAutotune(result);
    model.Data().FileName = options.Out;
    return model.SaveDataFile() ? kExitOk : kExitFailed;
}

}  // namespace zv::tool
