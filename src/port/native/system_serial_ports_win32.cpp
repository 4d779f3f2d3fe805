#include <windows.h>

#include <algorithm>

#include "system_serial_ports.h"

namespace zv::port::native {

std::vector<std::string> SystemSerialPorts() {
    std::vector<std::string> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return ports;
    }
    // Each value maps a driver's device name to the COM name it was given.
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        char data[256];
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataLength] = '\0';
        ports.emplace_back(data);
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end());
    return ports;
}

// The system's map lives in the registry here; there is no sysfs tree to read.
std::vector<std::string> SysfsSerialPorts(const std::string&) {
    return {};
}

}  // namespace zv::port::native
