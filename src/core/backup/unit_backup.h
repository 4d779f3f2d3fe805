#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// The folder of the backups within the data folder.
std::string BackupFolder(const std::string& dataFolder);

// "<serial number> <yyyy-mm-dd hhmmss>.zvt", or with " (2)", " (3)", ... before the extension
// for the second and later backups of that serial number in one second; a serial number that is
// empty or holds characters a file name cannot carry is written as a file system takes it.
std::string BackupFileName(const std::string& serialNo, std::time_t when, int number = 1);

// Whom a backup belongs to. Two units may report one serial number; the device type tells
// them apart (0 where a backup does not say, as older ones do not).
struct TUnitIdentity {
    std::string SerialNo;
    std::uint8_t DeviceType = 0;
};
// "ZV000420 (ZV_00000003)", or the serial number alone where the type is not known.
std::string UnitName(const TUnitIdentity& unit);
// Whether a backup of `backup` may go into the unit identified as `unit`.
bool BackupFitsUnit(const TUnitIdentity& backup, const TUnitIdentity& unit);

struct TBackupSaved {
    std::string Path;
    std::string Error;  // empty when the backup is on the disk
    bool Ok() const { return Error.empty(); }
};

// Saves a data set read from a unit as a data file in the backups folder (created when
// missing), written atomically, so that Open reads it as any data file. It never replaces a
// file: a name already taken gets the next number.
TBackupSaved SaveUnitBackup(const TZVDataSet& unit, const std::string& dataFolder,
                            std::time_t when, Language lang);

struct TBackupEntry {
    std::string Path;
    TUnitIdentity Unit;  // as the backup records it
    std::string When;    // "yyyy-mm-dd hh:nn:ss"
};

// The backups of one serial number, newest first; files of other units and other names are
// left out.
std::vector<TBackupEntry> ListBackups(const std::string& dataFolder, const std::string& serialNo);

// A backup as the restore list shows it: date and time, the serial number, and the device type
// where the backup records it.
std::string BackupListItem(const TBackupEntry& entry);

// Empty when the backup reads whole, as it was saved: every entry there and every value in its
// range. Otherwise why not. Opening a file fills defaults for what it lacks; a backup restored
// that way would put values into the unit that it never held.
std::string BackupDamage(const std::string& path, Language lang);

}  // namespace zv
