#pragma once

#include <optional>
#include <string>

namespace zv::sim {

struct TSimUnitConfig;

// The four-character firmware code a unit reports for a firmware index: the generation letter
// and the version digits of its name ("V1.03 C" gives "C103"); "    " for an index without a
// version ("***", "---").
std::string FirmwareCodeOf(int firmware);

// A serial number (eight characters, "ZV" and six digits) whose number the serial number table
// of the device type maps to the firmware index, the lowest such number; none when the table
// has no such entry. For firmware 40 it is the first number past the table.
std::optional<std::string> FindSerialNo(int deviceType, int firmware);

// The serial number a configured unit reports: the configured one padded or cut to eight
// characters, else FindSerialNo, else the first number of the type's table.
std::string SerialNoOf(const TSimUnitConfig& config);

// The 176-character identification text of a configured unit, laid out so that
// ParseIdentification (core) finds the configured type, serial number and codes at their places.
std::string BuildIdentText(const TSimUnitConfig& config);

}  // namespace zv::sim
