#include "link/tcomx.h"

#include <algorithm>

namespace zv {

TComX::TComX(TimerService& timers, SerialPort& port, TZVDataClass& data)
    : Timers_(timers), Port_(port), Data_(data) {
    ComControlTimer_ = Timers_.CreateTimer();
    ComControlTimer_->SetInterval(30);
    ComControlTimer_->SetSingleShot(false);

    JobTimer_ = Timers_.CreateTimer();
    JobTimer_->SetInterval(kJobTickMs);
    JobTimer_->SetHandler([this] { JobTimerTick(); });

    PacingTimer_ = Timers_.CreateTimer();
    PacingTimer_->SetInterval(kPacingMs);
    PacingTimer_->SetSingleShot(true);
    PacingTimer_->SetHandler([this] { PacingTimerTick(); });

    QuietTimer_ = Timers_.CreateTimer();
    QuietTimer_->SetSingleShot(true);
    QuietTimer_->SetHandler([this] { QuietTimerTick(); });

    Port_.SetOnRxChar([this] { ComPortDataAvailable(); });
    // Runs until its first tick finds the idle job and stops it.
    JobTimer_->Start();
}

TComX::~TComX() {
    Port_.SetOnRxChar(nullptr);
}

bool TComX::IsStreamJob(std::uint8_t jobCode) {
    return jobCode >= job::StreamStart && jobCode <= job::StreamStop;
}

bool TComX::UsesChecksumWrite() const {
    return Data_.DeviceData.Firmware >= 7;
}

bool TComX::StartJob(std::uint8_t jobCode, std::uint8_t area, std::uint16_t length,
                     std::span<std::uint8_t> target, std::uint16_t address) {
    Area_ = area;
    Address_ = address;
    Length_ = length;
    Target_ = Target{target, 0, nullptr};
    return BeginJob(jobCode);
}

bool TComX::StartJob(std::uint8_t jobCode, std::uint8_t area, std::uint16_t length,
                     std::string& textTarget, std::uint16_t address) {
    Area_ = area;
    Address_ = address;
    Length_ = length;
    Target_ = Target{{}, 0, &textTarget};
    return BeginJob(jobCode);
}

bool TComX::SetJob(std::uint8_t jobCode) {
    return BeginJob(jobCode);
}

bool TComX::BeginJob(std::uint8_t jobCode) {
    const std::size_t room = Target_.Bytes.size();
    bool fits = Area_ <= 2;
    switch (jobCode) {
        case job::Ping:
        case job::PingLong:
        case job::StreamStop:
        case job::Idle:
            break;
        case job::Identify:
            fits = fits && Length_ > 0 &&
                   (Target_.Text != nullptr || (Length_ <= 255 && room >= Length_ + 1u));
            break;
        case job::Read256:
        case job::Write256:
            fits = fits && Target_.Text == nullptr && room >= 256;
            break;
        case job::Write16:
            fits = fits && Target_.Text == nullptr && room >= 16;
            break;
        case job::StreamStart:
        case job::StreamRestart: {
            // A restart may fall while a queued write has put its staging bytes in place; the
            // record area is what the stream goes on with.
            const Target& records = StagingInPlace() ? SavedTarget_ : Target_;
            fits =
                fits && records.Text == nullptr && Length_ > 0 && records.Bytes.size() >= Length_;
            break;
        }
        default:
            fits = false;
            break;
    }
    if (!fits) {
        RefuseJob();
        return false;
    }
    QuietStart_ = Job_ == job::Idle && TransState_ == tstate::Idle;
    if (!IsStreamJob(jobCode)) {
        // A new job ends the stream: neither a pending pacing tick, nor the time-out of an
        // abandoned transaction, nor a late answer to it may send anything into the new job's
        // exchange.
        PacingTimer_->Stop();
        ComControlTimer_->Stop();
        AbandonBlockRead();
        DropQueuedWrites();
        TransState_ = tstate::Idle;
    } else if (jobCode == job::StreamStart) {
        DroppedWrites_ = 0;
    }
    Job_ = jobCode;
    JobResult_ = jobresult::None;
    JobTimer_->Start();
    return true;
}

void TComX::RefuseJob() {
    PacingTimer_->Stop();
    ComControlTimer_->Stop();
    AbandonBlockRead();
    JobTimer_->Stop();
    DropQueuedWrites();
    TransState_ = tstate::Idle;
    EndJob(jobresult::TimedOut);
}

// ---------------------------------------------------------------------------------------------
// Port

bool TComX::Init(int port, int baudIndex) {
    Port_.Close();
    // A freshly opened port carries nothing left over from an earlier exchange.
    LineDoubt_ = false;
    Port_.SetPort(port);
    Port_.SetBaudIndex(baudIndex);
    Port_.Open();
    return true;
}

bool TComX::SetComPort(int port, int baudIndex) {
    const int oldPort = Port_.Port();
    const int oldBaud = Port_.BaudIndex();
    if (Init(port, baudIndex))
        return true;
    Port_.SetPort(oldPort);
    Port_.SetBaudIndex(oldBaud);
    return false;
}

bool TComX::SetComPortByString(const std::string& text, int baudIndex) {
    int number = 0;
    if (text.size() == 4 || text.size() == 5) {
        const std::string digits = text.substr(3);
        if (std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            number = std::min(std::stoi(digits), SerialPort::kMaxPortNumber);
        }
    }
    return SetComPort(number, baudIndex);
}

void TComX::SendByte(std::uint8_t byte) {
    Port_.WriteBuf(&byte, 1);
}

void TComX::SendBytes(const std::uint8_t* bytes, std::size_t n) {
    // One byte per call, as the unit's firmware reads them.
    for (std::size_t i = 0; i < n; ++i)
        SendByte(bytes[i]);
}

void TComX::DiscardInput() {
    Port_.ReadString();
}

std::size_t TComX::AppendWaiting() {
    const std::size_t n = Port_.BytesAvailable();
    if (n == 0)
        return 0;
    std::string chunk(n, '\0');
    const std::size_t got = Port_.ReadBuf(reinterpret_cast<std::uint8_t*>(chunk.data()), n);
    Reply_.append(chunk.data(), got);
    return got;
}

bool TComX::ReadOne(std::uint8_t& byte) {
    return Port_.ReadBuf(&byte, 1) == 1;
}

// ---------------------------------------------------------------------------------------------
// Dispatcher

void TComX::ComPortDataAvailable() {
    RxCount_ = static_cast<std::uint16_t>(std::min<std::size_t>(Port_.BytesAvailable(), 0xFFFF));
    // Only states that wait for the unit take input; a stray byte must not fire a start state
    // (for instance the live request that waits for the pacing pause).
    switch (TransState_) {
        case 1:
        case 3:
        case 7:
        case 13:
        case 15:
        case 18:
        case 20:
        case 22:
        case 24:
        case tstate::StreamQuiet:
            TransactionStep();
            break;
        default:
            break;
    }
}

void TComX::TransactionStep() {
    const bool wasIdle = TransState_ == tstate::Idle;
    TransactionDispatch();
    if (!wasIdle && TransState_ == tstate::Idle)
        TransactionEnded();
}

void TComX::TransactionDispatch() {
    switch (TransState_) {
        case 0:
            PingStart();
            TransState_ = 1;
            break;
        case 1:
            if (PingReceive())
                TransState_ = tstate::Idle;
            break;
        case 2:
            IdentStart();
            TransState_ = 3;
            break;
        case 3:
            IdentReceive();
            if (IdentStatus_ != 0)
                TransState_ = tstate::Idle;
            break;
        case 6:
            Counter_ = 0;
            ReadingBack_ = false;
            ReadBlockFirst();
            TransState_ = 7;
            break;
        case 7:
            ReadBlockReceive();
            if (ReadStatus_ == 1) {
                if (Counter_ < 15) {
                    ++Counter_;
                    Address_ = static_cast<std::uint16_t>(Address_ + 16);
                    ReadBlockFirst();
                } else {
                    TransState_ = tstate::Idle;
                }
            }
            break;
        case 12:
        case 14:
            Counter_ = 0;
            BeginCheckedBlock(Address_, 16, TransState_ == 12 ? 16 : 256);
            ++TransState_;
            break;
        case 13:
            // Sixteen bytes go in order: a byte that fails is tried again until the job's
            // time-out, so the unit never holds a block with a hole in it.
            WriteBlockStep(ByteFailure::Wait);
            break;
        case 15:
            // A byte that fails is passed over; the closing read-back pass writes it again.
            WriteBlockStep(ByteFailure::Skip);
            break;
        case 16:
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
        case 22:
        case 23:
        case 24:
        case tstate::StreamQuiet:
            StreamStep();
            break;
        default:
            break;
    }
}

}  // namespace zv
