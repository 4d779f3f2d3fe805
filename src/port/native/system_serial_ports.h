#pragma once

#include <string>
#include <vector>

namespace zv::port::native {

// The serial ports the system knows, as they are opened: device paths on Linux, COM names on
// Windows (from the registry's map of serial devices).
std::vector<std::string> SystemSerialPorts();

// Linux: the terminals under <root>/sys/class/tty that are real serial devices, as
// /dev/<name>: those bound to a device driver, and the kinds of serial terminal that have no
// driver of their own (Bluetooth rfcomm, USB gadget serial ttyGS, virtual null modems tnt).
// Virtual consoles, pseudo-terminals and the like are not serial ports. Sorted by name.
std::vector<std::string> SysfsSerialPorts(const std::string& root);

}  // namespace zv::port::native
