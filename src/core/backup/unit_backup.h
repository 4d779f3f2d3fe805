#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// The folder of the backups within the data folder.
std::string BackupFolder(const std::string& dataFolder);

// "<serial number> <yyyy-mm-dd hhmmss>.zvt"; a serial number that is empty or holds characters
// a file name cannot carry is written as a file system takes it.
std::string BackupFileName(const std::string& serialNo, std::time_t when);

struct TBackupSaved {
    std::string Path;
    std::string Error;  // empty when the backup is on the disk
    bool Ok() const { return Error.empty(); }
};

// Saves a data set read from a unit as a data file in the backups folder (created when
// missing), written atomically, so that Open reads it as any data file.
TBackupSaved SaveUnitBackup(const TZVDataSet& unit, const std::string& dataFolder,
                            std::time_t when, Language lang);

struct TBackupEntry {
    std::string Path;
    std::string SerialNo;
    std::string When;  // "yyyy-mm-dd hh:nn:ss"
};

// The backups of one unit, newest first; files of other units and other names are left out.
std::vector<TBackupEntry> ListBackups(const std::string& dataFolder, const std::string& serialNo);

// A backup as the restore list shows it: date and time, then the serial number.
std::string BackupListItem(const TBackupEntry& entry);

}  // namespace zv
