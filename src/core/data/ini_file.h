#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv {

// An INI text read with the rules of the Windows profile functions that existing data files
// were written for: section and key names compare case-insensitively, the first occurrence of
// a section or key wins, blanks around names and values are ignored, ";" starts a comment line,
// and a value in matching quotes loses them.
class IniFile {
public:
    explicit IniFile(const std::vector<std::string>& lines);

    bool HasKey(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
    // The value as an integer (see ParseIniInteger); the fallback when missing or not a number.
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Entries;
    };
    const Section* FindSection(std::string_view name) const;
    const std::string* FindValue(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
};

// An integer as data files hold them: optional sign, then decimal digits, or hexadecimal digits
// after "$" or "0x". Blanks around it are allowed. Nothing when the text is not such a number or
// does not fit 32 bits (hexadecimal takes all 32 bits, so "$FFFFFFFF" is -1).
std::optional<std::int32_t> ParseIniInteger(std::string_view text);

// Text without leading and trailing blanks (spaces and tabs).
std::string_view TrimBlanks(std::string_view text);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace zv
