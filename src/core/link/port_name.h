#pragma once

#include <optional>
#include <string>

#include "text/text_table.h"

namespace zv {

// Port 0 is no port: nothing is opened and no unit is looked for.
constexpr int kNoPort = 0;
// The simulated unit built into the program answers on a number no COM port has, so that no
// stored or typed port number ever reaches it; only choosing it does.
constexpr int kSimulatedUnitPort = 100;
// Its name wherever a tuner looks: the port menu, the status bar, the window title.
inline constexpr TextPair kSimulatedUnitName = {"Simulierte Einheit", "Simulated unit"};
inline constexpr TextPair kNoPortName = {"Keine Schnittstelle gewählt", "No port chosen"};

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
