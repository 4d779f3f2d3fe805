// Keeping the unit and the PC's data set in step: the PC's differences written after the
// operator chose so, the changed-offline mark after a download from what the unit was read to
// hold, and the box that says what a download cut off left in the unit.
#include <algorithm>
#include <cstdio>

#include "backup/backup_text.h"
#include "online/online_mode.h"
#include "online/unit_differences.h"

namespace zv {

namespace {

const TextPair kCutDownload = {
    "Der Download wurde abgebrochen, bevor er vollständig war. Das Gerät enthält jetzt:\r\n%1\r\n"
    "%2\r\nF8 schreibt den ganzen Datensatz erneut; Datei › Sicherung wiederherstellen stellt den "
    "vorigen Stand wieder her.",
    "The download stopped before it was complete. The unit now holds:\r\n%1\r\n%2\r\n"
    "F8 writes the whole data set again; File › Restore backup puts back what was there.",
};
const TextPair kBackupHolds = {"Die Sicherung %1 enthält die Daten des Geräts von vor dem Download.",
                               "The backup %1 holds the unit's data from before the download."};
const TextPair kNoBackup = {"Von den Daten des Geräts vor dem Download gibt es keine Sicherung.",
                            "There is no backup of the unit's data from before the download."};

struct TUnitPart {
    TextPair Name;
    std::size_t Offset;
    int MinFirmware;  // the download writes it from this firmware on
};

const TUnitPart kParts[] = {
    {{"Gerätedaten", "device data"}, 0, 0},
    {{"Kennfeld", "fuel map"}, img::FuelMap, 0},
    {{"AFR-Kennfeld", "AFR map"}, img::AfrMap, 27},
};

// "- fuel map: partly the PC's, partly its own (114 of 256 bytes read back as the PC's)"
std::string PartLine(const TUnitPart& part, const TUnitContents& unit, const ImageBytes& work,
                     Language lang) {
    constexpr std::size_t kPart = 256;
    std::size_t same = 0, unknown = 0;
    for (std::size_t i = part.Offset; i < part.Offset + kPart; ++i) {
        same += unit.Holds(i, work[i]) ? 1 : 0;
        unknown += unit.Knows(i) ? 0 : 1;
    }
    const bool german = lang == Language::German;
    std::string state;
    if (same == kPart) {
        state = german ? "die des PCs" : "the PC's";
    } else if (same == 0 && unknown == 0) {
        state = german ? "seine eigenen wie zuvor" : "its own as before";
    } else {
        char text[128];
        std::snprintf(text, sizeof text,
                      german ? "teils die des PCs, teils seine eigenen (%zu von %zu Bytes als die "
                               "des PCs zurückgelesen)"
                             : "partly the PC's, partly its own (%zu of %zu bytes read back as "
                               "the PC's)",
                      same, kPart);
        state = text;
    }
    return std::string("- ") + part.Name.Pick(lang) + ": " + state;
}

}  // namespace

void TOnlineMode::WriteDifferences() {
    if (differencesToWrite_.empty() || differencesQueued_)
        return;
    const TZVDataClass& data = main_.Data();
    const int firmware = data.DeviceData.Firmware;
    QueueBatch(*link_, DifferencesBatch(differencesToWrite_, firmware).Plan(firmware),
               data.DeviceData.Image);
    differencesQueued_ = true;
}

// Once the writes are out, the mark follows what the unit was read to hold: a write that failed
// leaves it set, so that the next connection offers the differences again.
void TOnlineMode::SettleWrittenDifferences() {
    if (!differencesQueued_ || link_->QueuedWrites() > 0)
        return;
    TZVDataClass& data = main_.Data();
    const TUnitContents& unit = link_->UnitContents();
    const bool all = std::all_of(differencesToWrite_.begin(), differencesToWrite_.end(),
                                 [&](std::size_t offset) {
                                     return unit.Holds(offset, data.DeviceData.Image[offset]);
                                 });
    if (all)
        data.DeviceData.ChangedOffline = 0;
    differencesToWrite_.clear();
    differencesQueued_ = false;
}

// A byte the unit was read to hold otherwise means the unit lacks the PC's value; a byte never
// read says nothing, unless the PC had changes the unit lacked before the download began.
bool TOnlineMode::UnitLacksWorkingData(bool lackedBefore) const {
    const TZVDataClass& data = main_.Data();
    const TUnitContents& unit = link_->UnitContents();
    const ImageBytes& work = data.DeviceData.Image;
    const int firmware = data.DeviceData.Firmware;
    if (!UnitDifferences(unit.Overlaid(work), work, firmware).empty())
        return true;
    if (!lackedBefore)
        return false;
    for (std::size_t offset = 0; offset < kImageSize; ++offset) {
        if (UnitKeeps(offset, firmware) && !unit.Knows(offset))
            return true;
    }
    return false;
}

std::optional<std::string> TOnlineMode::WriteUnderWay() const {
    if (linkState_ >= link::DeviceDataDownload && linkState_ <= link::FotoCurveDownload)
        return panels_.ComState;
    if (linkState_ == link::RunOnline && link_->QueuedWrites() > 0)
        return panels_.ComState;
    return std::nullopt;
}

std::string TOnlineMode::UnitPartsReport(Language lang) const {
    const TZVDataClass& data = main_.Data();
    const TUnitContents& unit = link_->UnitContents();
    std::string parts;
    for (const TUnitPart& part : kParts) {
        if (data.DeviceData.Firmware < part.MinFirmware)
            continue;
        parts += (parts.empty() ? "" : "\r\n") + PartLine(part, unit, data.DeviceData.Image, lang);
    }
    return parts;
}

void TOnlineMode::ReportCutDownload() {
    TZVDataClass& data = main_.Data();
    const Language lang = main_.CurrentLanguage();
    const std::string parts = UnitPartsReport(lang);
    const std::string backup = lastBackupPath_.empty()
                                   ? std::string(kNoBackup.Pick(lang))
                                   : FillIn(kBackupHolds.Pick(lang), {lastBackupPath_});
    data.DeviceData.ChangedOffline = 1;
    comTimer_->Stop();
    main_.ShowMessage(MsgKind::Error, FillIn(kCutDownload.Pick(lang), {parts, backup}));
    comTimer_->Start();
}

}  // namespace zv
