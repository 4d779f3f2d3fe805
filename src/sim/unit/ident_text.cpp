#include "unit/ident_text.h"

#include <cstdio>
#include <string_view>

#include "text/text_table.h"
#include "data/firmware_table.h"
#include "link/global_class.h"
#include "link/unit_ident.h"
#include "unit/sim_unit.h"

namespace zv::sim {

namespace {

const TGlobalClass& Global() {
    static const TGlobalClass global;
    return global;
}

std::string Padded(std::string_view text, std::size_t length) {
    std::string s(text.substr(0, length));
    s.resize(length, ' ');
    return s;
}

std::string SerialText(long n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "ZV%06ld", n);
    return buf;
}

// Places the field at its 1-based position.
void Put(std::string& text, std::size_t first, std::string_view field) {
    text.replace(first - 1, field.size(), field);
}

}  // namespace

std::string FirmwareCodeOf(int firmware) {
    const std::string_view name = FirmwareName(firmware);
    // "Vx.yy G"
    if (name.size() != 7 || name[0] != 'V' || name[2] != '.')
        return "    ";
    std::string code;
    code += name[6];
    code += name[1];
    code += name.substr(3, 2);
    return code;
}

std::optional<std::string> FindSerialNo(int deviceType, int firmware) {
    const TGlobalClass::SerialRange range = TGlobalClass::SerialRangeOf(deviceType);
    if (range.First > range.Last)
        return std::nullopt;
    if (firmware == kFirmwareUnknown)
        return SerialText(range.Last + 1);
    for (long n = range.First; n <= range.Last; ++n) {
        if (Global().FirmwareFromSerial(deviceType, n) == firmware)
            return SerialText(n);
    }
    return std::nullopt;
}

std::string SerialNoOf(const TSimUnitConfig& config) {
    if (!config.SerialNo.empty())
        return Padded(config.SerialNo, ident::kSerialLength);
    if (auto found = FindSerialNo(config.DeviceType, config.Firmware))
        return *found;
    const TGlobalClass::SerialRange range = TGlobalClass::SerialRangeOf(config.DeviceType);
    return SerialText(range.First <= range.Last ? range.First : 0);
}

std::string BuildIdentText(const TSimUnitConfig& config) {
    std::string text(ident::kTextLength, ' ');
    // The unit's own wording around the fields; none of it is read by the program.
    Put(text, 25, " Zevrin plus engine control unit");
    Put(text, 59, "FW-Code:");
    Put(text, 71, " VC:");
    Put(text, 82, "Brenvik-dudizedode  9600 8N1  Fuel/Idle/Lambda/WBO2/Shift");
    Put(text, 150, Padded(FirmwareName(config.Firmware), 8));

    Put(text, ident::kTypeFirst, Padded(DeviceTypeName(config.DeviceType), ident::kTypeLength));
    Put(text, ident::kSerialFirst, SerialNoOf(config));
    Put(text, ident::kFirmwareCodeFirst,
        config.ReportFirmwareCode ? FirmwareCodeOf(config.Firmware) : std::string(4, ' '));
    Put(text, ident::kVersionCodeFirst,
        config.ReportVersionCode ? Padded(TGlobalClass::VersionCode(config.Firmware), 6)
                                 : std::string(ident::kNoVersionCode));
    return text;
}

}  // namespace zv::sim
