#pragma once

#include <string_view>

namespace zv {

// The firmware index 0..40 is the one measure of the unit's generation: it decides record
// layouts, write variants, which parameters exist and how editors behave.
constexpr int kFirmwareCount = 41;
constexpr int kFirmwareUnknown = 40;
// From this index on the narrowband reference byte is a signed trim (-10..+10) instead of a
// reference voltage.
constexpr int kFirstTrimFirmware = 14;

// Name of a firmware index ("V1.00 A" ...); "---" for an index outside the table.
const char* FirmwareName(int index);

// Index whose name equals the text exactly (case-sensitive); 40 when none does.
int FirmwareIndexOfName(std::string_view name);

}  // namespace zv
