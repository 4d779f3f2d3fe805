#include "link/sim_drive.h"

#include <algorithm>

#include "text/whole_number.h"

namespace zv {

std::string SimDriveUsage(std::size_t column) {
    static const char* const kLines[] = {
        "how the simulated unit's engine runs: cycle (a repeating road drive,",
        "the default), sweep (every cell of the fuel map held in turn, as on a",
        "dynamometer, after a minute's warm-up), inertia (8 s runs up through the",
        "speed range at each throttle site, on an inertia dynamometer after the same",
        "warm-up) or hold:TPS,RPM (throttle percent 0..100 and engine speed",
        "0..10000 rpm held, e.g. hold:35,2400)",
    };
    std::string usage = "  --drive MODE";
    for (const char* line : kLines) {
        usage.resize(std::max(usage.size() + 1, usage.rfind('\n') + 1 + column), ' ');
        usage += line;
        usage += '\n';
    }
    return usage;
}

namespace {

constexpr const char* kHoldPrefix = "hold:";

std::optional<TSimDrive> ParseHold(const std::string& values, std::string& error) {
    const auto comma = values.find(',');
    if (comma == std::string::npos) {
        error = "--drive hold takes TPS,RPM, e.g. hold:35,2400";
        return std::nullopt;
    }
    const auto tps = ParseWholeNumber(values.substr(0, comma), 0, 100);
    if (!tps) {
        error = "--drive hold: the throttle is a whole percent from 0 to 100, not \"" +
                values.substr(0, comma) + "\"";
        return std::nullopt;
    }
    const auto rpm = ParseWholeNumber(values.substr(comma + 1), 0, kMaxHoldRpm);
    if (!rpm) {
        error = "--drive hold: the engine speed is a whole number of rpm from 0 to 10000, not \"" +
                values.substr(comma + 1) + "\"";
        return std::nullopt;
    }
    TSimDrive drive;
    drive.Type = TSimDrive::Kind::Hold;
    drive.TpsPercent = static_cast<int>(*tps);
    drive.Rpm = static_cast<int>(*rpm);
    return drive;
}

}  // namespace

std::optional<TSimDrive> ParseSimDrive(const std::string& text, std::string& error) {
    TSimDrive drive;
    if (text == "cycle")
        return drive;
    if (text == "sweep") {
        drive.Type = TSimDrive::Kind::Sweep;
        return drive;
    }
    if (text == "inertia") {
        drive.Type = TSimDrive::Kind::Inertia;
        return drive;
    }
    const std::string prefix = kHoldPrefix;
    if (text.compare(0, prefix.size(), prefix) == 0)
        return ParseHold(text.substr(prefix.size()), error);
    error = "--drive takes cycle, sweep, inertia or hold:TPS,RPM, not \"" + text + "\"";
    return std::nullopt;
}

}  // namespace zv
