#include "backup/unit_backup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "backup/backup_text.h"
#include "data/data_file_reader.h"
#include "data/default_data.h"
#include "data/ini_file.h"
#include "data/parameter_table.h"
#include "data/text_file.h"
#include "link/global_class.h"
#include "text/date_format.h"

namespace zv {

namespace {

const char* const kBackupFolderName = "backups";
const char* const kExtension = ".zvt";
constexpr std::size_t kStampLength = 17;  // "yyyy-mm-dd hhnnss"
const char* const kSystemSection = "Zevrin System";
const char* const kDeviceTypeKey = "DeviceType";
// Beyond this many backups of one serial number in one second something else is wrong.
constexpr int kMaxNumber = 99;

// Serial numbers are short codes of letters and digits; anything else would be a path
// separator or a character Windows refuses in a name.
std::string SerialForFileName(const std::string& serialNo) {
    if (serialNo.empty())
        return "unknown";
    std::string safe;
    for (unsigned char c : serialNo)
        safe += std::isalnum(c) || c == '-' || c == '_' ? static_cast<char>(c) : '_';
    return safe;
}

bool IsStamp(const std::string& text) {
    if (text.size() != kStampLength)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool separator = i == 4 || i == 7 || i == 10;
        const char expected = i == 10 ? ' ' : '-';
        if (separator ? text[i] != expected : !std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

// "yyyy-mm-dd hhnnss" as "yyyy-mm-dd hh:nn:ss".
std::string ShownStamp(const std::string& stamp) {
    return stamp.substr(0, 13) + ":" + stamp.substr(13, 2) + ":" + stamp.substr(15, 2);
}

std::string Utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The number of a backup name's rest after its stamp: "" is 1, " (n)" is n; 0 when the rest is
// something else.
int NumberOfRest(const std::string& rest) {
    if (rest.empty()) return 1;
    if (rest.size() < 4 || rest.compare(0, 2, " (") != 0 || rest.back() != ')') return 0;
    const std::string digits = rest.substr(2, rest.size() - 3);
    if (digits.size() > 2 || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        return 0;
    const int n = std::stoi(digits);
    return n >= 2 ? n : 0;
}

// Whom the backup says it belongs to; the file name's serial number where it says nothing.
TUnitIdentity IdentityOfBackup(const std::string& path, const std::string& serialOfName) {
    const auto lines = ReadTextLines(path);
    if (!lines) return {serialOfName, 0};
    const IniFile ini(*lines);
    const std::int32_t type = ini.ReadInteger(kSystemSection, kDeviceTypeKey, 0);
    return {ini.ReadString(kSystemSection, "SerialNo", serialOfName),
            static_cast<std::uint8_t>(type >= 1 && type <= 4 ? type : 0)};
}

}  // namespace

std::string BackupFolder(const std::string& dataFolder) {
    return JoinPath(dataFolder, kBackupFolderName);
}

std::string BackupFileName(const std::string& serialNo, std::time_t when, int number) {
    const std::string suffix = number > 1 ? " (" + std::to_string(number) + ")" : "";
    return SerialForFileName(serialNo) + " " + FormatBackupStamp(when) + suffix + kExtension;
}

std::string UnitName(const TUnitIdentity& unit) {
    if (unit.DeviceType == 0) return unit.SerialNo;
    return unit.SerialNo + " (" + TGlobalClass::DeviceTypeName(unit.DeviceType) + ")";
}

bool BackupFitsUnit(const TUnitIdentity& backup, const TUnitIdentity& unit) {
    return backup.SerialNo == unit.SerialNo && (backup.DeviceType == 0 || backup.DeviceType == unit.DeviceType);
}

TBackupSaved SaveUnitBackup(const TZVDataSet& unit, const std::string& dataFolder,
                            std::time_t when, Language lang) {
    TZVDataClass data;
    data.DeviceData = unit;
    TZVDataClass::ClearUnusedAreas(data.DeviceData);
    DefaultPcOnlyParameters(data.Detail);
    data.ImageToFields();
    if (unit.Firmware < 4) {
        // These units give nothing but their fuel map. The rest is written as a new data set has
        // it, so that the backup reads whole and can be restored; bytes never read would not.
        TZVDataClass fresh;
        ApplyDefaultFields(fresh);
        data.Detail = fresh.Detail;
        data.Lin = fresh.Lin;
    }
    data.Comment = {FillIn(BackupText(TBackupText::Comment, lang),
                           {unit.Ident.SerialNo, FormatLogDateTime(when)})};
    std::vector<std::string> lines;
    data.SaveToStrings(lines);
    // After the serial number: the restore checks both against the unit it goes into.
    lines.insert(lines.begin() + 3, std::string(kDeviceTypeKey) + "=" + std::to_string(unit.Ident.DeviceType));

    TBackupSaved saved;
    const std::string folder = BackupFolder(dataFolder);
    // Without a data folder the backup would land wherever the process happens to be.
    saved.Error = dataFolder.empty() ? "no data folder" : CreateFolders(folder);
    if (!saved.Ok()) return saved;
    // The name is taken by creating the file exclusively, so that a second download in the same
    // second, in this process or another, takes the next name instead of replacing the first
    // backup; the contents then replace only this empty file, atomically.
    for (int number = 1; number <= kMaxNumber; ++number) {
        saved.Path = JoinPath(folder, BackupFileName(unit.Ident.SerialNo, when, number));
        saved.Error = CreateTextFile(saved.Path, {});
        if (saved.Ok()) {
            saved.Error = WriteTextLines(saved.Path, lines);
            return saved;
        }
        if (!FileExists(saved.Path)) return saved;
    }
    return saved;
}

std::vector<TBackupEntry> ListBackups(const std::string& dataFolder, const std::string& serialNo) {
    const std::string prefix = SerialForFileName(serialNo) + " ";
    std::vector<std::pair<std::pair<std::string, int>, TBackupEntry>> found;  // by stamp and number
    std::error_code ec;
    const std::string folder = BackupFolder(dataFolder);
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::path(std::u8string(folder.begin(), folder.end())), ec)) {
        const std::string name = Utf8(file.path().filename());
        if (!file.is_regular_file(ec) || name.size() < prefix.size() + kStampLength + 4 ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, kExtension) != 0) {
            continue;
        }
        const std::string stamp = name.substr(prefix.size(), kStampLength);
        const int number = NumberOfRest(name.substr(prefix.size() + kStampLength,
                                                    name.size() - 4 - prefix.size() - kStampLength));
        if (IsStamp(stamp) && number > 0) {
            const std::string path = Utf8(file.path());
            found.push_back({{stamp, number}, {path, IdentityOfBackup(path, serialNo), ShownStamp(stamp)}});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<TBackupEntry> entries;
    for (auto& [stamp, entry] : found)
        entries.push_back(std::move(entry));
    return entries;
}

std::string BackupListItem(const TBackupEntry& entry) {
    return entry.When + "    " + UnitName(entry.Unit);
}

std::string BackupDamage(const std::string& path, Language lang) {
    const auto lines = ReadTextLines(path);
    if (!lines) return BackupText(TBackupText::Unreadable, lang);
    if (UpgradeOldLayout(*lines).Layout != FileLayout::Current) return Text(txt::NotAValidFile, lang);
    TZVDataClass scratch;
    const TDataFileRead read = ReadDataFileLines(*lines, scratch, {lang, path, 0});
    if (!read.Complete) return read.FailureText;
    if (!read.Messages.empty()) return read.Messages.front().Text;
    if (read.DefaultsTaken || read.Upgrade || read.MarkModified) return BackupText(TBackupText::EntriesMissing, lang);
    return {};
}

}  // namespace zv
