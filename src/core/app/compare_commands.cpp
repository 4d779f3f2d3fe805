// The comparison commands: File > Compare with file, the look before an upload replaces the
// working data, and the reference of the map pages' tint.
#include <filesystem>

#include "app/main_model.h"
#include "compare/data_set_comparison.h"
#include "online/online_mode.h"

namespace zv {

namespace {

const TextPair kShowDifferences = {"Unterschiede zeigen…", "Show differences…"};
const TextPair kUnitAsLastRead = {"Gerät (zuletzt gelesen)", "Unit (as last read)"};
const TextPair kNothingReadYet = {"Vom Gerät wurde noch nichts gelesen: erst online gehen (F5).",
                                  "Nothing has been read from the unit yet: go online first (F5)."};

std::string FileNameOf(const std::string& path) {
    const auto name =
        std::filesystem::path(std::u8string(path.begin(), path.end())).filename().u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace

std::optional<TZVDataClass> TMainModel::ReadDataSetToCompare(const std::string& path) {
    // A model of its own reads the file exactly as Open does, without touching this one, its
    // settings or the file.
    MemorySettingsStore settings;
    TMainModel reader(dialogs_, settings);
    reader.SetLanguage(language_);
    reader.SetReadOnlyOpen(true);
    reader.Now = Now;
    if (!reader.OpenDataFile(path))
        return std::nullopt;
    return std::move(reader.data_);
}

void TMainModel::CompareWithFileClick() {
    const auto chosen =
        dialogs_.OpenFileDialog({Text(txt::Open), Text(txt::FileFilter), recentDir_, ""});
    if (!chosen || !ShowComparison)
        return;
    const auto other = ReadDataSetToCompare(*chosen);
    if (!other)
        return;
    ShowComparison(BuildComparisonView(WorkingDataSet(), *other, WorkingDataName().Pick(language_),
                                       FileNameOf(*chosen), language_));
}

MsgAnswer TMainModel::AskAcceptUpload(const std::string& text, MsgButtons buttons) {
    if (!ShowComparison)
        return ShowMessage(MsgKind::Warning, text, buttons);
    const auto show = [this] {
        ShowComparison(BuildComparisonView(data_, UploadedDataSet(data_),
                                           WorkingDataName().Pick(language_),
                                           UnitDataName().Pick(language_), language_));
    };
    return dialogs_.MessageBoxWithMore(MsgKind::Warning, Text(txt::CaptionWarning), text,
                                       buttons, kShowDifferences.Pick(language_), show);
}

bool TMainModel::OverlayFromPath(const std::string& path) {
    const auto reference = ReadDataSetToCompare(path);
    if (!reference)
        return false;
    overlay_.SetReference(*reference, FileNameOf(path));
    overlaySource_ = TOverlaySource::OtherFile;
    if (OverlayChanged)
        OverlayChanged();
    return true;
}

bool TMainModel::OverlayFromLastSaved() {
    if (!CanOverlayLastSaved() || !OverlayFromPath(data_.FileName))
        return false;
    SetOverlaySource(TOverlaySource::LastSaved);
    return true;
}

void TMainModel::OverlayFollowSave() {
    if (overlaySource_ == TOverlaySource::LastSaved && CanOverlayLastSaved() &&
        OverlayFromPath(data_.FileName))
        SetOverlaySource(TOverlaySource::LastSaved);
}

bool TMainModel::OverlayFromFile() {
    const auto chosen =
        dialogs_.OpenFileDialog({Text(txt::Open), Text(txt::FileFilter), recentDir_, ""});
    return chosen && OverlayFromPath(*chosen);
}

// The unit as the link last read it, as a data set of its own.
std::optional<TZVDataClass> TMainModel::UnitAsLastRead() const {
    if (!online_ || !online_->Link().UnitContents().KnowsAny())
        return std::nullopt;
    TZVDataClass unit = data_;
    unit.DeviceData.Image = online_->Link().UnitContents().Overlaid(data_.DeviceData.Image);
    unit.ImageToFields();
    return unit;
}

bool TMainModel::CanCompareWithUnit() const {
    return online_ && online_->Link().UnitContents().KnowsAny();
}

bool TMainModel::OverlayFromUnit() {
    const auto unit = UnitAsLastRead();
    if (!unit) {
        ShowMessage(MsgKind::Information, kNothingReadYet.Pick(language_));
        return false;
    }
    overlay_.SetReference(*unit, kUnitAsLastRead.Pick(language_));
    SetOverlaySource(TOverlaySource::UnitNow);
    return true;
}

void TMainModel::CompareWithUnitClick() {
    const auto unit = UnitAsLastRead();
    if (!unit) {
        ShowMessage(MsgKind::Information, kNothingReadYet.Pick(language_));
        return;
    }
    if (ShowComparison)
        ShowComparison(BuildComparisonView(WorkingDataSet(), *unit, WorkingDataName().Pick(language_),
                                           kUnitAsLastRead.Pick(language_), language_));
}

bool TMainModel::OverlayFromLatestBackup() {
    const std::vector<TBackupEntry> backups = BackupsOfUnit();
    if (backups.empty() || !OverlayFromPath(backups.front().Path))
        return false;
    SetOverlaySource(TOverlaySource::LatestBackup);
    return true;
}

// Said after the reference is read, so that the window's menu ticks the right entry.
void TMainModel::SetOverlaySource(TOverlaySource source) {
    overlaySource_ = source;
    if (OverlayChanged)
        OverlayChanged();
}

void TMainModel::SetOverlayShown(bool shown) {
    if (shown && !overlay_.HasReference() && !OverlayFromLastSaved())
        shown = false;
    overlay_.SetShown(shown);
    if (OverlayChanged)
        OverlayChanged();
}

}  // namespace zv
