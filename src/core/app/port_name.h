#pragma once

#include <optional>
#include <string>

namespace zv {

// The firmware index of the simulated unit when none is named.
constexpr int kDefaultSimFirmware = 30;

// A port as named wherever a port is named: "sim" or "sim:FW" (the simulated unit of firmware
// index FW), "COM<n>" (n 1..99) or the path of a device (a link to one included).
struct TPortName {
    enum class Kind { Sim, Com, Device };
    Kind Type = Kind::Sim;
    int Firmware = kDefaultSimFirmware;  // Sim
    int Number = 0;                      // Com
    std::string Path;                    // Device
};

// Nothing, with the reason in error, for a name that cannot be a port.
std::optional<TPortName> ParsePortName(const std::string& text, std::string& error);

}  // namespace zv
