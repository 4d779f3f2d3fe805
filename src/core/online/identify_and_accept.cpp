// The online mode's decisions about the unit's data: who the unit is, whether its uploaded
// data set replaces the one in the PC, and the backup kept of it before a download.
#include "backup/backup_text.h"
#include "compare/data_set_comparison.h"
#include "data/firmware_table.h"
#include "link/unit_ident.h"
#include "online/online_mode.h"

namespace zv {

namespace {

// Places of the main area that carry a data set's values for a firmware index: the ones a data
// file holds, without the reserved bytes and without what the firmware does not use.
bool CarriesValue(std::size_t offset, int firmware) {
    if (offset >= img::FuelMap && offset < img::UnusedTail) return true;
    if (firmware < 4 || offset > img::RpmSites + 15) return false;
    if (firmware <= 8) return offset <= 3 || (offset >= 206 && offset < img::TpsSites);
    return offset <= 21 || (offset >= 32 && offset <= 42) || offset >= img::TpsScale;
}

// True when the unit's uploaded data agree with the working data wherever a value lives.
bool UnitMatchesWorkingData(const TZVDataClass& data) {
    const auto& unit = data.ReceiveData.Image;
    const auto& work = data.DeviceData.Image;
    const int fw = data.ReceiveData.Firmware;
    for (std::size_t i = 0; i < kMainAreaSize; ++i) {
        if (!CarriesValue(i, fw)) continue;
        if (i == img::FlagsWord + 1) {
            // Bits 12..15 of the flags word are reserved; bit 10 is ours only from firmware 35.
            const unsigned mask = fw >= 35 ? 0x0F : 0x0B;
            if (((unit[i] ^ work[i]) & mask) != 0) return false;
        } else if (unit[i] != work[i]) {
            return false;
        }
    }
    if (fw >= 26) {
        for (std::size_t i = img::AfrMap; i < img::AfrMap + 256; ++i) {
            if (PackAfrCell(unit[i]) != PackAfrCell(work[i])) return false;
        }
    }
    return true;
}

// The first few items that differ, by name, for a question that has to stay short.
std::string FirstItemNames(const TDataSetComparison& c, Language lang) {
    constexpr std::size_t kShown = 3;
    std::vector<const TItemDifference*> items;
    for (const auto* list : {&c.Sites, &c.Curves, &c.Parameters})
        for (const auto& item : *list) items.push_back(&item);
    std::string names;
    for (std::size_t i = 0; i < items.size() && i < kShown; ++i)
        names += (i > 0 ? ", " : "") + ItemName(*items[i], lang);
    return items.size() > kShown ? names + ", …" : names;
}

}  // namespace

void TOnlineMode::IdentifyUnit() {
    TZVDataClass& data = main_.Data();
    const TIdentResult parsed = ParseIdentification(data.ReceiveData.Ident.Text, global_);
    data.ReceiveData.Ident = parsed.Ident;
    panels_.DeviceType = TGlobalClass::DeviceTypeName(parsed.Ident.DeviceType);

    if (parsed.Result == TIdentResult::Outcome::NotSupported) {
        comTimer_->Stop();
        comGaugeTimer_->Stop();
        SetComGauge(0, 15);
        main_.ShowMessage(MsgKind::Error, main_.Text(txt::NotSupportedDevice));
        comTimer_->Start();
        Status("Not supported Device");
        ClearUnitPanels();
        NextState(3);
        return;
    }
    if (parsed.Result == TIdentResult::Outcome::SerialNotANumber) {
        comTimer_->Stop();
        linkState_ = link::Offline;
        stepStarted_ = false;
        UpdateLinkControls();
        comTimer_->Start();
        return;
    }
    if (parsed.UnknownFirmware()) {
        comTimer_->Stop();
        main_.ShowMessage(MsgKind::Confirmation, main_.Text(txt::UnknownSerialNumber));
        comTimer_->Start();
    }

    if (RestoreRefused(parsed.Ident)) return;

    Status("Upload ID success");
    const auto fw = static_cast<std::uint8_t>(parsed.Firmware);
    data.ReceiveData.Firmware = fw;
    data.DeviceData.Firmware = fw;
    data.FileData.Firmware = fw;
    if (data.Loaded) data.FieldsToImage();
    panels_.SerialNo = parsed.Ident.SerialNo;
    panels_.VerLevel = FirmwareName(fw);

    const bool sameUnit = data.DeviceData.DeviceValid && data.DeviceData.Ident.Text == data.ReceiveData.Ident.Text;
    // A download into the unit whose data the PC holds may skip the device data block, but not
    // while changes made offline are missing from the unit: those may be parameters, and a
    // download reported done must leave the unit holding everything the PC shows.
    const bool unitLacksOfflineChanges =
        (sequence_ == TSequence::Download || sequence_ == TSequence::BackupDownload) && data.DeviceData.ChangedOffline;
    const int outcome = sameUnit && !unitLacksOfflineChanges ? 2 : 1;
    if (sequence_ == TSequence::BackupDownload) {
        // The backup reads everything the unit has whatever the download will write; a place
        // the firmware does not fill must not carry bytes of an earlier upload into it.
        downloadDeviceBlock_ = outcome == 1;
        backupReadFailed_ = false;
        lastBackupPath_.clear();
        data.ReceiveData.Image.fill(0xFF);
    }
    NextState(outcome);
}

// A backup goes back only into the unit it was taken of: the restore list and its question
// name the unit identified before, and another one may sit on the port by now.
bool TOnlineMode::RestoreRefused(const TIdent& connected) {
    const TUnitIdentity unit{connected.SerialNo, connected.DeviceType};
    if (!restoreUnit_ || BackupFitsUnit(*restoreUnit_, unit)) return false;
    comTimer_->Stop();
    main_.ShowMessage(MsgKind::Error, FillIn(BackupText(TBackupText::WrongUnit, main_.CurrentLanguage()),
                                             {UnitName(*restoreUnit_), UnitName(unit)}));
    comTimer_->Start();
    Status("Wrong unit");
    NextState(3);
    return true;
}

// After the backup: the whole data set (1), the maps only (2) or nothing (3). The identification
// chose the maps only when the PC holds this unit's data; the data just read show whether the
// unit still holds them, and a download reported done must leave the unit holding the PC's.
int TOnlineMode::DownloadAfterBackup() {
    if (!TakeBackup()) return 3;
    // Without the unit's data nothing shows what it holds: F8 then writes everything.
    if (downloadDeviceBlock_ || backupReadFailed_) return 1;
    const TDataSetComparison differences = CompareWithUnit(main_.Data());
    if (!DeviceDataDiffer(differences)) return 2;
    Status("Unit data differ");
    if (!OperatorAsked) return 1;
    const Language lang = main_.CurrentLanguage();
    const std::string text = FillIn(BackupText(TBackupText::UnitDiffers, lang), {FirstItemNames(differences, lang)});
    return main_.ShowMessage(MsgKind::Confirmation, text, MsgButtons::YesNo) == MsgAnswer::Yes ? 1 : 3;
}

bool TOnlineMode::TakeBackup() {
    TZVDataClass& data = main_.Data();
    if (backupReadFailed_) return GoOnWithoutBackup(BackupText(TBackupText::ReadFailed, main_.CurrentLanguage()));
    const TBackupSaved saved = main_.SaveUnitBackup(data.ReceiveData);
    if (!saved.Ok()) {
        return GoOnWithoutBackup(FillIn(BackupText(TBackupText::SaveFailed, main_.CurrentLanguage()), {saved.Error}));
    }
    lastBackupPath_ = saved.Path;
    Status("Backup saved: " + saved.Path);
    return true;
}

// Nothing has been written to the unit yet: without a backup the operator decides, or, where
// nobody is asked, the download stops.
bool TOnlineMode::GoOnWithoutBackup(const std::string& reason) {
    Status("Backup failed");
    const Language lang = main_.CurrentLanguage();
    if (!OperatorAsked) {
        main_.ShowMessage(MsgKind::Error, FillIn(BackupText(TBackupText::FailedStop, lang), {reason}));
        return false;
    }
    return main_.ShowMessage(MsgKind::Warning, FillIn(BackupText(TBackupText::FailedAsk, lang), {reason}),
                             MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool TOnlineMode::AcceptUpload() {
    TZVDataClass& data = main_.Data();
    TZVDataClass::ClearUnusedAreas(data.ReceiveData);
    if (data.ReceiveData.Firmware >= 4) data.ReceiveData.Pulse = data.PulseFromDataSet(data.ReceiveData);

    // A data set from a file, and one taken over from a unit and edited since without saving,
    // would be lost to the upload unasked.
    if ((data.Loaded || main_.Modified()) && !UnitMatchesWorkingData(data) &&
        main_.AskAcceptUpload(main_.Text(txt::DeviceDataMismatch)) != MsgAnswer::Yes) {
        data.DeviceData.Image = data.FileData.Image;
        ClearUnitPanels();
        return false;
    }
    data.DeviceData = data.ReceiveData;
    data.ImageToFields();
    // The steps taken so far were edits of a data set that is gone.
    main_.History().Clear();
    return true;
}

}  // namespace zv
