#include "backup/unit_backup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "backup/backup_text.h"
#include "data/parameter_table.h"
#include "data/text_file.h"
#include "text/date_format.h"

namespace zv {

namespace {

const char* const kBackupFolderName = "backups";
const char* const kExtension = ".zvt";
constexpr std::size_t kStampLength = 17;  // "yyyy-mm-dd hhnnss"

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

}  // namespace

std::string BackupFolder(const std::string& dataFolder) {
    return JoinPath(dataFolder, kBackupFolderName);
}

std::string BackupFileName(const std::string& serialNo, std::time_t when) {
    return SerialForFileName(serialNo) + " " + FormatBackupStamp(when) + kExtension;
}

TBackupSaved SaveUnitBackup(const TZVDataSet& unit, const std::string& dataFolder,
                            std::time_t when, Language lang) {
    TZVDataClass data;
    data.DeviceData = unit;
    TZVDataClass::ClearUnusedAreas(data.DeviceData);
    DefaultPcOnlyParameters(data.Detail);
    data.ImageToFields();
    data.Comment = {FillIn(BackupText(TBackupText::Comment, lang),
                           {unit.Ident.SerialNo, FormatLogDateTime(when)})};
    std::vector<std::string> lines;
    data.SaveToStrings(lines);

    TBackupSaved saved;
    const std::string folder = BackupFolder(dataFolder);
    saved.Path = JoinPath(folder, BackupFileName(unit.Ident.SerialNo, when));
    // Without a data folder the backup would land wherever the process happens to be.
    saved.Error = dataFolder.empty() ? "no data folder" : CreateFolders(folder);
    if (saved.Ok())
        saved.Error = WriteTextLines(saved.Path, lines);
    return saved;
}

std::vector<TBackupEntry> ListBackups(const std::string& dataFolder, const std::string& serialNo) {
    const std::string prefix = SerialForFileName(serialNo) + " ";
    std::vector<std::pair<std::string, TBackupEntry>> found;  // by stamp
    std::error_code ec;
    const std::string folder = BackupFolder(dataFolder);
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::path(std::u8string(folder.begin(), folder.end())), ec)) {
        const std::string name = Utf8(file.path().filename());
        if (!file.is_regular_file(ec) || name.size() != prefix.size() + kStampLength + 4 ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, kExtension) != 0) {
            continue;
        }
        const std::string stamp = name.substr(prefix.size(), kStampLength);
        if (IsStamp(stamp))
            found.push_back({stamp, {Utf8(file.path()), serialNo, ShownStamp(stamp)}});
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<TBackupEntry> entries;
    for (auto& [stamp, entry] : found)
        entries.push_back(std::move(entry));
    return entries;
}

std::string BackupListItem(const TBackupEntry& entry) {
    return entry.When + "    " + entry.SerialNo;
}

}  // namespace zv
