// The job layer: every 100 ms the job timer starts or supervises the current job, with a tick
// budget per attempt and a number of attempts, and ends it with a result.
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
                JobResult_ = jobresult::Done;
                Job_ = job::Idle;
            } else if (TransState_ == tstate::Idle && PingStatus_ == 3) {
                if (--TriesLeft_ == 0) {
                    TriesLeft_ = 10;
                    JobResult_ = jobresult::Refused;
                    Job_ = job::Idle;
                } else {
                    Job_ = job::PingAgain;
                }
            } else if (--TicksLeft_ == 0) {
                if (--TriesLeft_ == 0) {
                    JobResult_ = jobresult::TimedOut;
                    Job_ = job::Idle;
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
            if (TransState_ == tstate::Idle && IdentStatus_ == 3 && --IdentReadsLeft_ > 0) {
                // The reply awaits its confirmation: ask again, with the time one reply has.
                TicksLeft_ = 5;
                TransState_ = tstate::IdentStart;
                TransactionStep();
                break;
            }
            [[fallthrough]];
        case job::Read256Running:
        case job::Write16Running:
        case job::Write256Running: {
            if (TransState_ == tstate::Idle) {
                const bool ok = (Job_ == job::IdentifyRunning && IdentStatus_ == 1) ||
                                (Job_ == job::Read256Running && ReadStatus_ == 1) ||
                                ((Job_ == job::Write16Running || Job_ == job::Write256Running) &&
                                 WriteStatus_ == 1);
                // A job never goes idle without a result: the online mode would wait forever.
                JobResult_ = ok ? jobresult::Done : jobresult::TimedOut;
                Job_ = job::Idle;
            } else if (--TicksLeft_ == 0) {
                JobResult_ = jobresult::TimedOut;
                Job_ = job::Idle;
            }
            break;
        }

        case job::StreamStart:
            TriesLeft_ = 5;
            TicksLeft_ = 80;
            TransState_ = tstate::StreamStart;
            TransactionStep();
            Job_ = job::StreamWatch;
            break;

        case job::StreamRestart:
            JobResult_ = jobresult::None;
            TicksLeft_ = 30;
            TransState_ = tstate::StreamStart;
            TransactionStep();
            Job_ = job::StreamWatch;
            break;

        case job::StreamWatch:
            if (Activity_) {
                Activity_ = false;
                TicksLeft_ = 5;
                TriesLeft_ = 3;
            } else if (--TicksLeft_ == 0) {
                Job_ = --TriesLeft_ > 0 ? job::StreamRestart : job::Idle;
                if (Job_ == job::Idle)
                    DropQueuedWrites();
            }
            break;

        case job::StreamStop:
            StreamMode_ = 1;
            Job_ = job::Idle;
            break;

        case job::Idle:
        default:
            JobTimer_->Stop();
            ComControlTimer_->Stop();
            break;
    }
}

}  // namespace zv
