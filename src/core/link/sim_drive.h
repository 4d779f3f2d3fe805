#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zv {

// How the simulated unit's engine is driven, wherever a simulated unit can be started:
// "cycle" (a repeating road drive), "sweep" (every cell of the fuel map in steady phases, as on
// a dynamometer), "inertia" (runs up through the speed range at each throttle on an inertia
// dynamometer) or "hold:TPS,RPM" (throttle percent and engine speed held).
struct TSimDrive {
    enum class Kind { Cycle, Sweep, Hold, Inertia };
    Kind Type = Kind::Cycle;
    int TpsPercent = 0;  // Hold: 0..100
    int Rpm = 0;         // Hold: 0..10000
};

constexpr int kMaxHoldRpm = 10000;

// Nothing, with the reason in error, for a text that names no drive.
std::optional<TSimDrive> ParseSimDrive(const std::string& text, std::string& error);

// The usage lines of the option, shared by every program that takes it; the explanation starts
// at column `column`, where the program's other options have theirs.
std::string SimDriveUsage(std::size_t column);

}  // namespace zv
