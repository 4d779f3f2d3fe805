#pragma once

#include <initializer_list>
#include <string>

#include "text/text_table.h"

namespace zv {

// Words of the backups, which the main text table has none for.
enum class TBackupText {
    RestoreItem,
    BackupOption,
    ChooseTitle,
    ChooseLabel,     // %1 serial number
    NoUnit,
    NoBackup,        // %1 serial number, %2 folder
    ConfirmRestore,  // %1 the backup's date, %2 serial number
    ReadFailed,
    SaveFailed,      // %1 the reason
    FailedAsk,       // %1 the reason
    FailedStop,      // %1 the reason
    Comment,         // %1 serial number, %2 date
    Saved,           // %1 path
    Damaged,         // %1 file name, %2 the reason
    Unreadable,
    EntriesMissing,
    WrongUnit,       // %1 the backup's unit, %2 the unit connected
    UnitDiffers,     // %1 the items that differ
};

const char* BackupText(TBackupText item, Language lang);

// The status bar's note of a saved backup. Backups lie deep in the user's folders: the note
// names the file, so that it fits beside the status panels, and its hover text the whole path.
struct TStatusNote {
    std::string Text, Tip;
};
TStatusNote BackupSavedNote(const std::string& path, Language lang);
// The file name of a backup's path, whichever separator it has.
std::string BackupFileNameOf(const std::string& path);

// The text with %1, %2, ... replaced by the values in order.
std::string FillIn(const std::string& pattern, std::initializer_list<std::string> values);

}  // namespace zv
