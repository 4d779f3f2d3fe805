// The online mode's decisions about the unit's data: who the unit is, whether its uploaded
// data set replaces the one in the PC, and the backup kept of it before a download.
#include <algorithm>

#include "backup/backup_text.h"
#include "compare/data_set_comparison.h"
#include "data/firmware_table.h"
#include "link/unit_ident.h"
#include "online/online_mode.h"
#include "online/unit_differences.h"

namespace zv {

namespace {

const TextPair kUnitDiffersChoice = {
    "Die Daten im Gerät unterscheiden sich von denen im PC (Änderungen, die das Gerät nicht "
    "erreicht haben, oder Änderungen am Gerät).\r\n"
    "Ja: die Unterschiede des PCs in das Gerät schreiben.\r\n"
    "Nein: die Daten des Geräts übernehmen (die Änderungen im PC gehen verloren).\r\n"
    "Abbrechen: offline bleiben, nichts ändern.",
    "The unit's data differ from the PC's (changes that did not reach the unit, or changes made "
    "to the unit).\r\n"
    "Yes: write the PC's differences into the unit.\r\n"
    "No: take the unit's data (the PC's changes are lost).\r\n"
    "Cancel: stay offline and change nothing.",
};

// A data set taken over from a unit has no file's edit fields to encode from: its Pulse word
// goes into the encoding of the unit now identified with the value it had, in the working image
// and in the one a refused upload returns to, so that a download or a save never reads it with
// the wrong firmware.
void RecodePulseWords(TZVDataClass& data, int from, int to) {
    for (ImageBytes* image : {&data.DeviceData.Image, &data.FileData.Image}) {
        const auto word = static_cast<std::uint16_t>((*image)[img::PulseWord] | (*image)[img::PulseWord + 1] << 8);
        const auto bytes = WordBytes(RecodePulse(word, from, to));
        std::copy(bytes.begin(), bytes.end(), image->begin() + img::PulseWord);
    }
}

// The values the operator sees and the edit history's steps were made on.
struct TShownValues {
    ByteGrid Map;
    ByteGrid AfrMap;
    decltype(TZVDataClass::Detail) Detail;
    decltype(TZVDataClass::Lin) Lin;
    bool operator==(const TShownValues&) const = default;
};

TShownValues ShownValues(const TZVDataClass& data) {
    return {data.Map, data.AfrMap, data.Detail, data.Lin};
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

    // What the link knew of the unit's memory belongs to the unit that answered before.
    TUnitContents& contents = link_->UnitContents();
    if (contents.IdentText() != data.ReceiveData.Ident.Text) contents.Forget(data.ReceiveData.Ident.Text);

    Status("Upload ID success");
    const auto fw = static_cast<std::uint8_t>(parsed.Firmware);
    const int held = data.DeviceData.Firmware;
    data.ReceiveData.Firmware = fw;
    data.DeviceData.Firmware = fw;
    data.FileData.Firmware = fw;
    if (data.Loaded) {
        data.FieldsToImage();
    } else if (data.DeviceData.DeviceValid) {
        RecodePulseWords(data, held, fw);
    }
    panels_.SerialNo = parsed.Ident.SerialNo;
    panels_.VerLevel = FirmwareName(fw);

    const bool sameUnit = data.DeviceData.DeviceValid && data.DeviceData.Ident.Text == data.ReceiveData.Ident.Text;
    // A download into the unit whose data the PC holds may skip the device data block, but not
    // while changes made offline are missing from the unit: those may be parameters, and a
    // download reported done must leave the unit holding everything the PC shows.
    const bool unitLacksOfflineChanges =
        (sequence_ == TSequence::Download || sequence_ == TSequence::BackupDownload) && data.DeviceData.ChangedOffline;
    // Going online, the unit's data are read even when the PC holds this unit's: they may have
    // changed elsewhere since, or the PC's since they were last read, and nothing may be shown
    // as the unit's that it does not hold.
    sameUnit_ = sameUnit;
    const bool readAnyway = sequence_ == TSequence::Main;
    const int outcome = sameUnit && !unitLacksOfflineChanges && !readAnyway ? 2 : 1;
    changedBeforeDownload_ = data.DeviceData.ChangedOffline != 0;
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
    const std::vector<std::size_t> differences = UnitDifferences(data);
    if (sequence_ == TSequence::Main && sameUnit_) return AcceptFromSameUnit(differences);

    // A data set from a file, and one taken over from a unit and edited since without saving,
    // would be lost to the upload unasked.
    if ((data.Loaded || main_.Modified()) && !differences.empty() &&
        main_.AskAcceptUpload(main_.Text(txt::DeviceDataMismatch)) != MsgAnswer::Yes) {
        data.DeviceData.Image = data.FileData.Image;
        ClearUnitPanels();
        return false;
    }
    TakeUploadedData();
    return true;
}

void TOnlineMode::TakeUploadedData() {
    TZVDataClass& data = main_.Data();
    const TShownValues shown = ShownValues(data);
    data.DeviceData = data.ReceiveData;
    data.ImageToFields();
    // The steps taken so far were edits of a data set that is gone, unless the unit held every
    // value the PC shows (the data downloaded before, read back): they still undo to what they
    // were, whatever encoding the unit's image has.
    if (ShownValues(data) != shown) main_.History().Clear();
}

// The unit the PC's data were taken from or written into: where it holds every value the PC
// shows, the PC's data set stays as it is, history and all. Where it does not (edits made while
// it was offline or connecting, a download cut off, changes made to it elsewhere), the operator
// chooses: write the PC's differences into it, take its data set, or stay offline.
bool TOnlineMode::AcceptFromSameUnit(const std::vector<std::size_t>& differences) {
    TZVDataClass& data = main_.Data();
    if (differences.empty()) {
        data.DeviceData.ChangedOffline = 0;
        return true;
    }
    Status("Unit data differ");
    switch (main_.AskAcceptUpload(kUnitDiffersChoice.Pick(main_.CurrentLanguage()), MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            differencesToWrite_ = differences;
            differencesQueued_ = false;
            data.DeviceData.ChangedOffline = 1;
            return true;
        case MsgAnswer::No:
            TakeUploadedData();
            data.DeviceData.ChangedOffline = 0;
            return true;
        default:
            data.DeviceData.ChangedOffline = 1;
            ClearUnitPanels();
            return false;
    }
}

}  // namespace zv
