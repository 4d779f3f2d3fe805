#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zv::port {

// Port numbers run from COM1 to COM99, as on Windows.
constexpr int kMaxComNumber = 99;

// The folder whose symbolic links COM<n> -> device make any device (a pseudo-terminal among
// them) the port COM<n>: $ZV_PORT_DIR when set, else "ports" in the per-user data folder
// ($XDG_DATA_HOME or ~/.local/share, then the program's folder; %LOCALAPPDATA% on Windows).
std::string PortDirectory();

// "COM7" -> 7; nothing for any other text or a number outside 1..99.
std::optional<int> ComNumberOfName(const std::string& name);

// The stable number of a serial device of this machine on Linux: /dev/ttyS<k> is COM<k+1>
// (COM1..COM16), USB adapters /dev/ttyUSB<k> COM<17+k> (..COM32) and /dev/ttyACM<k>
// COM<33+k> (..COM48). Other devices have no fixed number.
std::optional<int> StableComNumber(const std::string& devicePath);

// The device a COM number stands for by convention, the other way round: COM5 is /dev/ttyS4,
// COM17 /dev/ttyUSB0, COM33 /dev/ttyACM0. Nothing for the numbers without one (COM49 up).
std::optional<std::string> StableDevicePath(int number);

// Numbers for a machine's serial devices: the stable ones first, then the devices without one
// in name order on the free numbers from COM49 up. Numbers already taken (by the port
// directory) are skipped; a device whose stable number is taken gets a free one.
std::map<int, std::string> NumberDevices(const std::vector<std::string>& devicePaths,
                                         const std::map<int, std::string>& taken);

// The entries COM<n> of the port directory whose device exists now (a link to a vanished
// device does not count), number -> the entry's path.
std::map<int, std::string> ReadPortDirectory(const std::string& directory);

}  // namespace zv::port
