#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "text/text_table.h"
#include "cells/cell_selection.h"
#include "compare/comparison_view.h"
#include "compare/difference_overlay.h"
#include "data/zv_data_class.h"
#include "history/edit_history.h"
#include "link/adapter_latency.h"
#include "link/write_batch.h"
#include "seams/dialogs.h"
#include "online/online_host.h"
#include "seams/settings_store.h"

namespace zv {

class SerialPort;
class TimerService;
class TOnlineMode;
struct TTuneResult;

// What the comment page offers the main model: it shows the data set's comment lines and
// hands back what the operator typed.
class CommentPage {
public:
    virtual ~CommentPage() = default;
    virtual void ShowComment(const std::vector<std::string>& lines) = 0;  // counts as unchanged
    virtual std::vector<std::string> CommentLines() const = 0;
};

// Rewrites of a file that opening it makes at once in the program.
struct TOpenRewrites {
    bool OldestLayout = false;  // the oldest layout, rewritten in the newer one before reading
    bool Upgrade = false;       // older key names or missing entries: saved at once after reading
    bool Any() const { return OldestLayout || Upgrade; }
};

// The non-visual half of the main window: owns the one data set and carries out the file
// commands with their questions and messages. Windows call these operations and paint the state.
class TMainModel : public TOnlineHost {
public:
    TMainModel(Dialogs& dialogs, SettingsStore& settings);
    ~TMainModel() override;
    TMainModel(const TMainModel&) = delete;
    TMainModel& operator=(const TMainModel&) = delete;

    // Creates the link and its online mode on a port; the model owns them from then on.
    TOnlineMode& ConnectLink(TimerService& timers, SerialPort& port);
    TOnlineMode* Online() { return online_.get(); }
    const TOnlineMode* Online() const { return online_.get(); }

    TZVDataClass& Data() override { return data_; }
    const TZVDataClass& Data() const { return data_; }

    // The program's settings, for the windows that keep choices of their own.
    SettingsStore& Store() { return settings_; }

    Language CurrentLanguage() const override { return language_; }
    void SetLanguage(Language lang) { language_ = lang; }
    const char* Text(int k) const override { return zv::Text(k, language_); }

    // File commands of the main window.
    void NewZVFileClick();
    void OpenZVFileClick();
    void OpenRecentFileClick(const std::string& path);
    void ZVFileSaveClick();
    void MenuSaveZVFileAsClick();

    // The operations behind them.
    // True when the file was read and is now the current data set.
    bool OpenDataFile(const std::string& path) override;
    bool ReadDataFile(const std::string& path);
    bool SaveDataFile();
    void CreateNewDataSet(const std::string& path);
    void AddRecentFile(const std::string& path);

    // Backups. The data folder holds the backups folder; the unit is the one the link
    // identified last.
    void SetDataFolder(const std::string& folder) { dataFolder_ = folder; }
    const std::string& DataFolder() const { return dataFolder_; }
    TBackupSaved SaveUnitBackup(const TZVDataSet& unit) override;
    // File > Restore backup: possible whenever a download is; the operator picks one of the
    // unit's backups, which is opened and downloaded (with a backup of what it replaces).
    bool RestoreBackupEnabled() const;
    void RestoreBackupClick();
    // Looking at files (the command-line tool's dump and diff): an open reads without writing
    // the file; the rewrites it would have made are still reported by LastOpenRewrites and
    // the data set is what the program holds after them.
    void SetReadOnlyOpen(bool readOnly) { readOnlyOpen_ = readOnly; }
    const TOpenRewrites& LastOpenRewrites() const { return openRewrites_; }

    // Comparison of the working data set with another one; nothing in the data set changes.
    // File > Compare with file: asks for the file and shows the comparison.
    void CompareWithFileClick();
    // File > Compare with unit: the working data set against the unit as last read.
    void CompareWithUnitClick();
    // The working data set as it stands, as a save would write it: the comment page's lines
    // (typed and not yet saved) and the edit fields of the working image.
    TZVDataClass WorkingDataSet() const;
    // Reads a data file into a data set of its own, leaving the current one as it is; the
    // boxes a bad file gives are shown. Nothing when the file could not be read.
    std::optional<TZVDataClass> ReadDataSetToCompare(const std::string& path);
    MsgAnswer AskAcceptUpload(const std::string& text, MsgButtons buttons = MsgButtons::YesNo) override;
    // Shows a comparison (set by the window; where it is not set, nothing is offered).
    std::function<void(const TComparisonView&)> ShowComparison;

    // The tint of the map pages by how far cells moved from a reference. Its reference: the
    // current file as last saved, a file the operator picks, or any data file by path (a
    // backup of the unit, for example). False when the file could not be read.
    const TDifferenceOverlay& Overlay() const { return overlay_; }
    bool OverlayFromLastSaved();
    bool OverlayFromFile();
    // The newest backup of the unit the link identified last; a message when there is none.
    bool OverlayFromLatestBackup();
    // What the link last read from the unit (the upload going online, every write read back),
    // with what it never read taken as the PC holds it: what differs from the unit right now.
    bool OverlayFromUnit();
    bool CanCompareWithUnit() const;
    bool OverlayFromPath(const std::string& path);
    void OverlayFollowSave();
    // Which of the menu's references the tint has now (a path given directly counts as a file).
    TOverlaySource OverlaySource() const { return overlaySource_; }
    // Switches the tint; switched on without a reference it takes the file as last saved.
    void SetOverlayShown(bool shown);
    bool CanOverlayLastSaved() const { return !neverSaved_ && !data_.FileName.empty(); }
    std::function<void()> OverlayChanged;

    // The one edit step of the data set: stores, marks, queues or marks as changed offline,
    // and records the write in the history (edit_step.cpp).
    bool WriteImage(const TImageWrite& write, std::span<const std::uint8_t> bytes) override;
    TEditHistory& History() override { return history_; }
    const TEditHistory& History() const { return history_; }
    // Takes the last step back, or makes the step last taken back again, through the same
    // store-and-send path; false when there is none.
    bool Undo();
    bool Redo();
    // Autotune's changed cells (those in the block when one is given) into the fuel map as one
    // undo step through the same edit step; gives the number of cells changed.
    int ApplyAutotune(const TTuneResult& result, const std::optional<TCellRect>& block = std::nullopt);
    // The online mode is in its run-online state: edits go to the unit at once.
    bool RunOnline() const;

    // Input functions of the analogue inputs E and F from and into a flags word.
    void FlagsToInputSelections(std::uint16_t flags) override;
    bool InputSelectionsToFlags(std::uint16_t& flags);

    // Shows a box with the caption of its kind in the current language.
    MsgAnswer ShowMessage(MsgKind kind, const std::string& text,
                          MsgButtons buttons = MsgButtons::Ok) override;

    // A confirmation with a box to tick under it.
    MsgAnswer AskRemembering(const std::string& text, const std::string& rememberText, bool& remember);

    // State the main window shows.
    bool Modified() const override { return modified_; }
    void SetModified(bool modified) override { modified_ = modified; }
    bool NeverSaved() const { return neverSaved_; }
    // A data set taken over from the unit without a file has never been saved.
    void SetNeverSaved(bool neverSaved) override { neverSaved_ = neverSaved; }
    const std::string& Caption() const { return caption_; }
    void SetFromSimulatedUnit(bool fromSimulatedUnit) override { fromSimulatedUnit_ = fromSimulatedUnit; }
    bool FromSimulatedUnit() const { return fromSimulatedUnit_; }
    const std::string& FirmwarePanel() const { return firmwarePanel_; }
    int FileFirmware() const { return fileFirmware_; }
    const std::vector<std::string>& RecentFiles() const { return recentFiles_; }
    void SetRecentFiles(std::vector<std::string> files) { recentFiles_ = std::move(files); }
    const std::string& RecentDir() const { return recentDir_; }
    void SetRecentDir(const std::string& dir) { recentDir_ = dir; }
    int FilesReadOrFirstSaved() const { return filesCounter_; }
    // The serial port the operator picked, kept for the next start; the simulated unit in a
    // setting of its own, so that Com/Port keeps meaning a serial port (0 none).
    void StorePortChoice(int port) override;

    // A serial port was opened through a USB-serial adapter with this latency timer: a slow one
    // is pointed out once per port and run, with what it costs and how to lower it.
    void AdapterLatencyFound(int comPort, int latencyMs);

    // Wiring to the rest of the program.
    void SetCommentPage(CommentPage* page) { commentPage_ = page; }
    void SwitchOfflineIfOnline();
    // Called after a data set was opened or created, so that pages and controls refresh.
    std::function<void()> DataSetLoaded;
    // The wall clock for date stamps; tests set a fixed time.
    std::function<std::time_t()> Now = [] { return std::time(nullptr); };

private:
    void SetOverlaySource(TOverlaySource source);
    std::optional<TZVDataClass> UnitAsLastRead() const;
    void ShowCommentOnPage();
    // The backups of the unit the link identified last, newest first; none (with a message
    // saying why) when no unit is known or it has none.
    std::vector<TBackupEntry> BackupsOfUnit();
    void NotifyDataSetLoaded();
    void StoreRecentDirOf(const std::string& path);
    bool AskSaveFirst();  // the "save first?" question; true when Save As ran
    void UpgradeRewriteOldestLayout(const std::string& path, const std::vector<std::string>& lines);
    void RememberUncheckedValues();
    void KeepUncheckedValues(TZVDataClass& set) const;
    void TakeWorkingData(TZVDataClass& set) const;
    void TakeWorkingDataForSave();
    void StoreAndSend(const TImageWrite& write, std::span<const std::uint8_t> bytes);
    // The unit's bytes an operation changed go out together once it has made them all.
    void SendBatch();
    void Restore(const TRecordedWrite& write, THistoryEvent event);
    void FollowRestoredImage();

    Dialogs& dialogs_;
    SettingsStore& settings_;
    TZVDataClass data_;
    TEditHistory history_;
    // What the operation under way changed in the unit's bytes, not yet queued; while undoing
    // or redoing, the step's writes gather here too.
    TWriteBatch sendBatch_;
    bool sendBatchPause_ = false;
    int restoring_ = 0;
    Language language_ = Language::English;
    bool modified_ = false;
    bool neverSaved_ = false;
    bool fromSimulatedUnit_ = false;
    std::string caption_ = kProgramTitle;
    std::string firmwarePanel_;
    int fileFirmware_ = 40;
    // Parameters that the opened file's firmware does not check, with their values as read
    // (Detail index, value). Their values may not fit the image (the -9999 of a missing one, a
    // flag of 7), so they are written back from here.
    std::vector<std::pair<int, std::int32_t>> uncheckedAsRead_;
    bool readOnlyOpen_ = false;
    TOpenRewrites openRewrites_;
    TAdapterLatencyNotes latencyNotes_;
    std::vector<std::string> recentFiles_;
    std::string recentDir_;
    std::string dataFolder_;
    int filesCounter_ = 0;
    CommentPage* commentPage_ = nullptr;
    std::unique_ptr<TOnlineMode> online_;
    TDifferenceOverlay overlay_;
    // With the file as last saved, the tint's reference follows each save and each opened file.
    TOverlaySource overlaySource_ = TOverlaySource::None;
};

}  // namespace zv
