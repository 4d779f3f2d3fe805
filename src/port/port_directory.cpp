#include "port_directory.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "text/whole_number.h"

namespace zv::port {

namespace {

namespace fs = std::filesystem;

// Folders of the per-user data, in the same place whichever program of ours asks.
constexpr const char* kOrganisation = "Brenvik-dudizedode";
constexpr const char* kApplication = "Zevrin plus Control";
constexpr int kFirstFreeNumber = 49;

struct StableRange {
    const char* Prefix;
    int First;  // COM number of index 0
    int Count;
};
constexpr StableRange kStableRanges[] = {
    {"/dev/ttyS", 1, 16},
    {"/dev/ttyUSB", 17, 16},
    {"/dev/ttyACM", 33, 16},
};

// The one or two digits from start to the end of the text.
std::optional<int> NumberAfter(const std::string& text, std::size_t start) {
    if (start >= text.size() || text.size() - start > 2)
        return std::nullopt;
    const auto n = ParseWholeNumber(text.substr(start), 0, 99);
    if (!n)
        return std::nullopt;
    return static_cast<int>(*n);
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

std::string PortDirectory() {
    const std::string own = Env("ZV_PORT_DIR");
    if (!own.empty())
        return own;
#ifdef _WIN32
    fs::path base = Env("LOCALAPPDATA");
#else
    fs::path base = Env("XDG_DATA_HOME");
    if (base.empty())
        base = fs::path(Env("HOME")) / ".local" / "share";
#endif
    return (base / kOrganisation / kApplication / "ports").string();
}

std::optional<int> ComNumberOfName(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0 || name[3] == '0')
        return std::nullopt;
    const auto n = NumberAfter(name, 3);
    if (!n || *n < 1 || *n > kMaxComNumber)
        return std::nullopt;
    return n;
}

std::optional<int> StableComNumber(const std::string& devicePath) {
    if (const auto windowsName = ComNumberOfName(devicePath))
        return windowsName;
    for (const auto& range : kStableRanges) {
        const std::string prefix = range.Prefix;
        if (devicePath.compare(0, prefix.size(), prefix) != 0)
            continue;
        const auto index = NumberAfter(devicePath, prefix.size());
        if (index && *index < range.Count)
            return range.First + *index;
    }
    return std::nullopt;
}

std::optional<std::string> StableDevicePath(int number) {
    for (const auto& range : kStableRanges) {
        if (number >= range.First && number < range.First + range.Count)
            return range.Prefix + std::to_string(number - range.First);
    }
    return std::nullopt;
}

std::map<int, std::string> NumberDevices(const std::vector<std::string>& devicePaths,
                                         const std::map<int, std::string>& taken) {
    std::map<int, std::string> numbered;
    std::vector<std::string> rest;
    auto used = [&](int n) { return taken.count(n) > 0 || numbered.count(n) > 0; };
    for (const auto& path : devicePaths) {
        const auto stable = StableComNumber(path);
        if (stable && !used(*stable)) {
            numbered[*stable] = path;
        } else {
            rest.push_back(path);
        }
    }
    std::sort(rest.begin(), rest.end());
    // Free numbers from COM49 up, then what is left below it.
    std::vector<int> free;
    for (int n = kFirstFreeNumber; n <= kMaxComNumber; ++n)
        free.push_back(n);
    for (int n = 1; n < kFirstFreeNumber; ++n)
        free.push_back(n);
    auto slot = free.begin();
    for (const auto& path : rest) {
        while (slot != free.end() && used(*slot))
            ++slot;
        if (slot == free.end())
            break;
        numbered[*slot] = path;
    }
    return numbered;
}

std::map<int, std::string> ReadPortDirectory(const std::string& directory) {
    std::map<int, std::string> entries;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const auto number = ComNumberOfName(it->path().filename().string());
        std::error_code existsError;
        if (number && fs::exists(it->path(), existsError))
            entries[*number] = it->path().string();
    }
    return entries;
}

}  // namespace zv::port
