#include <windows.h>

#include <cctype>

#include "adapter_latency.h"

namespace zv::port::native {

namespace {

// FTDI's driver keeps one key per adapter under here, each with the port it was given and its
// latency timer under 0000\Device Parameters.
constexpr const char* kFtdiBus = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string StringValue(HKEY key, const char* name) {
    char data[64];
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    data[size] = '\0';
    return data;
}

std::optional<int> DwordValue(HKEY key, const char* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return static_cast<int>(value);
}

// The latency timer of one adapter's key when it serves the port.
std::optional<int> LatencyOfAdapter(HKEY bus, const char* adapter, const std::string& comName) {
    const std::string path = std::string(adapter) + "\\0000\\Device Parameters";
    HKEY parameters = nullptr;
    if (RegOpenKeyExA(bus, path.c_str(), 0, KEY_READ, &parameters) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<int> latency;
    if (SameName(StringValue(parameters, "PortName"), comName))
        latency = DwordValue(parameters, "LatencyTimer");
    RegCloseKey(parameters);
    return latency;
}

}  // namespace

std::optional<int> AdapterLatencyTimerMs(const std::string& device) {
    const std::string comName = ComNameOfDevice(device);
    HKEY bus = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFtdiBus, 0, KEY_READ, &bus) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<int> latency;
    for (DWORD index = 0; !latency; ++index) {
        char adapter[256];
        DWORD length = sizeof adapter;
        const LONG result =
            RegEnumKeyExA(bus, index, adapter, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            latency = LatencyOfAdapter(bus, adapter, comName);
    }
    RegCloseKey(bus);
    return latency;
}

}  // namespace zv::port::native
