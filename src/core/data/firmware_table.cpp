#include "data/firmware_table.h"

namespace zv {

namespace {

const char* const kFirmwareNames[kFirmwareCount] = {
    "***",     "V1.00 A", "V1.01 A", "V1.02 A", "V1.04 A", "V1.05 A", "V2.00 A", "V2.01 A",
    "V2.02 A", "V1.00 B", "V1.01 B", "V1.04 B", "V1.10 B", "V1.11 B", "V1.12 B", "V1.13 B",
    "V1.14 B", "V1.15 B", "V1.16 B", "V1.17 B", "V1.18 B", "V1.19 B", "V1.20 B", "V2.00 B",
    "V0.00 C", "V0.15 C", "V0.18 C", "V1.00 C", "V1.01 C", "V1.02 C", "V1.03 C", "V1.04 C",
    "V1.05 C", "V1.06 C", "V1.07 C", "V1.08 C", "V2.00 C", "V0.00 D", "V1.00 D", "V0.00 E",
    "---",
};

}  // namespace

const char* FirmwareName(int index) {
    if (index < 0 || index >= kFirmwareCount) return kFirmwareNames[kFirmwareUnknown];
    return kFirmwareNames[index];
}

int FirmwareIndexOfName(std::string_view name) {
    for (int i = 0; i < kFirmwareCount; ++i) {
        if (name == kFirmwareNames[i]) return i;
    }
    return kFirmwareUnknown;
}

}  // namespace zv
