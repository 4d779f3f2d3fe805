#include "data/data_file_reader.h"

#include <algorithm>
#include <cstdio>

#include "text/date_format.h"
#include "data/default_data.h"
#include "data/firmware_table.h"
#include "data/ini_file.h"
#include "data/parameter_table.h"

namespace zv {

namespace {

constexpr const char* kMapSection = "Zevrin Map";
constexpr const char* kOldMapSection = "Zevrin Table";
constexpr const char* kAfrSection = "Zevrin AFR map";
constexpr const char* kDetailSection = "Zevrin Detail";
constexpr const char* kLinSection = "Zevrin Lin";
constexpr const char* kCommentHeader = "[Zevrin Comment]";
constexpr const char* kMissing = "ERROR";
constexpr std::int32_t kMissingValue = -9999;

// Section names compare without regard to case in the INI reading, so the checks that look for
// them in the plain text (layout, comment) do the same.
bool ContainsIgnoreCase(const std::string& line, std::string_view part) {
    if (part.size() > line.size()) return false;
    for (std::size_t i = 0; i + part.size() <= line.size(); ++i) {
        if (EqualsIgnoreCase(std::string_view(line).substr(i, part.size()), part)) return true;
    }
    return false;
}

std::string RowKey(int t) { return "T" + std::to_string(t); }

// Older key names that files may still hold for a parameter or a linearisation row.
const char* OlderParameterKey(int index) {
    switch (index) {
        case param::LambdaRpmSetIn: return "LambdaRotSetIn";
        case param::LambdaTpsLim: return "LambdaPotiLim";
        case param::WBO2MessDevice: return "WBO2MessDevive";
        default: return nullptr;
    }
}

const char* OlderLinKey(int row) {
    switch (row) {
        case lin::TpsSites: return "Poti";
        case lin::RpmSites: return "Rot";
        default: return nullptr;
    }
}

std::string Format(const char* pattern, const char* key, int a, int b, int c) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, key, a, b, c);
    return buffer;
}

std::string NotValid(const TReadContext& context, const std::string& section, const std::string& key) {
    return std::string(Text(txt::NotAValidFile, context.Lang)) + "\r\n[" + section + "] " + key;
}

const TextPair kRpmSitesCorrected = {
    "Die Drehzahl-Stützstellen waren nicht steigend und wurden korrigiert.",
    "The engine speed sites were not rising and have been corrected.",
};

void ReadParameters(const IniFile& ini, TZVDataClass& data, TDataFileRead& result, const TReadContext& context) {
    for (int i = 0; i < kParameterCount; ++i) {
        const ParameterRow& p = Parameter(i);
        std::int32_t v = ini.ReadInteger(kDetailSection, p.Key, kMissingValue);
        if (result.FileFirmware >= p.MinFirmware) {
            if (v == kMissingValue && OlderParameterKey(i) != nullptr) {
                v = ini.ReadInteger(kDetailSection, OlderParameterKey(i), kMissingValue);
                result.Upgrade = true;
            }
            if (v == kMissingValue) {
                v = p.Default;
                result.Upgrade = true;
                result.DefaultsTaken = true;
            }
            if (v < p.Min || v > p.Max) {
                const int pair = v < p.Min ? txt::ParameterTooSmall : txt::ParameterTooBig;
                result.Messages.push_back(
                    {MsgKind::Error, Format(Text(pair, context.Lang), p.Key, p.Min, p.Max, p.Default)});
                v = p.Default;
            }
        }
        data.Detail[static_cast<std::size_t>(i)] = v;
    }
}

// False when a present row is not a valid row; the failure names it.
bool ReadLinRows(const IniFile& ini, TZVDataClass& data, TDataFileRead& result, const TReadContext& context) {
    for (int row = 0; row < kLinRowCount; ++row) {
        std::string key = LinRowName(row);
        std::string text = ini.ReadString(kLinSection, key, kMissing);
        if (text == kMissing && OlderLinKey(row) != nullptr && ini.HasKey(kLinSection, OlderLinKey(row))) {
            key = OlderLinKey(row);
            text = ini.ReadString(kLinSection, key, kMissing);
            result.Upgrade = true;
        }
        auto& target = data.Lin[static_cast<std::size_t>(row)];
        if (!ini.HasKey(kLinSection, key)) {
            result.Upgrade = true;
            result.MarkModified = true;
            result.DefaultsTaken = true;
            target = DefaultLinRow(row);
            continue;
        }
        if (!ParseByteRow(text, target)) {
            result.FailureText = NotValid(context, kLinSection, key);
            return false;
        }
    }
    return true;
}

void ReadComment(const std::vector<std::string>& lines, TZVDataClass& data, TDataFileRead& result,
                 const TReadContext& context) {
    data.Comment.clear();
    std::size_t i = 0;
    while (i < lines.size() && !ContainsIgnoreCase(lines[i], kCommentHeader)) ++i;
    if (i < lines.size()) {
        data.Comment.assign(lines.begin() + static_cast<long>(i) + 1, lines.end());
        return;
    }
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, Text(txt::SectionNotFound, context.Lang), kCommentHeader);
    result.Messages.push_back({MsgKind::Warning, buffer});
    data.Comment.push_back(FormatShortDateTime(context.Now, context.Lang) + "         " + context.Path);
}

}  // namespace

TLayoutCheck UpgradeOldLayout(const std::vector<std::string>& lines) {
    TLayoutCheck check;
    const IniFile ini(lines);
    if (ini.HasKey(kOldMapSection, "T0")) {
        check.Layout = FileLayout::Current;
        return check;
    }
    for (const auto& line : lines) {
        if (ContainsIgnoreCase(line, kMapSection)) {
            check.Layout = FileLayout::Current;
            return check;
        }
    }
    std::size_t found = 0;
    while (found < lines.size() && !ContainsIgnoreCase(lines[found], kOldMapSection)) ++found;
    if (found == lines.size()) return check;

    check.Layout = FileLayout::Oldest;
    auto& out = check.UpgradedLines;
    out.push_back("[Zevrin Map]");
    std::size_t i = found + 1;
    int rows = 0;
    for (; i < lines.size() && rows < 16; ++i) {
        if (lines[i].find(',') == std::string::npos) continue;
        out.push_back(RowKey(rows++) + "=" + lines[i]);
    }
    out.insert(out.end(), lines.begin() + static_cast<long>(i), lines.end());
    return check;
}

bool ParseByteRow(const std::string& text, ByteRow& row) {
    ByteRow parsed{};
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const auto piece = std::string_view(text).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto value = ParseIniInteger(piece);
        if (!value || count == parsed.size()) return false;
        parsed[count++] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value) & 0xFFu);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (count != parsed.size()) return false;
    row = parsed;
    return true;
}

std::vector<int> CorrectRpmSites(ByteRow& s) {
    std::vector<int> corrected;
    auto minus = [](int a, int b) { return static_cast<std::uint8_t>(a - b < 0 ? 0 : a - b); };
    for (std::size_t k = 0; k < 15; ++k) {
        if (s[k] > s[k + 1]) continue;
        if (k >= 13) {
            s[k + 1] = minus(s[k], 1);
        } else if (s[k] > s[k + 2]) {
            s[k + 1] = static_cast<std::uint8_t>(s[k + 2] + (s[k] - s[k + 2]) / 2);
        } else {
            s[k + 1] = minus(s[k], 5);
        }
        corrected.push_back(static_cast<int>(k));
    }
    return corrected;
}

TDataFileRead ReadDataFileLines(const std::vector<std::string>& lines, TZVDataClass& data,
                                const TReadContext& context) {
    TDataFileRead result;
    // The comment is free text to the end of the file: a comment line that looks like a section
    // or a key must not be read as one (a "[Zevrin Table]" there made a saved file unreadable).
    const auto comment = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return ContainsIgnoreCase(line, kCommentHeader);
    });
    const IniFile ini(std::vector<std::string>(lines.begin(), comment));
    const char* mapSection = ini.HasKey(kOldMapSection, "T0") ? kOldMapSection : kMapSection;

    result.FileFirmware = FirmwareIndexOfName(ini.ReadString("Zevrin System", "Firmware", kMissing));
    data.FileData.Firmware = static_cast<std::uint8_t>(result.FileFirmware);
    data.FileUnitFirmware = result.FileFirmware;
    data.FileSerialNo = ini.ReadString("Zevrin System", "SerialNo", "");
    if (data.FileSerialNo == "unknown")
        data.FileSerialNo.clear();

    for (int t = 0; t < 16; ++t) {
        if (!ParseByteRow(ini.ReadString(mapSection, RowKey(t), kMissing), data.Map[static_cast<std::size_t>(t)])) {
            result.FailureText = NotValid(context, mapSection, RowKey(t));
            return result;
        }
    }
    for (int t = 0; t < 16; ++t) {
        auto& row = data.AfrMap[static_cast<std::size_t>(t)];
        if (!ini.HasKey(kAfrSection, RowKey(t))) {
            row = DefaultAfrRow(t);
            result.DefaultsTaken = true;
        } else if (!ParseByteRow(ini.ReadString(kAfrSection, RowKey(t), kMissing), row)) {
            result.FailureText = NotValid(context, kAfrSection, RowKey(t));
            return result;
        }
    }
    ReadParameters(ini, data, result, context);
    if (!ReadLinRows(ini, data, result, context)) return result;

    for (std::size_t n = CorrectRpmSites(data.Lin[lin::RpmSites]).size(); n > 0; --n) {
        result.Messages.push_back({MsgKind::Error, kRpmSitesCorrected.Pick(context.Lang)});
    }
    ReadComment(lines, data, result, context);
    result.Complete = true;
    return result;
}

}  // namespace zv
