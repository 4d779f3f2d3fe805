#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dashboard/dashboard.h"
#include "link/global_class.h"
#include "link/tcomx.h"
#include "link/transfer_table.h"
#include "online/main_controls.h"
#include "online/online_host.h"
#include "online/sequences.h"
#include "seams/serial_port.h"
#include "seams/timer_service.h"

namespace zv {

// Key codes the main window handles itself.
namespace key {
enum : int { Esc = 27, F5 = 116, F7 = 118, F8 = 119, F9 = 120, F10 = 121, F11 = 122 };
}

// The main window's link state machine: every sequence from connecting to running online,
// the transfers, the status texts and boxes, and the controls each state allows. Stepped by
// ComTimer; it starts the link's jobs and reads their results.
class TOnlineMode {
public:
    TOnlineMode(TOnlineHost& main, TimerService& timers, SerialPort& port);
    ~TOnlineMode();
    TOnlineMode(const TOnlineMode&) = delete;
    TOnlineMode& operator=(const TOnlineMode&) = delete;

    TComX& Link() { return *link_; }
    const TComX& Link() const { return *link_; }

    // Data on their way into the unit: a download, or edits still queued while running
    // online. Nothing when closing now would leave the unit as it is.
    std::optional<std::string> WriteUnderWay() const;
    // What each part of the unit holds against the PC's data set, one line each ("- fuel map:
    // the PC's"), as far as the unit was read.
    std::string UnitPartsReport(Language lang) const;

    // Start of the program: the main sequence from its connect state, or offline when a file
    // waits to be opened or no port is chosen (port 0 is no port).
    void StartUp();
    void StartSequence(TSequence sequence, std::uint8_t state);
    void NextState(int outcome);
    void ComConditionControlTimer();
    bool LinkBusy() const;
    void UpdateLinkControls();
    // The controls that follow the working data set (after it was opened, created or taken over).
    void RefreshControls();

    // Operating keys; the toggle keys flip their button first, as a click on it would.
    void DispatchKey(int keyCode);
    void OffOnlineButtonClick();
    void UpLoadButtonClick();
    void DownLoadButtonClick();
    // F8 with a backup as the data set: it goes only into the unit the backup belongs to.
    void RestoreDownload(const TUnitIdentity& unit);
    void IdleActiveButtonClick();
    void NBLambdaActiveButtonClick();
    void WBO2LambdaActiveButtonClick();
    void LoggerButtonClick();
    // The Logger menu item: while logging is armed it asks before quitting; otherwise it acts
    // as the Logger button.
    void MenuLoggerClick();
    // The logger refused its file: the button pops up and the menu item is unchecked.
    void ReleaseLogger();

    // Port menu. The stored port is used from the next connect; while connecting or online
    // a different port is connected to at once.
    void RebuildPortMenu();
    void CheckPortMenu();
    void MComClick(const std::string& caption);

    // State shown by the main window.
    std::uint8_t LinkState() const { return linkState_; }
    bool StepStarted() const { return stepStarted_; }
    TSequence ActiveSequence() const { return sequence_; }
    const TMainControls& Controls() const { return controls_; }
    const TLinkPanels& Panels() const { return panels_; }
    const TGaugeState& Gauge() const { return gauge_; }
    const TPortMenu& PortMenu() const { return portMenu_; }
    const TDashboardState& Dashboard() const { return dashboard_.State(); }
    // A log replayed offline stands in for the unit's records: the dashboard shows each in the
    // layout it was rebuilt in, and rests again when the replay stops. Online the unit's own
    // records have the dashboard and a replayed one is ignored.
    void ShowReplayedRecord(const TLiveRecord& record);
    void EndReplay();
    // Main-window settings the dashboard readouts follow.
    int WBODebounceLevel = 5;
    bool WBO2DispAfrMaster = false;
    int TopStripeSplit() const { return stripeSplit_; }
    void SetTopStripeWidth(int width) { stripeWidth_ = width; }
    const Timer& ComTimer() const { return *comTimer_; }

    // The short pause after a single value was sent to the unit: while it runs, editors ignore
    // further steps of that value (key repeats would otherwise flood the stream).
    void StartPauseTimer() { pauseTimer_->Start(); }
    bool PauseTimerActive() const { return pauseTimer_->Active(); }
    const Timer& ComGaugeTimer() const { return *comGaugeTimer_; }

    // F8 first reads the unit's data and saves them as a backup; a backup that fails stops
    // the download, unless the operator is asked and chooses to go on. The program and the
    // tool set it from their settings and options.
    bool BackupBeforeDownload = false;
    // Whether an operator is there to answer. Without one, a backup that fails stops the
    // download, and a unit whose sites, curves or parameters differ from the PC's gets the whole
    // data set.
    bool OperatorAsked = true;
    TSequence DownloadSequence() const { return BackupBeforeDownload ? TSequence::BackupDownload : TSequence::Download; }
    // Where the last download's backup went; empty when it took none.
    const std::string& LastBackupPath() const { return lastBackupPath_; }

    int ComPortNo = 0;
    int ComBaudIndex = 8;  // 9600 bits per second
    std::string PendingFile;

    // Wiring to the rest of the program; each may stay empty.
    std::function<void(const std::string&)> StatusShown;  // every new status text
    std::function<void(const TLiveRecord&)> RecordArrived;  // after the dashboard showed it
    std::function<void(const TLiveRecord&)> ShowLiveFrame;  // the page on view moves its cursor
    std::function<void(const TLiveRecord&)> LogRecord;      // the data logger writes its line
    std::function<void(const TLiveRecord&)> AutotuneRecord;  // autotune may take it as a sample
    std::function<void()> DataTakenOver;                  // pages load the unit's data set
    std::function<void(int)> PageKey;                     // keys for the page on view
    std::function<void()> PortMenuChanged;                // its items or check mark
    std::function<bool()> StartLogging;                   // true when the logger records
    std::function<void()> StopLogging;

private:
    void FirstHalf();
    void LaterHalf();
    void ShowRecord();
    TDashboardSettings DashboardSettings() const;
    void ShowBatchProgress();
    void Status(const std::string& text);
    void SetComGauge(int position, int max);
    void AnimateTopStripe();
    void ComGaugeTimerTick();
    void JobEnded();
    void HandOver();
    void PulseGauge();
    bool JobIdle() const;

    void StartTransferState(TTransfer transfer, int intervalMs);
    void TransferResult(int progressMax, const char* timeoutText, int doneOutcome, int timeoutOutcome);
    void TakeOver();
    void IdentifyUnit();
    bool AcceptUpload();
    bool AcceptFromSameUnit(const std::vector<std::size_t>& differences);
    void TakeUploadedData();
    // The PC's values the unit lacked, written once the stream runs; the data set counts as
    // changed offline until the unit is read to hold them all.
    void WriteDifferences();
    void SettleWrittenDifferences();
    // After a download: changed offline while the unit is known to lack a value the PC shows.
    bool UnitLacksWorkingData(bool lackedBefore) const;
    void ReportCutDownload();
    bool TakeBackup();
    int DownloadAfterBackup();
    bool RestoreRefused(const TIdent& connected);
    bool GoOnWithoutBackup(const std::string& reason);
    void ClearUnitPanels();
    void SetFlagBit(int bit, bool set, const TextPair& what);
    void ApplyFlagButtons();
    bool WideBandKeyAllowed() const;

    TOnlineHost& main_;
    TGlobalClass global_;
    std::unique_ptr<TComX> link_;
    std::unique_ptr<Timer> comTimer_;
    std::unique_ptr<Timer> comGaugeTimer_;
    std::unique_ptr<Timer> pauseTimer_;
    std::unique_ptr<Timer> jobEndedTimer_;  // takes a job's result from outside the link
    std::unique_ptr<Timer> handOverTimer_;  // starts the state a result led to
    std::uint8_t handOverState_ = link::Idle;

    TSequence sequence_ = TSequence::Main;
    bool backupReadFailed_ = false;
    bool downloadDeviceBlock_ = true;  // the identification's choice, kept across the backup
    std::string lastBackupPath_;
    // The unit a restore is meant for, handed to the download sequence as it starts.
    std::optional<TUnitIdentity> nextRestore_, restoreUnit_;
    std::uint8_t linkState_ = link::Idle;
    bool stepStarted_ = false;

    TMainControls controls_;
    TLinkPanels panels_;
    TGaugeState gauge_;
    TPortMenu portMenu_;
    TDashboard dashboard_;
    int stripeSplit_ = 0;
    int stripeStep_ = 30;
    int stripeWidth_ = 600;
    int pulse_ = 0;
    int pulseStep_ = 1;
    std::optional<TComX::TBatchProgress> shownBatch_;
    // Going online again to the unit whose data the PC holds: its data are read all the same,
    // and what differs is the operator's choice.
    bool sameUnit_ = false;
    std::vector<std::size_t> differencesToWrite_;
    bool differencesQueued_ = false;
    bool changedBeforeDownload_ = false;
};

}  // namespace zv
