// The live stream: one live record after another, 70 ms apart, and between two records one of
// the edits the operator queued meanwhile.
#include "link/tcomx.h"

namespace zv {

namespace {

// A batch's writes follow one another without a live record for at most this long, so that
// the dashboard still moves while a whole map goes out.
constexpr std::uint32_t kBatchRecordEveryMs = 1000;

constexpr std::uint8_t kStartOfKind[3] = {tstate::QueuedOne, tstate::QueuedTwo,
                                          tstate::QueuedSixteen};

}  // namespace

bool TComX::QueueWrite(std::uint8_t area, const std::uint8_t* source, std::uint8_t kind,
                       std::uint16_t address, std::uint32_t batch) {
    return Queue_.Push(area, source, kind, address, batch);
}

std::optional<TComX::TBatchProgress> TComX::BatchProgress() const {
    if (CurrentBatch_ == 0 || BatchCount_.Total < 2 || BatchCount_.Done >= BatchCount_.Total)
        return std::nullopt;
    return BatchCount_;
}

bool TComX::StreamJobRunning() const {
    return Job_ == job::StreamStart || Job_ == job::StreamRestart || Job_ == job::StreamWatch ||
           Job_ == job::StreamStop;
}

bool TComX::NextOfBatchAtOnce(std::uint32_t batch) const {
    return batch != 0 && StreamMode_ == 0 && StreamJobRunning() && !Queue_.Empty() &&
           Queue_.Front().Batch == batch &&
           Timers_.GetTickCount() - LastRecordTick_ < kBatchRecordEveryMs;
}

void TComX::StartNextQueuedWrite() {
    const TQueuedWrite& next = Queue_.Front();
    if (next.Batch != CurrentBatch_) {
        CurrentBatch_ = next.Batch;
        BatchCount_ = {0, Queue_.CountOfBatch(next.Batch), Queue_.BatchAllRows(next.Batch)};
    }
    StartQueuedWrite(kStartOfKind[next.Kind]);
}

std::vector<TWriteFailure> TComX::TakeWriteFailures() {
    std::vector<TWriteFailure> failures;
    failures.swap(WriteFailures_);
    return failures;
}

void TComX::DropQueuedWrites() {
    // The stream has ended: a write that has not reached the unit must never go out later, on
    // top of what a download, an upload or another unit brings meanwhile. The unit lacks it,
    // so going online again must say so, as it does for any change made offline.
    if (Queue_.Empty())
        return;
    DroppedWrites_ += Queue_.Size();
    Queue_.Clear();
    CurrentBatch_ = 0;
    Data_.DeviceData.ChangedOffline = 1;
}

bool TComX::StagingInPlace() const {
    return Target_.Bytes.data() == Staging_.data();
}

void TComX::RestoreStreamTarget() {
    // A job started meanwhile has brought its own target; only the staging bytes are ours.
    if (StagingInPlace())
        Target_ = SavedTarget_;
}

void TComX::StartQueuedWrite(std::uint8_t startState) {
    const TQueuedWrite& write = Queue_.Front();
    Queue_.BeginFront();
    Area_ = write.Area;
    Address_ = write.Address;
    Staging_ = write.Data;
    SavedTarget_ = Target_;
    Target_ = Target{std::span<std::uint8_t>(Staging_), 0, nullptr};
    Counter_ = 0;
    TransState_ = static_cast<std::uint8_t>(startState + 1);
    const std::size_t length = TWriteQueue::KindLength(write.Kind);
    BeginCheckedBlock(write.Address, length, length);
}

void TComX::QueuedWriteDone() {
    RestoreStreamTarget();
    const std::uint32_t batch = Queue_.Front().Batch;
    Queue_.FrontDone();
    if (batch != 0 && batch == CurrentBatch_)
        ++BatchCount_.Done;
    if (NextOfBatchAtOnce(batch)) {
        StartNextQueuedWrite();
        return;
    }
    // A stop requested while the write ran still holds: the next pacing tick ends the stream.
    TransState_ = tstate::StreamNext;
    PacingTimer_->Start();
}

void TComX::QueuedWriteFailed() {
    // The write's own time-out must not send it again behind the stream's back.
    ComControlTimer_->Stop();
    AbandonBlockRead();
    RestoreStreamTarget();
    if (auto failure = Queue_.FrontFailed()) {
        WriteFailures_.push_back(*failure);
        // The unit does not hold the edit: going online next time must say so.
        Data_.DeviceData.ChangedOffline = 1;
    }
    // The stream pauses; the watchdog restarts it, and the write goes out again after a record.
    TransState_ = tstate::Idle;
}

void TComX::QueuedWriteStep() {
    // The edit counts as delivered only once reading it back shows it in the unit.
    switch (CheckedBlockStep(ByteFailure::Abort)) {
        case BlockOutcome::Busy:
            return;
        case BlockOutcome::Confirmed:
            QueuedWriteDone();
            return;
        case BlockOutcome::Failed:
            QueuedWriteFailed();
            return;
    }
}

void TComX::StreamStep() {
    switch (TransState_) {
        case tstate::StreamStart:
            StreamMode_ = 0;
            // A restart abandons a write that was still on the wire: that was a failed try.
            if (Queue_.FrontInFlight())
                QueuedWriteFailed();
            AwaitQuietLine();
            break;
        case tstate::StreamQuiet:
            // Part of what the start abandoned: the pause begins again.
            AwaitQuietLine();
            break;
        case tstate::StreamNext:
            LiveStart();
            TransState_ = tstate::StreamRecord;
            break;
        case tstate::StreamRecord:
            LiveReceive();
            if (LiveStatus_ == 2) {
                LastRecordTick_ = Timers_.GetTickCount();
                TransState_ = tstate::Idle;
                PacingTimer_->Start();
            }
            break;
        case tstate::QueuedOne:
        case tstate::QueuedTwo:
        case tstate::QueuedSixteen:
            StartNextQueuedWrite();
            break;
        case 20:
        case 22:
        case 24:
            QueuedWriteStep();
            break;
        default:
            break;
    }
}

void TComX::PacingTimerTick() {
    PacingTimer_->Stop();
    if (TransState_ == tstate::Idle)
        CommitLiveRecord();
    // Only the stream, or the stop it was asked for, may move on from here.
    const bool streaming = StreamJobRunning();
    if (StreamMode_ == 1) {
        if (streaming || Job_ == job::Idle) {
            TransState_ = tstate::Idle;
            DropQueuedWrites();
        }
        return;
    }
    if (!streaming)
        return;
    if (TransState_ == tstate::Idle && !Queue_.Empty()) {
        TransState_ = kStartOfKind[Queue_.Front().Kind];
    } else if (TransState_ == tstate::Idle || TransState_ == tstate::StreamNext) {
        TransState_ = tstate::StreamNext;
    } else {
        return;
    }
    TransactionStep();
}

}  // namespace zv
