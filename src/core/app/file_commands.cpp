// The main window's file commands: New, Open, Save, Save As and the recent files.
#include <cstdio>
#include <filesystem>

#include "text/date_format.h"
#include "app/main_model.h"
#include "data/data_file_reader.h"
#include "data/default_data.h"
#include "data/firmware_table.h"
#include "data/parameter_table.h"
#include "data/text_file.h"

namespace zv {

namespace {

const TextPair kCannotOpenFile = {
    "Die Datei '%s' kann nicht geöffnet werden.",
    "The file '%s' cannot be opened.",
};

const char* const kOptions = "Options";
const char* const kRecentDir = "RecentDir";

std::string FormatWithText(const char* pattern, const std::string& value) {
    const int size = std::snprintf(nullptr, 0, pattern, value.c_str());
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    std::snprintf(out.data(), out.size() + 1, pattern, value.c_str());
    return out;
}

std::string DirectoryOf(const std::string& path) {
    const auto parent = std::filesystem::path(std::u8string(path.begin(), path.end())).parent_path().u8string();
    return std::string(parent.begin(), parent.end());
}

std::string JoinPath(const std::filesystem::path& dir, const std::string& name) {
    const auto joined = (dir / name).u8string();
    return std::string(joined.begin(), joined.end());
}

}  // namespace

bool TMainModel::AskSaveFirst() {
    if (!modified_) return false;
    if (ShowMessage(MsgKind::Warning, Text(txt::DataChangedSaveFirst), MsgButtons::YesNo) != MsgAnswer::Yes) {
        return false;
    }
    MenuSaveZVFileAsClick();
    return true;
}

void TMainModel::StoreRecentDirOf(const std::string& path) {
    recentDir_ = DirectoryOf(path);
    settings_.WriteString(kOptions, kRecentDir, recentDir_);
}

void TMainModel::NewZVFileClick() {
    AskSaveFirst();
    std::error_code ec;
    const auto dir = std::filesystem::current_path(ec);
    std::string name;
    for (int n = 0;; ++n) {
        name = JoinPath(dir, "NEW_" + std::to_string(n) + ".ZVT");
        if (!FileExists(name)) break;
    }
    CreateNewDataSet(name);
}

void TMainModel::CreateNewDataSet(const std::string& path) {
    SwitchOfflineIfOnline();
    neverSaved_ = true;
    fromSimulatedUnit_ = false;
    data_.FileName = path;
    caption_ = std::string(kProgramTitle) + ": " + path;
    ApplyDefaultFields(data_);
    uncheckedAsRead_.clear();
    data_.Comment = {FormatLongDateTime(Now(), language_) + "         " + path};
    ShowCommentOnPage();
    data_.DeviceData.Firmware = kFirmwareUnknown;
    data_.FileSerialNo.clear();
    data_.FileUnitFirmware = kFirmwareUnknown;
    data_.FieldsToImage();
    data_.Loaded = 1;
    data_.DeviceData.DeviceValid = 0;
    data_.FileImageToDevice();
    FlagsToInputSelections(data_.DeviceData.FlagsWord());
    NotifyDataSetLoaded();
    modified_ = true;
}

void TMainModel::OpenZVFileClick() {
    const bool savedAs = AskSaveFirst();
    const auto chosen = dialogs_.OpenFileDialog({Text(txt::Open), Text(txt::FileFilter), recentDir_, ""});
    if (!chosen) return;
    StoreRecentDirOf(*chosen);
    if (savedAs && *chosen == data_.FileName) return;
    OpenDataFile(*chosen);
}

void TMainModel::OpenRecentFileClick(const std::string& path) {
    AskSaveFirst();
    OpenDataFile(path);
}

bool TMainModel::OpenDataFile(const std::string& path) {
    if (!ReadFileBytes(path)) {
        ShowMessage(MsgKind::Warning, FormatWithText(kCannotOpenFile.Pick(language_), path));
        std::erase_if(recentFiles_, [&path](const std::string& entry) { return entry.find(path) != std::string::npos; });
        return false;
    }
    if (!ReadDataFile(path)) return false;
    AddRecentFile(path);
    data_.DeviceData.Firmware = kFirmwareUnknown;
    data_.FileData.Firmware = kFirmwareUnknown;
    data_.FieldsToImage();
    ShowCommentOnPage();
    data_.FileImageToDevice();
    FlagsToInputSelections(data_.DeviceData.FlagsWord());
    NotifyDataSetLoaded();
    OverlayFollowSave();
    return true;
}

bool TMainModel::ReadDataFile(const std::string& path) {
    openRewrites_ = {};
    const auto lines = ReadTextLines(path);
    if (!lines) {
        ShowMessage(MsgKind::Warning, FormatWithText(kCannotOpenFile.Pick(language_), path));
        return false;
    }
    const TLayoutCheck layout = UpgradeOldLayout(*lines);
    if (layout.Layout == FileLayout::NotADataFile) {
        ShowMessage(MsgKind::Error, Text(txt::NotAValidFile));
        return false;
    }
    const auto& current = layout.Layout == FileLayout::Oldest ? layout.UpgradedLines : *lines;

    // Read into a copy: a file that turns out not to be complete leaves the data set as it was.
    TZVDataClass read = data_;
    const TDataFileRead result = ReadDataFileLines(current, read, {language_, path, Now()});
    if (!result.Complete) {
        ShowMessage(MsgKind::Error, result.FailureText);
        return false;
    }
    openRewrites_ = {layout.Layout == FileLayout::Oldest, result.Upgrade};
    if (openRewrites_.OldestLayout && !readOnlyOpen_)
        UpgradeRewriteOldestLayout(path, current);

    SwitchOfflineIfOnline();
    data_ = std::move(read);
    data_.FileName = path;
    modified_ = false;
    neverSaved_ = false;
    fromSimulatedUnit_ = false;
    caption_ = std::string(kProgramTitle) + ": " + path;
    fileFirmware_ = result.FileFirmware;
    RememberUncheckedValues();
    firmwarePanel_ = FirmwareName(result.FileFirmware);
    ++filesCounter_;
    for (const auto& message : result.Messages) ShowMessage(message.Kind, message.Text);
    if (result.MarkModified) modified_ = true;
    data_.Loaded = 1;
    data_.DeviceData.DeviceValid = 0;

    if (result.Upgrade) {
        data_.DeviceData.Firmware = kFirmwareUnknown;
        data_.FileData.Firmware = kFirmwareUnknown;
        data_.FieldsToImage();
        data_.FileImageToDevice();
        ShowCommentOnPage();
        if (!readOnlyOpen_) {
            SaveDataFile();
        } else {
            TakeWorkingDataForSave();
            modified_ = false;
        }
    }
    return true;
}

void TMainModel::UpgradeRewriteOldestLayout(const std::string& path, const std::vector<std::string>& lines) {
    const std::string error = WriteTextLines(path, lines);
    if (!error.empty()) {
        ShowMessage(MsgKind::Error, error);
        return;
    }
    // The operator is told only after a pause, so that the rewritten file has settled on disk.
    for (int second = 0; second < 5; ++second) dialogs_.Wait(1000);
    ShowMessage(MsgKind::Warning, Text(txt::OldFileVersionUpdated));
}

void TMainModel::ZVFileSaveClick() {
    if (neverSaved_) {
        MenuSaveZVFileAsClick();
    } else {
        SaveDataFile();
    }
}

void TMainModel::MenuSaveZVFileAsClick() {
    const auto chosen =
        dialogs_.SaveFileDialog({Text(txt::SaveAsTitle), Text(txt::FileFilter), recentDir_, data_.FileName});
    if (!chosen) return;
    StoreRecentDirOf(*chosen);
    std::string name = *chosen;
    if (name.find(".zvt") == std::string::npos) name += ".zvt";
    if (FileExists(name) &&
        ShowMessage(MsgKind::Warning, FormatWithText(Text(txt::FileExistsOverwrite), name), MsgButtons::YesNoCancel) !=
            MsgAnswer::Yes) {
        return;
    }
    data_.FileName = name;
    caption_ = name;
    // Under a name of its own the data set is the tuner's, wherever it came from.
    if (SaveDataFile())
        fromSimulatedUnit_ = false;
}

// The comment page's lines and the working image become the edit fields that a save writes.
void TMainModel::TakeWorkingData(TZVDataClass& set) const {
    if (commentPage_)
        set.Comment = commentPage_->CommentLines();
    set.ImageToFields();
    KeepUncheckedValues(set);
}

void TMainModel::TakeWorkingDataForSave() {
    TakeWorkingData(data_);
    if (commentPage_)
        commentPage_->ShowComment(data_.Comment);
}

TZVDataClass TMainModel::WorkingDataSet() const {
    TZVDataClass set = data_;
    TakeWorkingData(set);
    return set;
}

bool TMainModel::SaveDataFile() {
    TakeWorkingDataForSave();
    std::vector<std::string> lines;
    data_.SaveToStrings(lines);
    const std::string error = WriteTextLines(data_.FileName, lines);
    if (!error.empty()) {
        ShowMessage(MsgKind::Error, error);
        modified_ = true;
        return false;
    }
    modified_ = false;
    if (neverSaved_) {
        recentFiles_.insert(recentFiles_.begin(), data_.FileName);
        neverSaved_ = false;
        ++filesCounter_;
    }
    OverlayFollowSave();
    return true;
}

void TMainModel::RememberUncheckedValues() {
    uncheckedAsRead_.clear();
    for (int i = 0; i < kParameterCount; ++i) {
        if (fileFirmware_ < Parameter(i).MinFirmware) {
            uncheckedAsRead_.emplace_back(i, data_.Detail[static_cast<std::size_t>(i)]);
        }
    }
}

// A parameter that the file's firmware does not check goes back into the file exactly as it was
// read, unless an editor changed what the image holds for it since, or the working data have
// been taken over from a unit.
void TMainModel::KeepUncheckedValues(TZVDataClass& set) const {
    if (set.DeviceData.DeviceValid)
        return;
    for (const auto& [index, value] : uncheckedAsRead_) {
        std::int32_t& current = set.Detail[static_cast<std::size_t>(index)];
        if (current == ParameterValueViaImage(index, value))
            current = value;
    }
}

}  // namespace zv
