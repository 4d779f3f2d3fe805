// The job layer: every 100 ms the job timer starts or supervises the current job, with a tick
// budget per attempt and a number of attempts, and ends it with a result. A job whose
// transaction ends is decided at once rather than on the next tick, and a job set on a quiet
// line may be started at once: the bytes on the line are the same, only idle gaps are gone.
#include "link/tcomx.h"

namespace zv {

namespace {

// Replies of one identification: two that agree are needed; the rest lets a line that garbles
// one or two of them still get there.
constexpr std::uint8_t kIdentReads = 6;

}  // namespace

void TComX::JobTimerTick() {
    switch (Job_) {
        case job::Ping:
        case job::PingLong:
            TriesLeft_ = Job_ == job::Ping ? 10 : 5000;
            TicksLeft_ = 5;
            TransState_ = tstate::PingStart;
            TransactionStep();
            Job_ = job::PingRunning;
            break;

        case job::PingRunning:
            if (TransState_ == tstate::Idle && PingStatus_ == 2) {
                EndJob(jobresult::Done);
            } else if (TransState_ == tstate::Idle && PingStatus_ == 3) {
                if (--TriesLeft_ == 0) {
                    TriesLeft_ = 10;
                    EndJob(jobresult::Refused);
                } else {
                    Job_ = job::PingAgain;
                }
            } else if (--TicksLeft_ == 0) {
                if (--TriesLeft_ == 0) {
                    EndJob(jobresult::TimedOut);
                } else {
                    Job_ = job::PingAgain;
                }
            }
            break;

        case job::PingAgain:
            JobResult_ = jobresult::None;
            TicksLeft_ = 5;
            TransState_ = tstate::PingStart;
            TransactionStep();
            Job_ = job::PingRunning;
            break;

        case job::Identify:
            TicksLeft_ = 5;
            IdentPrevious_.clear();
            IdentReadsLeft_ = kIdentReads;
            TransState_ = tstate::IdentStart;
            TransactionStep();
            Job_ = job::IdentifyRunning;
            break;

        case job::Read256:
            TicksLeft_ = 50;
            TransState_ = tstate::ReadStart;
            TransactionStep();
            Job_ = job::Read256Running;
            break;

        case job::Write16:
            TicksLeft_ = 50;
            TransState_ = tstate::Write16Start;
            TransactionStep();
            Job_ = job::Write16Running;
            break;

        case job::Write256:
            TicksLeft_ = 300;
            TransState_ = tstate::Write256Start;
            TransactionStep();
            Job_ = job::Write256Running;
            break;

        case job::IdentifyRunning:
        case job::Read256Running:
        case job::Write16Running:
        case job::Write256Running:
            if (TransState_ == tstate::Idle) {
                TransactionJobEnded();
            } else if (--TicksLeft_ == 0) {
                EndJob(jobresult::TimedOut);
            }
            break;

        case job::StreamStart:
            TriesLeft_ = 5;
            TicksLeft_ = 80;
            TransState_ = tstate::StreamStart;
            TransactionStep();
            Job_ = job::StreamWatch;
            break;

        case job::StreamRestart:
            // The unit answered after the restart was decided: restarting now would only
            // abandon the exchange under way, whose answer is still arriving.
            if (StreamAnswered()) {
                Job_ = job::StreamWatch;
                break;
            }
            JobResult_ = jobresult::None;
            TicksLeft_ = 30;
            TransState_ = tstate::StreamStart;
            TransactionStep();
            Job_ = job::StreamWatch;
            break;

        case job::StreamWatch:
            if (!StreamAnswered() && --TicksLeft_ == 0) {
                if (--TriesLeft_ > 0) {
                    Job_ = job::StreamRestart;
                } else {
                    DropQueuedWrites();
                    EndJob(JobResult_);  // the stream died
                }
            }
            break;

        case job::StreamStop:
            StreamMode_ = 1;
            EndJob(JobResult_);
            break;

        case job::Idle:
        default:
            JobTimer_->Stop();
            ComControlTimer_->Stop();
            break;
    }
}

bool TComX::StreamAnswered() {
    if (!Activity_)
        return false;
    Activity_ = false;
    TicksLeft_ = 5;
    TriesLeft_ = 3;
    return true;
}

void TComX::TransactionJobEnded() {
    if (Job_ == job::IdentifyRunning && IdentStatus_ == 3 && --IdentReadsLeft_ > 0) {
        // The reply awaits its confirmation: ask again, with the time one reply has.
        TicksLeft_ = 5;
        TransState_ = tstate::IdentStart;
        TransactionStep();
        return;
    }
    const bool ok =
        (Job_ == job::IdentifyRunning && IdentStatus_ == 1) ||
        (Job_ == job::Read256Running && ReadStatus_ == 1) ||
        ((Job_ == job::Write16Running || Job_ == job::Write256Running) && WriteStatus_ == 1);
    // A job never goes idle without a result: the online mode would wait forever.
    EndJob(ok ? jobresult::Done : jobresult::TimedOut);
}

void TComX::TransactionEnded() {
    switch (Job_) {
        case job::PingRunning:
            // A refused ping and an identification that awaits its confirmation ask again on the
            // job's own beat, as always: by then whatever else the unit sent has arrived and is
            // thrown away before the next request.
            if (PingStatus_ == 2)
                EndJob(jobresult::Done);
            break;
        case job::IdentifyRunning:
            if (IdentStatus_ != 3)
                TransactionJobEnded();
            break;
        case job::Read256Running:
        case job::Write16Running:
        case job::Write256Running:
            TransactionJobEnded();
            break;
        default:
            break;
    }
}

void TComX::EndJob(std::uint8_t result) {
    JobResult_ = result;
    Job_ = job::Idle;
    if (OnJobEnded)
        OnJobEnded();
}

// On a quiet line (the job was set when no job and no transaction was under way) nothing can
// be in flight that the job's first request would meet, so it need not wait for the tick.
bool TComX::StartJobNow() {
    if (!QuietStart_ || JobResult_ != jobresult::None)
        return false;
    QuietStart_ = false;
    switch (Job_) {
        case job::Ping:
        case job::PingLong:
        case job::Identify:
        case job::Read256:
        case job::Write16:
        case job::Write256:
            break;
        default:
            return false;
    }
    JobTimer_->Start();
    JobTimerTick();
    // The time-outs still count from the tick the job used to start on, so a silent unit is
    // given up at the same moment as before.
    ++TicksLeft_;
    return true;
}

}  // namespace zv
