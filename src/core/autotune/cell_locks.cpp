#include "autotune/cell_locks.h"

#include <cstdio>

#include "seams/settings_store.h"

namespace zv {

namespace {

constexpr const char* kSection = "Autotune";
constexpr const char* kKeyPrefix = "Locks ";
constexpr std::size_t kDigits = 4;  // per throttle site

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string LocksText(const TCellLocks& locks) {
    std::string text;
    for (const auto& row : locks) {
        unsigned mask = 0;
        for (std::size_t r = 0; r < row.size(); ++r)
            mask |= row[r] ? 1u << r : 0u;
        char word[8];
        std::snprintf(word, sizeof word, "%04X", mask);
        text += word;
    }
    return text;
}

std::optional<TCellLocks> LocksOfText(const std::string& text) {
    TCellLocks locks{};
    if (text.size() != locks.size() * kDigits)
        return std::nullopt;
    for (std::size_t t = 0; t < locks.size(); ++t) {
        unsigned mask = 0;
        for (std::size_t d = 0; d < kDigits; ++d) {
            const int digit = HexDigit(text[t * kDigits + d]);
            if (digit < 0)
                return std::nullopt;
            mask = mask * 16 + static_cast<unsigned>(digit);
        }
        for (std::size_t r = 0; r < locks[t].size(); ++r)
            locks[t][r] = ((mask >> r) & 1u) != 0;
    }
    return locks;
}

TCellLocks LoadLocks(SettingsStore& store, const std::string& dataFile) {
    if (dataFile.empty())
        return {};
    const auto text = store.ReadString(kSection, kKeyPrefix + dataFile);
    return text ? LocksOfText(*text).value_or(TCellLocks{}) : TCellLocks{};
}

void SaveLocks(SettingsStore& store, const std::string& dataFile, const TCellLocks& locks) {
    if (!dataFile.empty())
        store.WriteString(kSection, kKeyPrefix + dataFile, LocksText(locks));
}

}  // namespace zv
