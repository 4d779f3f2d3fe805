#include "online/online_mode.h"

#include <cstdio>
#include <utility>

#include "data/firmware_table.h"
#include "data/parameter_table.h"
#include "link/port_name.h"
#include "link/transfer_table.h"
#include "sensors/wideband_sensor.h"

namespace zv {

namespace {

bool IsDownload(TSequence sequence) {
    return sequence == TSequence::Download || sequence == TSequence::BackupDownload;
}

constexpr int kStripeStep = 30;
constexpr int kPulseTop = 30;  // twice the bar's maximum of 15
// From a job's result to the next state's request: anything the unit still sends after its
// reply has arrived by then and is thrown away before the request, as on the ticks.
constexpr int kHandOverMs = 20;

}  // namespace

TOnlineMode::TOnlineMode(TOnlineHost& main, TimerService& timers, SerialPort& port)
    : main_(main), link_(std::make_unique<TComX>(timers, port, main.Data())) {
    comTimer_ = timers.CreateTimer();
    comTimer_->SetInterval(200);
    comTimer_->SetHandler([this] { ComConditionControlTimer(); });
    comGaugeTimer_ = timers.CreateTimer();
    comGaugeTimer_->SetInterval(50);
    comGaugeTimer_->SetHandler([this] { ComGaugeTimerTick(); });
    pauseTimer_ = timers.CreateTimer();
    pauseTimer_->SetInterval(200);
    pauseTimer_->SetSingleShot(true);
    pauseTimer_->SetHandler([this] { pauseTimer_->Stop(); });
    jobEndedTimer_ = timers.CreateTimer();
    jobEndedTimer_->SetSingleShot(true);
    jobEndedTimer_->SetHandler([this] { JobEnded(); });
    link_->OnJobEnded = [this] { jobEndedTimer_->Start(); };
    handOverTimer_ = timers.CreateTimer();
    handOverTimer_->SetSingleShot(true);
    handOverTimer_->SetInterval(kHandOverMs);
    handOverTimer_->SetHandler([this] { HandOver(); });
    controls_.F5.Enabled = true;
    main_.IsOnline = [this] { return controls_.F5.Down; };
    main_.SwitchOffline = [this] {
        if (controls_.F5.Down) OffOnlineButtonClick();
    };
}

TOnlineMode::~TOnlineMode() {
    link_->OnJobEnded = nullptr;
    main_.IsOnline = nullptr;
    main_.SwitchOffline = nullptr;
}

void TOnlineMode::StartUp() {
    ComBaudIndex = 8;
    if (PendingFile.empty() && ComPortNo != kNoPort) {
        // Without a file to open the program goes online by itself, but only with a port that
        // was chosen: a unit nobody chose must never pass for the car's.
        controls_.F5.Down = true;
        controls_.ConnectMenuChecked = true;
        StartSequence(TSequence::Main, link::Connect);
    } else {
        StartSequence(TSequence::Main, link::Offline);
    }
}

void TOnlineMode::StartSequence(TSequence sequence, std::uint8_t state) {
    sequence_ = sequence;
    restoreUnit_ = std::exchange(nextRestore_, std::nullopt);
    if (IsDownload(sequence)) lastBackupPath_.clear();
    linkState_ = SequenceHasState(sequence, state) ? state : link::Idle;
    stepStarted_ = false;
    comTimer_->Start();
    UpdateLinkControls();
}

void TOnlineMode::NextState(int outcome) {
    comTimer_->Stop();
    linkState_ = NextStateOf(sequence_, linkState_, outcome);
    stepStarted_ = false;
    UpdateLinkControls();
    comTimer_->Start();
}

bool TOnlineMode::LinkBusy() const {
    return !(linkState_ <= 4 || linkState_ == link::Offline || linkState_ == link::Idle);
}

bool TOnlineMode::JobIdle() const { return link_->Job() == job::Idle; }

void TOnlineMode::Status(const std::string& text) {
    panels_.ComState = text;
    if (StatusShown) StatusShown(text);
}

void TOnlineMode::ClearUnitPanels() {
    panels_.SerialNo.clear();
    panels_.VerLevel.clear();
}

void TOnlineMode::SetComGauge(int position, int max) { gauge_ = {position, max, colour::Purple}; }

void TOnlineMode::ComGaugeTimerTick() {
    gauge_.BarColour = colour::Red;
    if (gauge_.Max == 0) gauge_.Max = 15;
    gauge_.Position = gauge_.Position >= gauge_.Max ? 0 : gauge_.Position + 1;
}

void TOnlineMode::PulseGauge() {
    pulse_ += pulseStep_;
    if (pulse_ >= kPulseTop || pulse_ <= 0) {
        pulseStep_ = -pulseStep_;
        gauge_.BarColour = gauge_.BarColour == colour::Green ? colour::Purple : colour::Green;
    }
    gauge_.Position = pulse_;
    gauge_.Max = 15;
}

void TOnlineMode::AnimateTopStripe() {
    stripeSplit_ += stripeStep_;
    if (stripeSplit_ >= stripeWidth_) {
        stripeSplit_ = stripeWidth_;
        stripeStep_ = -kStripeStep;
    } else if (stripeSplit_ <= 0) {
        stripeSplit_ = 0;
        stripeStep_ = kStripeStep;
    }
}

void TOnlineMode::ComConditionControlTimer() {
    AnimateTopStripe();
    if (!stepStarted_) {
        FirstHalf();
    } else {
        LaterHalf();
    }
}

namespace {

// States whose later half waits for the result of the job their first half started.
bool WaitsForJob(std::uint8_t state) {
    switch (state) {
        case link::ConnectTransfer:
        case link::AwaitUnit:
        case link::Identify:
        case link::DeviceDataUpload:
        case link::FuelMapUpload:
        case link::AfrMapUpload:
        case link::RunOnline:
            return true;
        default: return state >= link::DeviceDataDownload && state <= link::FotoCurveDownload;
    }
}

}  // namespace

// A job's result is taken when it arrives rather than on the state's next tick, and a state left
// on it hands over to the next one a moment later, whose job then starts without waiting for
// the link's tick; from there the ticks go on as usual. While ComTimer is stopped (a box is up) the state machine rests, as on its ticks.
void TOnlineMode::JobEnded() {
    if (!stepStarted_ || !comTimer_->Active() || !WaitsForJob(linkState_)) return;
    const std::uint8_t state = linkState_;
    LaterHalf();
    if (linkState_ != state && !stepStarted_) {
        handOverState_ = linkState_;
        handOverTimer_->Start();
    }
}

void TOnlineMode::HandOver() {
    if (stepStarted_ || linkState_ != handOverState_ || !comTimer_->Active()) return;
    comTimer_->Start();
    FirstHalf();
    link_->StartJobNow();
}

void TOnlineMode::StartTransferState(TTransfer transfer, int intervalMs) {
    TZVDataClass& data = main_.Data();
    if (!TransferApplies(data, transfer)) {
        // Nothing of this kind lives in the unit's firmware: the step is done.
        stepStarted_ = true;
        NextState(1);
        return;
    }
    comTimer_->SetInterval(intervalMs);
    Status(TransferInfo(transfer, TransferFirmware(data, transfer)).StatusText);
    StartTransfer(*link_, data, transfer);
    stepStarted_ = true;
}

void TOnlineMode::FirstHalf() {
    TZVDataClass& data = main_.Data();
    switch (linkState_) {
        case link::Connect:
            link_->ComPort().Close();
            link_->SetComPort(ComPortNo, ComBaudIndex);
            comTimer_->SetInterval(100);
            Status("Device check");
            link_->SetJob(job::PingLong);
            stepStarted_ = true;
            NextState(1);
            return;
        case link::ConnectTransfer:
            link_->SetComPort(ComPortNo, ComBaudIndex);
            comTimer_->SetInterval(100);
            Status("Device check");
            link_->SetJob(job::Ping);
            stepStarted_ = true;
            return;
        case link::AwaitUnit:
            stepStarted_ = true;
            LaterHalf();
            return;
        case link::TakeOver:
            stepStarted_ = true;
            TakeOver();
            NextState(1);
            return;
        case link::CancelOnline:
            stepStarted_ = true;
            link_->SetJob(job::StreamStop);
            Status("Cancel Online");
            NextState(1);
            return;
        case link::Offline:
            link_->ComPort().Close();
            link_->SetJob(job::Idle);
            comTimer_->SetInterval(100);
            SetComGauge(0, 0);
            ClearUnitPanels();
            Status("Offline");
            stepStarted_ = true;
            return;
        case link::SaveBackup: {
            stepStarted_ = true;
            comTimer_->Stop();
            const int outcome = DownloadAfterBackup();
            comTimer_->Start();
            NextState(outcome);
            return;
        }
        case link::AcceptUpload:
            comTimer_->SetInterval(500);
            Status("Upload successfull");
            stepStarted_ = true;
            return;
        case link::Idle:
            if (!PendingFile.empty()) {
                const std::string file = PendingFile;
                PendingFile.clear();
                main_.OpenDataFile(file);
                RefreshControls();
            }
            return;
        default: break;
    }

    // The remaining states start a job and need the link to be free for it.
    if (!JobIdle()) return;
    switch (linkState_) {
        case link::Identify:
            Status("Upload Device ID");
            StartTransfer(*link_, data, TTransfer::Identification);
            stepStarted_ = true;
            return;
        case link::DeviceDataUpload:
            if (data.ReceiveData.Firmware < 4) {
                stepStarted_ = true;
                NextState(1);
                return;
            }
            StartTransferState(TTransfer::DeviceDataUpload, 150);
            return;
        case link::FuelMapUpload: StartTransferState(TTransfer::FuelMapUpload, 150); return;
        case link::AfrMapUpload: StartTransferState(TTransfer::AfrMapUpload, 150); return;
        case link::DeviceDataDownload: StartTransferState(TTransfer::DeviceDataDownload, 100); return;
        case link::FuelMapDownload: StartTransferState(TTransfer::FuelMapDownload, 300); return;
        case link::AfrMapDownload: StartTransferState(TTransfer::AfrMapDownload, 300); return;
        case link::RpmSitesDownload: StartTransferState(TTransfer::RpmSitesDownload, 300); return;
        case link::TpsSitesDownload: StartTransferState(TTransfer::TpsSitesDownload, 300); return;
        case link::IdleCurveDownload: StartTransferState(TTransfer::IdleCurveDownload, 300); return;
        case link::TempCurveDownload: StartTransferState(TTransfer::TempCurveDownload, 300); return;
        case link::GpCurveDownload: StartTransferState(TTransfer::GpCurveDownload, 300); return;
        case link::FotoCurveDownload: StartTransferState(TTransfer::FotoCurveDownload, 300); return;
        case link::RunOnline:
            comTimer_->SetInterval(100);
            StartTransfer(*link_, data, TTransfer::LiveStream);
            Status("Run Online");
            WriteDifferences();
            stepStarted_ = true;
            return;
        default: stepStarted_ = true; return;
    }
}

void TOnlineMode::TransferResult(int progressMax, const char* timeoutText, int doneOutcome, int timeoutOutcome) {
    SetComGauge(link_->Counter(), progressMax);
    switch (link_->JobResult()) {
        case jobresult::Done:
            Status("Done");
            NextState(doneOutcome);
            // The data set is in the unit now, as its read-backs show, unless an edit made
            // during the download came after its block was read back.
            if (IsDownload(sequence_) && linkState_ == link::Offline)
                main_.Data().DeviceData.ChangedOffline = UnitLacksWorkingData(changedBeforeDownload_) ? 1 : 0;
            return;
        case jobresult::TimedOut: {
            if (sequence_ == TSequence::BackupDownload && linkState_ < link::SaveBackup) backupReadFailed_ = true;
            const bool cutDownload = linkState_ >= link::DeviceDataDownload && linkState_ <= link::FotoCurveDownload;
            Status(timeoutText);
            NextState(timeoutOutcome);
            if (cutDownload) ReportCutDownload();
            return;
        }
        default: return;  // still running
    }
}

void TOnlineMode::LaterHalf() {
    const TZVDataClass& data = main_.Data();
    const std::uint8_t result = link_->JobResult();
    switch (linkState_) {
        case link::ConnectTransfer:
            if (result == jobresult::Done) {
                comTimer_->SetInterval(10);
                NextState(1);
            } else if (result == jobresult::TimedOut) {
                comTimer_->Stop();
                comGaugeTimer_->Stop();
                SetComGauge(0, 15);
                Status("Connect Timeout");
                main_.ShowMessage(MsgKind::Error, main_.Text(txt::ConnectionError));
                comTimer_->Start();
                NextState(2);
            }
            return;
        case link::AwaitUnit:
            if (result == jobresult::Done) {
                comTimer_->SetInterval(10);
                NextState(1);
            } else if (result == jobresult::TimedOut) {
                comTimer_->SetInterval(200);
                Status("Device check - level 2");
                NextState(2);
            }
            return;
        case link::Identify:
            if (result == jobresult::Done) {
                IdentifyUnit();
            } else if (result == jobresult::TimedOut) {
                Status("Upload ID timeout");
                ClearUnitPanels();
                NextState(3);
            }
            return;
        case link::DeviceDataUpload: TransferResult(15, "Upload 256 timeout", 1, 2); return;
        case link::FuelMapUpload:
            TransferResult(15, "Upload 256 timeout", data.ReceiveData.Firmware >= 26 ? 2 : 1, 3);
            return;
        case link::AfrMapUpload: TransferResult(15, "Upload 256 timeout", 1, 2); return;
        case link::AcceptUpload: {
            comTimer_->Stop();
            const bool accepted = AcceptUpload();
            comTimer_->Start();
            NextState(accepted ? 1 : 2);
            return;
        }
        case link::DeviceDataDownload: TransferResult(255, "Download timeout", 1, 3); return;
        case link::FuelMapDownload:
            TransferResult(255, "Download timeout", data.DeviceData.Firmware >= 27 ? 1 : 2, 3);
            return;
        case link::AfrMapDownload: TransferResult(255, "Download timeout", 1, 3); return;
        case link::RpmSitesDownload:
        case link::TpsSitesDownload:
        case link::IdleCurveDownload:
        case link::TempCurveDownload:
        case link::GpCurveDownload:
        case link::FotoCurveDownload: TransferResult(16, "Download timeout", 1, 3); return;
        case link::RunOnline:
            if (JobIdle()) {
                // The stream died: connect again from the start, as F5 would, and say so
                // when edits it could not send are lost to the unit.
                if (link_->DroppedWrites() > 0) {
                    comTimer_->Stop();
                    main_.ShowMessage(MsgKind::Information, main_.Text(txt::DataChanged));
                    comTimer_->Start();
                }
                NextState(1);
                return;
            }
            for (const auto& failure : link_->TakeWriteFailures()) Status(WriteFailureStatus(failure));
            ShowBatchProgress();
            SettleWrittenDifferences();
            if (link_->NewRecord()) {
                link_->ClearNewRecord();
                PulseGauge();
                ShowRecord();
            }
            return;
        case link::Offline:
            comTimer_->SetInterval(500);
            NextState(1);
            return;
        case link::Idle: FirstHalf(); return;
        default: return;
    }
}

// "Writing 7 of 16 rows" while a block of edits goes out, and the state's own text again after.
void TOnlineMode::ShowBatchProgress() {
    const auto progress = link_->BatchProgress();
    if (progress == shownBatch_)
        return;
    shownBatch_ = progress;
    if (!progress) {
        Status("Run Online");
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Writing %zu of %zu %s", progress->Done + 1, progress->Total,
                  progress->Rows ? "rows" : "writes");
    Status(text);
}

// A record goes to the dashboard, the data logger, autotune and the page on view, in that order.
TDashboardSettings TOnlineMode::DashboardSettings() const {
    TDashboardSettings settings;
    settings.NBLambdaPanelVisible = controls_.NarrowBandPanelVisible;
    settings.WBO2LambdaPanelVisible = controls_.WideBandPanelVisible;
    settings.WBODebounceLevel = WBODebounceLevel;
    settings.WBO2DispAfrMaster = WBO2DispAfrMaster;
    return settings;
}

void TOnlineMode::ShowRecord() {
    const TLiveRecord record = dashboard_.ShowLive(main_.Data(), DashboardSettings());
    if (LogRecord) LogRecord(record);
    if (AutotuneRecord) AutotuneRecord(record);
    if (ShowLiveFrame) ShowLiveFrame(record);
    if (RecordArrived) RecordArrived(record);
}

void TOnlineMode::ShowReplayedRecord(const TLiveRecord& record) {
    if (linkState_ == link::RunOnline)
        return;
    const TZVDataClass& data = main_.Data();
    const std::span<const std::uint8_t> bytes = record.Bytes;
    switch (record.Layout) {
        case TLiveLayout::Live11:
            if (bytes.size() >= 11)
                dashboard_.ShowLive11(bytes.first<11>());
            break;
        case TLiveLayout::Live18:
            if (bytes.size() >= 18)
                dashboard_.ShowLive18(bytes.first<18>(), data, DashboardSettings());
            break;
        case TLiveLayout::Live24:
            if (bytes.size() >= 24)
                dashboard_.ShowLive24(bytes.first<24>(), data, DashboardSettings());
            break;
        case TLiveLayout::Live28:
            if (bytes.size() >= 28)
                dashboard_.ShowLive28(bytes.first<28>(), data, DashboardSettings());
            break;
    }
}

// The replay's means must not carry into the unit's next readouts.
void TOnlineMode::EndReplay() {
    if (linkState_ == link::RunOnline)
        return;
    dashboard_.ResetDisplay();
    dashboard_.ResetMeans();
}

void TOnlineMode::TakeOver() {
    TZVDataClass& data = main_.Data();
    data.FileData.Image = data.DeviceData.Image;
    main_.FlagsToInputSelections(data.DeviceData.FlagsWord());
    data.DeviceData.DeviceValid = 1;
    main_.SetModified(true);
    main_.SetFromSimulatedUnit(ComPortNo == kSimulatedUnitPort);
    if (data.Loaded == 0) {
        main_.SetNeverSaved(true);
        // The unit does not keep the values that live only in the PC; without a file they
        // start from their defaults rather than from zero.
        DefaultPcOnlyParameters(data.Detail);
    }
    controls_.DataPanelVisible = true;
    ApplySensorScale(data);
    if (DataTakenOver) DataTakenOver();
    RefreshControls();
}

}  // namespace zv
