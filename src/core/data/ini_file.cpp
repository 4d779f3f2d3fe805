#include "data/ini_file.h"

#include <cctype>

namespace zv {

std::string_view TrimBlanks(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (std::tolower(ca) != std::tolower(cb)) return false;
    }
    return true;
}

IniFile::IniFile(const std::vector<std::string>& lines) {
    Section* current = nullptr;
    for (const auto& raw : lines) {
        const std::string_view line = TrimBlanks(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            const auto name = TrimBlanks(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            sections_.push_back({std::string(name), {}});
            current = &sections_.back();
            continue;
        }
        const auto equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) continue;
        std::string_view value = TrimBlanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        current->Entries.emplace_back(std::string(TrimBlanks(line.substr(0, equals))), std::string(value));
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const auto& section : sections_) {
        if (EqualsIgnoreCase(section.Name, name)) return &section;
    }
    return nullptr;
}

const std::string* IniFile::FindValue(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return nullptr;
    for (const auto& [name, value] : s->Entries) {
        if (EqualsIgnoreCase(name, key)) return &value;
    }
    return nullptr;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
    return FindValue(section, key) != nullptr;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
    const std::string* value = FindValue(section, key);
    return value ? *value : fallback;
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const {
    const std::string* value = FindValue(section, key);
    if (value == nullptr) return fallback;
    return ParseIniInteger(*value).value_or(fallback);
}

std::optional<std::int32_t> ParseIniInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;

    std::uint64_t magnitude = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > 0xFFFFFFFFull) return std::nullopt;
    }

    std::int64_t value = 0;
    if (base == 16) {
        // Hexadecimal fills all 32 bits, as the profile functions' callers read it.
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
    } else {
        value = static_cast<std::int64_t>(magnitude);
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace zv
