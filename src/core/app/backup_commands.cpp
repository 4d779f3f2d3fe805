// The main window's backup commands: where a backup goes, and restoring one into the unit.
#include <utility>

#include "app/main_model.h"
#include "backup/backup_text.h"
#include "online/online_mode.h"

namespace zv {

TBackupSaved TMainModel::SaveUnitBackup(const TZVDataSet& unit) {
    return zv::SaveUnitBackup(unit, dataFolder_, Now(), language_);
}

bool TMainModel::RestoreBackupEnabled() const {
    return online_ && online_->Controls().F8.Enabled;
}

std::vector<TBackupEntry> TMainModel::BackupsOfUnit() {
    const std::string serial = data_.ReceiveData.Ident.SerialNo;
    if (serial.empty()) {
        ShowMessage(MsgKind::Information, BackupText(TBackupText::NoUnit, language_));
        return {};
    }
    std::vector<TBackupEntry> backups = ListBackups(dataFolder_, serial);
    if (backups.empty())
        ShowMessage(MsgKind::Information,
                    FillIn(BackupText(TBackupText::NoBackup, language_), {serial, BackupFolder(dataFolder_)}));
    return backups;
}

void TMainModel::RestoreBackupClick() {
    if (!RestoreBackupEnabled()) return;
    const std::vector<TBackupEntry> backups = BackupsOfUnit();
    if (backups.empty()) return;
    const std::string serial = data_.ReceiveData.Ident.SerialNo;
    ListDialogRequest request{BackupText(TBackupText::ChooseTitle, language_),
                              FillIn(BackupText(TBackupText::ChooseLabel, language_), {serial}),
                              {}};
    for (const auto& backup : backups) request.Items.push_back(BackupListItem(backup));
    const auto chosen = dialogs_.ChooseFromList(request);
    if (!chosen || *chosen >= backups.size()) return;
    const TBackupEntry& backup = backups[*chosen];
    // Open would fill in what a damaged backup lacks and save it over the backup: the unit would
    // get values it never held, and the damage would be gone from view.
    const std::string damage = BackupDamage(backup.Path, language_);
    if (!damage.empty()) {
        ShowMessage(MsgKind::Error, FillIn(BackupText(TBackupText::Damaged, language_), {BackupFileNameOf(backup.Path), damage}));
        return;
    }
    if (ShowMessage(MsgKind::Confirmation, FillIn(BackupText(TBackupText::ConfirmRestore, language_), {backup.When, UnitName(backup.Unit)}),
                    MsgButtons::YesNo) != MsgAnswer::Yes) {
        return;
    }
    // The backup becomes the working data set, as Open makes any file, and goes the way of F8.
    // Save then asks for a name, so that edits made later cannot overwrite the backup unasked.
    AskSaveFirst();
    const bool readOnly = std::exchange(readOnlyOpen_, true);
    const bool opened = OpenDataFile(backup.Path);
    readOnlyOpen_ = readOnly;
    if (!opened) return;
    neverSaved_ = true;
    online_->RestoreDownload(backup.Unit);
}

}  // namespace zv
