#include "link/port_name.h"

#include "seams/serial_port.h"

#include "data/firmware_table.h"
#include "text/whole_number.h"

namespace zv {

static_assert(kSimulatedUnitPort > SerialPort::kMaxPortNumber,
              "the simulated unit must not answer on a COM port's number");

namespace {

// Port and firmware numbers have at most two digits.
std::optional<int> Digits(const std::string& text, int min, int max) {
    if (text.size() > 2)
        return std::nullopt;
    const auto n = ParseWholeNumber(text, min, max);
    if (!n)
        return std::nullopt;
    return static_cast<int>(*n);
}

}  // namespace

std::optional<TPortName> ParsePortName(const std::string& text, std::string& error) {
    TPortName port;
    if (text == "sim" || text.rfind("sim:", 0) == 0) {
        // Index 0 ("***") is no unit's firmware: a unit claiming it would be read and written at
        // the wrong places.
        const auto fw =
            text == "sim" ? kDefaultSimFirmware : Digits(text.substr(4), 0, kFirmwareUnknown);
        if (!fw) {
            error = "port '" + text + "': the firmware index after sim: is a number from 1 to 40";
            return std::nullopt;
        }
        if (*fw == 0) {
            error = "port '" + text + "': firmware index 0 (\"" + FirmwareName(0) +
                    "\") is no unit's firmware; the simulated unit can be firmware 1 to 40";
            return std::nullopt;
        }
        port.Firmware = *fw;
        return port;
    }
    if (text.rfind("COM", 0) == 0) {
        const auto n = Digits(text.substr(3), 1, 99);
        if (!n || text[3] == '0') {
            error = "port '" + text + "': COM ports are numbered COM1 to COM99";
            return std::nullopt;
        }
        port.Type = TPortName::Kind::Com;
        port.Number = *n;
        return port;
    }
    if (text.empty()) {
        error = "the port name is empty";
        return std::nullopt;
    }
    port.Type = TPortName::Kind::Device;
    port.Path = text;
    return port;
}

}  // namespace zv
