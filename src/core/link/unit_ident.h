#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "data/firmware_table.h"
#include "data/zv_data_class.h"
#include "link/global_class.h"

namespace zv {

// Fields of the 176-character identification text; positions count from 1, as the unit's
// documentation does.
namespace ident {
constexpr std::size_t kTextLength = 176;
constexpr std::size_t kTypeFirst = 1, kTypeLength = 16;
constexpr std::size_t kSerialFirst = 17, kSerialLength = 8;
constexpr std::size_t kFirmwareCodeFirst = 67, kFirmwareCodeLength = 4;
constexpr std::size_t kVersionCodeFirst = 75, kVersionCodeLength = 6;
// The version code of an older unit that is known by its serial number alone.
inline constexpr std::string_view kNoVersionCode = "      ";
}  // namespace ident

// What the identification text says about the unit.
struct TIdentResult {
    enum class Outcome {
        Identified,        // firmware index found (it may be 40, unknown)
        NotSupported,      // device type 5: the online mode reports "Not supported Device"
        SerialNotANumber,  // no version code and a serial number that is not a number:
                           // the online mode goes to state 38 without a message
    };
    Outcome Result = Outcome::NotSupported;
    TIdent Ident;  // Text and DeviceType always; the rest unless NotSupported
    int Firmware = kFirmwareUnknown;
    bool BySerialNumber = false;  // index taken from the serial number tables
    long SerialNumber = -1;       // n, when BySerialNumber

    // Index 40: the online mode asks for a newer program but goes on.
    bool UnknownFirmware() const {
        return Result == Outcome::Identified && Firmware == kFirmwareUnknown;
    }
};

// The parsing half of IdentifyUnit: device type, fields and firmware index. The serial number and
// the firmware code lose trailing blanks and NULs (the unit pads its fixed fields); the version
// code is kept as it stands, so that six blanks can be told from a code.
TIdentResult ParseIdentification(const std::string& text, const TGlobalClass& global);

// True when every character of the fields the program reads (device type, serial number,
// firmware code, version code) is a printable ASCII character or the NUL a unit may pad a field
// with. The text has no checksum; any other byte there is a garbled reply. The unit's own
// wording between the fields is not judged.
bool IdentCharactersAllowed(std::string_view text);

// The serial number's number: the text after its first two characters when that is one to nine
// decimal digits and nothing else; -1 otherwise.
long SerialNumberValue(std::string_view serialNo);

}  // namespace zv
