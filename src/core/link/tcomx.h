#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/unit_contents.h"
#include "data/zv_data_class.h"
#include "link/write_queue.h"
#include "seams/serial_port.h"
#include "seams/timer_service.h"

namespace zv {

// Job codes of the link. The online mode starts them and polls Job() and JobResult().
namespace job {
enum : std::uint8_t {
    Ping = 0,      // ping, up to 10 tries
    PingLong = 1,  // ping, up to 5000 tries
    PingRunning = 5,
    PingAgain = 6,
    Identify = 11,
    IdentifyRunning = 12,
    Read256 = 15,
    Read256Running = 16,
    Write16 = 21,
    Write16Running = 22,
    Write256 = 23,
    Write256Running = 24,
    StreamStart = 25,
    StreamRestart = 26,
    StreamWatch = 27,
    StreamStop = 28,
    Idle = 29,
};
}

namespace jobresult {
enum : std::uint8_t { None = 0, Done = 1, Refused = 2, TimedOut = 3 };
}

// States of the transaction dispatcher that other code names.
namespace tstate {
enum : std::uint8_t {
    PingStart = 0,
    IdentStart = 2,
    ReadStart = 6,
    Write16Start = 12,
    Write256Start = 14,
    StreamStart = 16,
    StreamNext = 17,
    StreamRecord = 18,
    QueuedOne = 19,
    QueuedTwo = 21,
    QueuedSixteen = 23,
    StreamQuiet = 25,  // a stream (re)start waits for the line to fall quiet
    Idle = 26,
};
}

// The link to the unit: the byte transactions of the protocol, the jobs built from them and the
// live stream with the edits queued meanwhile. Every entry (receive notification, the three
// timers, the online mode's calls) arrives on the user-interface thread, one at a time, so
// nothing here locks.
class TComX {
  public:
    static constexpr int kJobTickMs = 100;
    static constexpr int kPacingMs = 70;
    static constexpr std::uint16_t kNoAddress = 0xFFFF;

    TComX(TimerService& timers, SerialPort& port, TZVDataClass& data);
    ~TComX();
    TComX(const TComX&) = delete;
    TComX& operator=(const TComX&) = delete;

    // Starts a job at the next job tick. The target receives what the job reads (blocks, the
    // live record, a length-prefixed identification) or holds what it writes. A job code the
    // link does not know, an area above 2 or a target too small for the job is refused: the
    // job ends at once with result 3 (and false is returned).
    bool StartJob(std::uint8_t jobCode, std::uint8_t area, std::uint16_t length,
                  std::span<std::uint8_t> target, std::uint16_t address);
    // The identification job stores the reply as text.
    bool StartJob(std::uint8_t jobCode, std::uint8_t area, std::uint16_t length,
                  std::string& textTarget, std::uint16_t address);
    // A job that needs no new target (pings, restarting or stopping the stream, idle).
    bool SetJob(std::uint8_t jobCode);
    // Starts the job just set now instead of on the next job tick, when it was set on a quiet
    // line (no job and no transaction under way) and is no stream job; its time-out is kept
    // where it was. False when the job waits for its tick.
    bool StartJobNow();

    // Queues an edit for the live stream: kind 0, 1 or 2 (one, two or sixteen bytes, copied from
    // source now). False when the request is malformed; nothing is queued then.
    // Writes queued with one batch number (from NewBatch) go out one after the other, with a
    // live record in between only every second or so, so that a block of edits reaches the
    // unit at the speed of the line.
    bool QueueWrite(std::uint8_t area, const std::uint8_t* source, std::uint8_t kind,
                    std::uint16_t address, std::uint32_t batch = 0);
    std::uint32_t NewBatch() { return ++LastBatch_; }
    std::size_t QueuedWrites() const { return Queue_.Size(); }
    // How far the batch on the wire is: writes confirmed and its writes in all. Nothing while
    // no batch of several writes is under way.
    struct TBatchProgress {
        std::size_t Done = 0;
        std::size_t Total = 0;
        bool Rows = false;  // every write a whole row of sixteen bytes
        bool operator==(const TBatchProgress&) const = default;
    };
    std::optional<TBatchProgress> BatchProgress() const;
    // Writes dropped when the stream ended before they reached the unit, counted since the
    // stream was last started. Dropping one marks the working data as changed offline.
    std::size_t DroppedWrites() const { return DroppedWrites_; }
    // 2 after a queued write was given up, until the failures are taken.
    std::uint8_t WriteFailed() const { return WriteFailures_.empty() ? 0 : 2; }
    std::vector<TWriteFailure> TakeWriteFailures();

    // What the unit was read to hold: every uploaded block and every read-back of written
    // bytes teaches it. The online mode forgets it when another unit answers.
    const TUnitContents& UnitContents() const { return Contents_; }
    TUnitContents& UnitContents() { return Contents_; }

    // Port selection. Init closes the port, selects port and baud index and opens it again; it
    // always reports true, and a port that did not open shows up as a silent unit.
    bool Init(int port, int baudIndex);
    bool SetComPort(int port, int baudIndex);
    // "COM3", "COM12": the number after the first three characters; other texts select 0.
    bool SetComPortByString(const std::string& text, int baudIndex);
    SerialPort& ComPort() { return Port_; }

    // Called when a job has ended with its result (or the stream died), from inside the link:
    // a handler looks at the result later, from its own timer, and starts no job itself.
    std::function<void()> OnJobEnded;

    // Entries from the port and the timers.
    void ComPortDataAvailable();
    void TransactionStep();
    void JobTimerTick();
    void PacingTimerTick();

    // Read by the online mode.
    std::uint8_t Job() const { return Job_; }
    std::uint8_t JobResult() const { return JobResult_; }
    std::int32_t Counter() const { return Counter_; }
    bool Activity() const { return Activity_; }
    bool NewRecord() const { return NewRecord_; }
    void ClearNewRecord() { NewRecord_ = false; }

    // Inner state, for the link's own tests and diagnostics.
    std::uint8_t TransState() const { return TransState_; }
    std::uint8_t Area() const { return Area_; }
    std::uint16_t Address() const { return Address_; }
    std::uint16_t Length() const { return Length_; }
    std::uint8_t WriteStatus() const { return WriteStatus_; }
    std::uint8_t ReadStatus() const { return ReadStatus_; }
    std::uint8_t PingStatus() const { return PingStatus_; }
    std::uint8_t IdentStatus() const { return IdentStatus_; }
    std::uint8_t LiveStatus() const { return LiveStatus_; }
    std::uint8_t StreamMode() const { return StreamMode_; }
    std::uint16_t TicksLeft() const { return TicksLeft_; }
    std::uint16_t TriesLeft() const { return TriesLeft_; }
    std::uint16_t BlockTimeouts() const { return BlockTimeouts_; }
    std::uint8_t WriteRetries() const { return WriteRetries_; }
    bool UsesChecksumWrite() const;
    const Timer& ComControlTimer() const { return *ComControlTimer_; }
    const Timer& JobTimer() const { return *JobTimer_; }
    const Timer& PacingTimer() const { return *PacingTimer_; }

  private:
    // Where the current transaction reads from or stores to.
    struct Target {
        std::span<std::uint8_t> Bytes;
        std::size_t Pos = 0;
        std::string* Text = nullptr;
    };

    bool BeginJob(std::uint8_t jobCode);
    void RefuseJob();
    void EndJob(std::uint8_t result);
    void TransactionDispatch();
    void TransactionEnded();
    void TransactionJobEnded();
    // Takes the activity flag; when it was set, the watchdog starts counting anew.
    bool StreamAnswered();
    static bool IsStreamJob(std::uint8_t jobCode);

    // Port helpers.
    void SendByte(std::uint8_t byte);
    void SendBytes(const std::uint8_t* bytes, std::size_t n);
    void DiscardInput();
    std::size_t AppendWaiting();
    bool ReadOne(std::uint8_t& byte);

    // Transactions: a start entry and a receive entry each.
    void PingStart();
    bool PingReceive();
    void IdentStart();
    void IdentReceive();
    void ReadBlockStart();
    void ReadBlockReceive();
    void EvaluateBlock();
    void Upload16CSTimer();
    void WriteStart();
    void WriteReceive();
    void EchoRestart();
    void EchoSendCommand();
    void EchoReceive();
    void EchoReject();
    void Download1Timer();
    void ChecksumStart();
    void ChecksumReceive();
    void Download1CSTimer();
    void LiveStart();
    void AwaitQuietLine();
    void QuietTimerTick();
    void LiveReceive();
    bool CommitLiveRecord();
    void ReadBlockFirst();
    void AwaitQuietAfterBlock(const std::array<std::uint8_t, 16>& block);
    void QuietAfterBlock();
    void AcceptBlock(const std::array<std::uint8_t, 16>& block);
    void StoreBlock(const std::array<std::uint8_t, 16>& block);
    void AbandonBlockRead();
    // A block the unit answered with, at the current area from address on.
    void LearnUnitBytes(std::uint16_t address, std::span<const std::uint8_t> bytes, int firmware);

    // Written bytes checked by reading them back (tcomx_checked_write.cpp).
    enum class ByteFailure : std::uint8_t { Wait, Skip, Abort };
    enum class BlockOutcome : std::uint8_t { Busy, Confirmed, Failed };
    // Writes total bytes from the start of the target, length at a time.
    void BeginCheckedBlock(std::uint16_t address, std::size_t length, std::size_t total);
    bool ReadBackDeferred() const;
    void CheckBlock(std::size_t first, std::uint16_t address, std::size_t length,
                    std::uint16_t unconfirmed);
    BlockOutcome FinishRegion();
    BlockOutcome GiveUpBlock();
    void WriteNextUnconfirmed();
    BlockOutcome CheckedBlockStep(ByteFailure onFailure);
    BlockOutcome CompareReadBack();
    void WriteBlockStep(ByteFailure onFailure);

    // Live stream and queued writes.
    void StreamStep();
    void StartQueuedWrite(std::uint8_t startState);
    void QueuedWriteStep();
    void QueuedWriteDone();
    void QueuedWriteFailed();
    void RestoreStreamTarget();
    bool StagingInPlace() const;
    void DropQueuedWrites();
    bool StreamJobRunning() const;
    // The next write of the batch just confirmed goes out at once, unless the live display has
    // waited long enough for a record.
    bool NextOfBatchAtOnce(std::uint32_t batch) const;
    void StartNextQueuedWrite();

    std::uint8_t ReadCommand() const;
    std::uint8_t WriteCommand(bool checksummed) const;
    std::uint8_t CurrentByte() const;

    TimerService& Timers_;
    SerialPort& Port_;
    TZVDataClass& Data_;
    std::unique_ptr<Timer> ComControlTimer_;
    std::unique_ptr<Timer> JobTimer_;
    std::unique_ptr<Timer> PacingTimer_;
    // The pause that must follow a block read under doubt, or precede a stream's first request.
    std::unique_ptr<Timer> QuietTimer_;

    // Transaction state.
    std::uint8_t Area_ = 2;
    std::uint16_t Address_ = 0;
    Target Target_;
    std::uint16_t Length_ = 0;
    std::string Reply_;
    std::int32_t Counter_ = 0;
    std::uint16_t RxCount_ = 0;
    std::uint8_t TransState_ = tstate::Idle;
    std::uint8_t WriteStatus_ = 0;
    std::uint8_t ReadStatus_ = 0;
    std::uint8_t PingStatus_ = 0;
    std::uint8_t IdentStatus_ = 0;
    std::string IdentPrevious_;  // the last reply, until the next one confirms it
    std::uint8_t IdentReadsLeft_ = 0;
    std::uint8_t LiveStatus_ = 0;
    std::uint8_t WriteRetries_ = 0;
    std::uint8_t EmptyPolls_ = 0;
    std::uint16_t BlockTimeouts_ = 0;
    bool Activity_ = false;
    bool QuietStart_ = false;  // the current job was set on a quiet line
    int BlockStep_ = 0;
    int EchoStep_ = 0;
    std::size_t LiveReceived_ = 0;
    std::vector<std::uint8_t> LiveRx_;  // the record being received, until it is whole

    // Block reads. After anything odd on the line (a time-out, a stray byte, a bad checksum, a
    // reply too long) a late answer to an earlier request may still be on its way, and a reply
    // does not say which request it answers: until the port is opened again, a block counts
    // only when no byte follows its reply within a short pause and two such reads in a row
    // agree. An uploaded block needs two agreeing reads on a clean line too, without the pause.
    bool LineDoubt_ = false;
    bool QuietPassed_ = false;
    std::array<std::uint8_t, 16> Pending_{};  // the reply awaiting its pause
    bool HaveCandidate_ = false;
    std::array<std::uint8_t, 16> Candidate_{};  // the last reply that passed its pause
    bool ReadingBack_ = false;  // the block read checks written bytes instead of storing them
    std::array<std::uint8_t, 16> ReadBack_{};

    // The block of written bytes being checked: where its bytes lie in the target and in the
    // unit, which of them still wait to be (re)written, and the rewrites so far.
    std::size_t CheckFirst_ = 0;
    std::uint16_t CheckAddress_ = 0;
    std::size_t CheckLength_ = 0;
    std::uint16_t Unconfirmed_ = 0;
    std::size_t CurrentBit_ = 0;
    std::uint8_t Rewrites_ = 0;
    // The bytes of the whole write; closing passes over a region of several blocks so far (0
    // while its blocks are written), and whether the current one found bytes to rewrite.
    std::size_t RegionLength_ = 0;
    std::uint8_t RegionPasses_ = 0;
    bool PassRewrote_ = false;

    // Job layer.
    std::uint8_t Job_ = job::Idle;
    std::uint8_t JobResult_ = jobresult::None;
    std::uint16_t TicksLeft_ = 0;
    std::uint16_t TriesLeft_ = 0;
    std::uint8_t StreamMode_ = 0;
    bool NewRecord_ = false;

    // Queued writes.
    TWriteQueue Queue_;
    std::array<std::uint8_t, 16> Staging_{};
    Target SavedTarget_;
    std::vector<TWriteFailure> WriteFailures_;
    std::size_t DroppedWrites_ = 0;
    std::uint32_t LastBatch_ = 0;
    std::uint32_t CurrentBatch_ = 0;  // the batch whose writes go out now
    TBatchProgress BatchCount_;
    std::uint32_t LastRecordTick_ = 0;
    TUnitContents Contents_;
};

}  // namespace zv
