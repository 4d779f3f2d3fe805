#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zv {

// Lookups of the unit identification: the device type list, the version code list
// and the serial number tables of the older units that report no version code.
class TGlobalClass {
  public:
    // Version code list: one code per firmware index 0..40.
    static constexpr int kVersionCodeCount = 41;
    // Device types 1..4 are supported; 5 is "UNKNOWN".
    static constexpr int kFirstSupportedType = 1;
    static constexpr int kLastSupportedType = 4;
    static constexpr int kUnknownType = 5;

    // Range of serial numbers n that the table of a device type covers.
    struct SerialRange {
        long First = 0;
        long Last = -1;  // First > Last: the type has no table
    };

    TGlobalClass();

    // Name of a device type 0..5 ("***", "ZV_00000001" .. "ZV_00000004", "UNKNOWN").
    static const char* DeviceTypeName(int type);
    // Version code of a firmware index ("A01.00" ...); "---" outside 0..40.
    static const char* VersionCode(int firmware);

    // The first type 1..5 whose name occurs in the text; 5 when none does.
    static int DeviceTypeOf(std::string_view text);
    // The first firmware index whose version code equals the code exactly; 40 when none does.
    static int FirmwareFromCode(std::string_view code);
    // Firmware index of an older unit by its serial number; 40 outside the table of its type,
    // 0 for a type without table.
    int FirmwareFromSerial(int type, long n) const;
    static SerialRange SerialRangeOf(int type);

  private:
    // Tables of types 1..4, entry k for serial number First + k.
    std::array<std::vector<std::uint8_t>, 4> SerialTables_;
};

}  // namespace zv
