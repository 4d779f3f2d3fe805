#pragma once

#include <optional>
#include <string>

namespace zv::port::native {

// The latency timer in milliseconds of the USB-serial adapter behind a COM port ("COM3" or
// "\\.\COM12"), as its driver keeps it in the registry (FTDI adapters); nothing where no such
// adapter is known for the port. Windows only: elsewhere the port asks the driver for low
// latency when it opens, and this finds nothing.
std::optional<int> AdapterLatencyTimerMs(const std::string& device);

// "COM12" of "\\.\COM12", "COM3" of "COM3": the name a driver records for its port.
std::string ComNameOfDevice(const std::string& device);

}  // namespace zv::port::native
