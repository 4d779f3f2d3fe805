// The byte exchanges with the unit. Each has a start entry, which throws stale input away and
// sends the request, and a receive entry, which the dispatcher runs on later triggers.
#include <algorithm>
#include <array>

#include "link/tcomx.h"
#include "link/transfer_table.h"
#include "link/unit_ident.h"

namespace zv {

namespace {

constexpr std::uint8_t kSyn = 0x16;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kEot = 0x04;
constexpr std::uint8_t kIdentRequest = 0x02;
constexpr std::uint8_t kLiveRequest = 0xA0;
constexpr std::size_t kBlockReplyLength = 18;  // 0x06, sixteen data bytes, checksum
constexpr int kBlockTimeoutMs = 100;
// Ten byte times: the rest of a reply that ran ahead of its request comes back to back.
constexpr int kBlockQuietMs = 10;
constexpr int kQuietStep = 4;
// A unit answers within a few byte times; a USB adapter may hold bytes back for 16 ms more.
constexpr int kLiveQuietMs = 50;
constexpr int kChecksumWriteTimeoutMs = 200;
constexpr std::uint16_t kMaxBlockTimeouts = 10;
constexpr std::uint8_t kMaxWriteRetries = 5;
constexpr std::uint8_t kMaxEmptyPolls = 10;

std::uint8_t High(std::uint16_t address) {
    return static_cast<std::uint8_t>(address >> 8);
}
std::uint8_t Low(std::uint16_t address) {
    return static_cast<std::uint8_t>(address & 0xFF);
}
std::uint8_t At(const std::string& s, std::size_t i) {
    return static_cast<std::uint8_t>(s[i]);
}

}  // namespace

std::uint8_t TComX::ReadCommand() const {
    static constexpr std::uint8_t kRead[3] = {0xA8, 0xA6, 0xA4};
    return kRead[std::min<std::uint8_t>(Area_, 2)];
}

std::uint8_t TComX::WriteCommand(bool checksummed) const {
    static constexpr std::uint8_t kEcho[3] = {0xA7, 0xA5, 0xA2};
    static constexpr std::uint8_t kChecksum[3] = {0xA7, 0xA5, 0xA3};
    const std::uint8_t area = std::min<std::uint8_t>(Area_, 2);
    return checksummed ? kChecksum[area] : kEcho[area];
}

std::uint8_t TComX::CurrentByte() const {
    return Target_.Pos < Target_.Bytes.size() ? Target_.Bytes[Target_.Pos] : 0;
}

// ---------------------------------------------------------------------------------------------
// Ping: 0x16, answered by 0x06.

void TComX::PingStart() {
    ComControlTimer_->Stop();
    DiscardInput();
    SendByte(kSyn);
    PingStatus_ = 1;
}

bool TComX::PingReceive() {
    std::uint8_t byte = 0;
    if (!ReadOne(byte))
        return false;
    if (byte == kAck) {
        PingStatus_ = 2;
    } else {
        SendByte(kSyn);
        PingStatus_ = 3;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Identification: 0x02, answered by Length bytes of text. The text carries no checksum, and a
// single garbled character can make a unit pass for another firmware, whose addresses and
// encodings would then be used on it. So a reply counts only when the next one agrees with it
// byte for byte and the fields the program reads hold nothing but printable characters; until
// then the job asks again (IdentStatus 3).

void TComX::IdentStart() {
    ComControlTimer_->Stop();
    DiscardInput();
    SendByte(kIdentRequest);
    Reply_.clear();
    IdentStatus_ = 2;
}

void TComX::IdentReceive() {
    AppendWaiting();
    if (Reply_.size() < Length_) {
        IdentStatus_ = 0;
        return;
    }
    std::string text = Reply_.substr(0, Length_);
    const bool allowed = IdentCharactersAllowed(text);
    if (!allowed || text != IdentPrevious_) {
        // A reply with a garbled field cannot be confirmed by the next one either.
        IdentPrevious_ = allowed ? std::move(text) : std::string();
        IdentStatus_ = 3;
        return;
    }
    if (Target_.Text != nullptr) {
        *Target_.Text = text;
    } else if (Target_.Bytes.size() > Length_) {
        Target_.Bytes[0] = static_cast<std::uint8_t>(Length_);
        std::copy(text.begin(), text.end(), Target_.Bytes.begin() + 1);
    }
    IdentStatus_ = 1;
}

// ---------------------------------------------------------------------------------------------
// Block read: 0x16, then after 0x06 the read command with the address and its checksum; the
// unit answers 0x06, sixteen bytes and their XOR.

void TComX::ReadBlockFirst() {
    HaveCandidate_ = false;
    ReadBlockStart();
}

void TComX::ReadBlockStart() {
    QuietTimer_->Stop();
    ReadStatus_ = 2;
    ComControlTimer_->Stop();
    ComControlTimer_->SetInterval(kBlockTimeoutMs);
    ComControlTimer_->SetSingleShot(false);
    ComControlTimer_->SetHandler([this] { Upload16CSTimer(); });
    DiscardInput();
    SendByte(kSyn);
    Reply_.clear();
    ComControlTimer_->Start();
    BlockStep_ = 1;
}

void TComX::ReadBlockReceive() {
    switch (BlockStep_) {
        case 1: {
            std::uint8_t byte = 0;
            if (!ReadOne(byte))
                return;
            if (byte != kAck) {
                // Part of an earlier answer, still arriving: its 0x06 may come next.
                LineDoubt_ = true;
                return;
            }
            const std::uint8_t request[4] = {
                ReadCommand(), High(Address_), Low(Address_),
                static_cast<std::uint8_t>(High(Address_) ^ Low(Address_))};
            SendBytes(request, sizeof request);
            ComControlTimer_->Start();
            BlockStep_ = 2;
            return;
        }
        case 2:
            AppendWaiting();
            if (!Reply_.empty() && At(Reply_, 0) == kAck) {
                ComControlTimer_->Start();
                BlockStep_ = 3;
                // The whole reply may have come with the 0x06; waiting for more would only
                // end in the time-out and a repeated block.
                if (Reply_.size() > 1)
                    EvaluateBlock();
            }
            return;
        case 3:
            AppendWaiting();
            EvaluateBlock();
            return;
        case kQuietStep:
            if (!QuietPassed_) {
                // A byte behind the reply: the reply ran ahead of its request.
                if (Port_.BytesAvailable() > 0)
                    ReadBlockStart();
            } else if (HaveCandidate_ && Pending_ == Candidate_) {
                AcceptBlock(Pending_);
            } else {
                Candidate_ = Pending_;
                HaveCandidate_ = true;
                ReadBlockStart();
            }
            return;
        default:
            return;
    }
}

void TComX::EvaluateBlock() {
    if (Reply_.size() < kBlockReplyLength)
        return;
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i <= 16; ++i)
        sum = static_cast<std::uint8_t>(sum ^ At(Reply_, i));
    if (sum != At(Reply_, 17)) {
        LineDoubt_ = true;
        ReadStatus_ = 3;
        return;
    }
    if (Reply_.size() > kBlockReplyLength)
        LineDoubt_ = true;
    std::array<std::uint8_t, 16> block{};
    for (std::size_t i = 0; i < 16; ++i)
        block[i] = At(Reply_, i + 1);
    if (LineDoubt_) {
        AwaitQuietAfterBlock(block);
    } else if (ReadingBack_ || (HaveCandidate_ && block == Candidate_)) {
        AcceptBlock(block);
    } else {
        // The read command's checksum leaves the command byte out: one flipped bit turns an
        // area-2 read into an area-1 read, whose answer adds up all the same. A flip rarely
        // strikes twice in the same way, so an uploaded block counts only when the next read
        // agrees. A read-back is not read twice: a wrong answer there only costs a rewrite.
        Candidate_ = block;
        HaveCandidate_ = true;
        ReadBlockStart();
    }
}

// A late answer to an earlier request, taken for the current one, is shifted by a byte and can
// add up all the same; it leaves the real answer's last byte behind it, which the pause shows.
// Each reread can run into the same leftover, so two replies that passed must also agree.
void TComX::AwaitQuietAfterBlock(const std::array<std::uint8_t, 16>& block) {
    ComControlTimer_->Stop();
    Pending_ = block;
    QuietPassed_ = false;
    BlockStep_ = kQuietStep;
    QuietTimer_->SetInterval(kBlockQuietMs);
    QuietTimer_->Start();
}

void TComX::QuietAfterBlock() {
    QuietTimer_->Stop();
    if (BlockStep_ != kQuietStep)
        return;
    QuietPassed_ = Port_.BytesAvailable() == 0;
    TransactionStep();
}

void TComX::AcceptBlock(const std::array<std::uint8_t, 16>& block) {
    ComControlTimer_->Stop();
    StoreBlock(block);
    HaveCandidate_ = false;
    BlockTimeouts_ = 0;
    ReadStatus_ = 1;
    BlockStep_ = 0;
}

void TComX::AbandonBlockRead() {
    QuietTimer_->Stop();
    BlockStep_ = 0;
    ReadingBack_ = false;
}

void TComX::LearnUnitBytes(std::uint16_t address, std::span<const std::uint8_t> bytes,
                           int firmware) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (auto offset = ImageOffsetOf(Area_, static_cast<std::uint16_t>(address + i), firmware))
            Contents_.Learn(*offset, bytes.subspan(i, 1));
    }
}

void TComX::StoreBlock(const std::array<std::uint8_t, 16>& block) {
    if (ReadingBack_) {
        ReadBack_ = block;
        LearnUnitBytes(Address_, block, Data_.DeviceData.Firmware);
        return;
    }
    LearnUnitBytes(Address_, block, Data_.ReceiveData.Firmware);
    if (Target_.Pos + 16 <= Target_.Bytes.size()) {
        std::copy(block.begin(), block.end(),
                  Target_.Bytes.begin() + static_cast<long>(Target_.Pos));
        Target_.Pos += 16;
    }
}

void TComX::Upload16CSTimer() {
    ComControlTimer_->Stop();
    LineDoubt_ = true;
    ++BlockTimeouts_;
    if (BlockTimeouts_ < kMaxBlockTimeouts) {
        ReadBlockStart();
    } else {
        // Given up; the job's own time-out reports it.
        BlockTimeouts_ = 0;
        BlockStep_ = 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Single-byte writes: the echo variant up to firmware index 6, the checksummed one above.

void TComX::WriteStart() {
    if (UsesChecksumWrite()) {
        ChecksumStart();
    } else {
        WriteRetries_ = 0;
        EchoRestart();
    }
}

void TComX::WriteReceive() {
    if (UsesChecksumWrite()) {
        ChecksumReceive();
    } else {
        EchoReceive();
    }
}

void TComX::EchoRestart() {
    WriteStatus_ = 2;
    EchoSendCommand();
}

void TComX::EchoSendCommand() {
    DiscardInput();
    const std::uint8_t request[2] = {WriteCommand(false), High(Address_)};
    SendBytes(request, sizeof request);
    Reply_.clear();
    // The interval stays whatever the last transaction left: the unit echoes within a few ms.
    ComControlTimer_->SetHandler([this] { Download1Timer(); });
    ComControlTimer_->Start();
    EchoStep_ = 1;
}

void TComX::EchoReject() {
    LineDoubt_ = true;
    ++WriteRetries_;
    if (WriteRetries_ > kMaxWriteRetries) {
        WriteStatus_ = 3;
        return;
    }
    const std::uint8_t reject[2] = {kNak, kSyn};
    SendBytes(reject, sizeof reject);
    EchoStep_ = 0;
}

void TComX::EchoReceive() {
    const std::uint8_t d = CurrentByte();
    std::uint8_t byte = 0;
    switch (EchoStep_) {
        case 0:
            // After a rejection: the unit's answer to 0x16 (or the timer) starts the byte over.
            EchoSendCommand();
            return;
        case 1:
            if (!ReadOne(byte) || byte != High(Address_))
                return;
            SendByte(Low(Address_));
            ComControlTimer_->Start();
            EchoStep_ = 2;
            return;
        case 2:
            if (!ReadOne(byte) || byte != Low(Address_))
                return;
            SendByte(d);
            ComControlTimer_->Start();
            EchoStep_ = 3;
            return;
        case 3:
            if (!ReadOne(byte))
                return;
            if (byte == d) {
                SendByte(kAck);
                ComControlTimer_->Start();
                EchoStep_ = 4;
            } else {
                EchoReject();
            }
            return;
        case 4:
            AppendWaiting();
            // The two reply bytes may come in separate notifications; silence is the timer's.
            if (Reply_.size() < 2)
                return;
            if (At(Reply_, 0) == d && At(Reply_, 1) == kAck) {
                ComControlTimer_->Stop();
                WriteStatus_ = 1;
                Activity_ = true;
                EchoStep_ = 5;
            } else {
                EchoReject();
                if (WriteStatus_ != 3)
                    Activity_ = true;
            }
            return;
        default:
            return;
    }
}

void TComX::Download1Timer() {
    ComControlTimer_->Stop();
    LineDoubt_ = true;
    EchoRestart();
}

void TComX::ChecksumStart() {
    WriteStatus_ = 2;
    ComControlTimer_->Stop();
    ComControlTimer_->SetInterval(kChecksumWriteTimeoutMs);
    ComControlTimer_->SetSingleShot(false);
    ComControlTimer_->SetHandler([this] { Download1CSTimer(); });

    EmptyPolls_ = 0;
    DiscardInput();
    const std::uint8_t d = CurrentByte();
    const std::uint8_t request[5] = {WriteCommand(true), High(Address_), Low(Address_), d,
                                     static_cast<std::uint8_t>(High(Address_) ^ Low(Address_) ^ d)};
    SendBytes(request, sizeof request);
    ComControlTimer_->Start();
    Reply_.clear();
}

void TComX::ChecksumReceive() {
    if (WriteStatus_ != 2)
        return;
    if (Port_.BytesAvailable() > 0) {
        AppendWaiting();
        RxCount_ = 0;
        const std::uint8_t first = At(Reply_, 0);
        if (first == kAck || first == kEsc) {
            ComControlTimer_->Stop();
            WriteStatus_ = 1;
            Activity_ = true;
            EmptyPolls_ = 0;
        }
        return;
    }
    ++EmptyPolls_;
    if (EmptyPolls_ > kMaxEmptyPolls) {
        const std::uint8_t abort[3] = {kEot, kEot, kEot};
        SendBytes(abort, sizeof abort);
        WriteStatus_ = 3;
    }
}

void TComX::Download1CSTimer() {
    ComControlTimer_->Stop();
    LineDoubt_ = true;
    ChecksumStart();
}

// ---------------------------------------------------------------------------------------------
// Live record: 0xA0, answered by Length bytes.

void TComX::LiveStart() {
    ComControlTimer_->Stop();
    LiveStatus_ = 0;
    DiscardInput();
    SendByte(kLiveRequest);
    LiveReceived_ = 0;
    LiveRx_.resize(Length_);
}

// Live records have no frame, so a byte that arrives between the request and the record shifts
// it, and one record byte lost on top makes the length add up. A stream (re)starts after silence
// or in the middle of another exchange (the watchdog does not wait for one to end): an answer to
// what it abandoned may still be on its way. The first request waits until the line has been
// quiet for a while.
void TComX::AwaitQuietLine() {
    ComControlTimer_->Stop();
    DiscardInput();
    TransState_ = tstate::StreamQuiet;
    QuietTimer_->SetInterval(kLiveQuietMs);
    QuietTimer_->Start();
}

void TComX::QuietTimerTick() {
    if (TransState_ != tstate::StreamQuiet) {
        QuietAfterBlock();
        return;
    }
    QuietTimer_->Stop();
    if (Port_.BytesAvailable() > 0) {
        AwaitQuietLine();
        return;
    }
    LiveStart();
    TransState_ = tstate::StreamRecord;
}

void TComX::LiveReceive() {
    if (LiveStatus_ == 2)
        return;
    // Never more than the record still lacks: a longer answer must not run past the buffer.
    const std::size_t want = std::min<std::size_t>(Length_ - LiveReceived_, Port_.BytesAvailable());
    if (want > 0)
        LiveReceived_ += Port_.ReadBuf(LiveRx_.data() + LiveReceived_, want);
    if (LiveReceived_ < Length_)
        return;
    // The record is shown only after the pause that follows it (CommitLiveRecord).
    Activity_ = true;
    LiveStatus_ = 2;
}

bool TComX::CommitLiveRecord() {
    if (LiveStatus_ != 2 || LiveReceived_ < Length_)
        return false;
    LiveReceived_ = 0;
    // Live records carry no checksum or frame. A stray byte that came before the unit's answer
    // (line noise, the late tail of an earlier exchange) shifts the record by one and leaves its
    // last byte waiting: a record that more bytes follow within the pause is not shown, nor one
    // whose port closed meanwhile, which can no longer tell.
    if (!Port_.IsOpen() || Port_.BytesAvailable() > 0)
        return false;
    // The record area is read on the online mode's own tick, which may fall while the next
    // record is arriving: it only ever gets whole records.
    const auto area = Target_.Bytes.subspan(std::min(Target_.Pos, Target_.Bytes.size()));
    std::copy_n(LiveRx_.begin(), std::min<std::size_t>(Length_, area.size()), area.begin());
    NewRecord_ = true;
    return true;
}

}  // namespace zv
