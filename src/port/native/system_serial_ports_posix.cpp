#include <algorithm>
#include <filesystem>
#include <system_error>

#include "system_serial_ports.h"

namespace zv::port::native {

namespace {

namespace fs = std::filesystem;

// Serial terminals that no driver is bound to but that are serial ports all the same.
constexpr const char* kDriverlessKinds[] = {"rfcomm", "ttyGS", "tnt"};

bool IsDriverlessKind(const std::string& name) {
    return std::any_of(std::begin(kDriverlessKinds), std::end(kDriverlessKinds),
                       [&](const char* prefix) { return name.rfind(prefix, 0) == 0; });
}

bool HasDriver(const fs::path& tty) {
    std::error_code ec;
    return fs::exists(tty / "device" / "driver", ec);
}

}  // namespace

std::vector<std::string> SysfsSerialPorts(const std::string& root) {
    std::vector<std::string> ports;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(root) / "sys/class/tty", ec)) {
        const std::string name = entry.path().filename().string();
        if (IsDriverlessKind(name) || HasDriver(entry.path()))
            ports.push_back("/dev/" + name);
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

std::vector<std::string> SystemSerialPorts() {
#ifdef __linux__
    return SysfsSerialPorts("/");
#else
    return {};
#endif
}

}  // namespace zv::port::native
