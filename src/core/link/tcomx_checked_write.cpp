// Writes that count only once the unit holds them. The unit's acknowledgement of a write names
// neither the request it answers nor the area that took the byte: the write checksum leaves the
// command byte out, so one flipped bit sends an area-2 byte into area 0 and it is acknowledged
// all the same, and an acknowledgement that comes late is taken for the next byte's. So written
// bytes are read back with the block read, which carries a checksum; the bytes that differ are
// written again, a bounded number of times, and a block is done only when the read-back matches.
//
// A single block (a 16-byte download, a queued edit) is read back as soon as its bytes are out.
// A region of several blocks is written whole first and then read back block by block in a
// closing pass: a write whose address and data are both garbled so that its checksum still adds
// up (or whose address echo is garbled back into shape) lands in another block, perhaps one
// already read back, so a pass that rewrote anything is followed by another, and the region is
// done only when a whole pass matches. Reading each block back as it is written as well would
// only read the region twice on a clean line: the closing pass finds the same bytes.
#include <bit>

#include "link/tcomx.h"
#include "link/transfer_table.h"

namespace zv {

namespace {

// Rewrites of a block before it is given up: a line that garbles this many rounds in a row is
// not one to trust with the data.
constexpr std::uint8_t kMaxRewrites = 3;
// Read-back passes over a whole region that each found bytes to rewrite, before the region is
// given up.
constexpr std::uint8_t kMaxRegionPasses = 3;

std::uint16_t AllBytes(std::size_t length) {
    return static_cast<std::uint16_t>((1u << length) - 1u);
}

}  // namespace

void TComX::BeginCheckedBlock(std::uint16_t address, std::size_t length, std::size_t total) {
    RegionPasses_ = 0;
    RegionLength_ = total;
    CheckBlock(0, address, length, AllBytes(length));
}

bool TComX::ReadBackDeferred() const {
    return RegionPasses_ == 0 && RegionLength_ > CheckLength_;
}

void TComX::CheckBlock(std::size_t first, std::uint16_t address, std::size_t length,
                       std::uint16_t unconfirmed) {
    CheckFirst_ = first;
    CheckAddress_ = address;
    CheckLength_ = length;
    Unconfirmed_ = unconfirmed;
    Rewrites_ = 0;
    WriteNextUnconfirmed();
}

// The region's last block is written, or read back: a pass reads every block back, unless the
// pass just ended found nothing to rewrite. A single block needs none: its own read-back covers
// it.
TComX::BlockOutcome TComX::FinishRegion() {
    const bool passMatched = RegionPasses_ > 0 && !PassRewrote_;
    if (RegionLength_ <= CheckLength_ || passMatched)
        return BlockOutcome::Confirmed;
    if (RegionPasses_ >= kMaxRegionPasses)
        return GiveUpBlock();
    ++RegionPasses_;
    PassRewrote_ = false;
    CheckBlock(0, static_cast<std::uint16_t>(CheckAddress_ - CheckFirst_), CheckLength_, 0);
    return BlockOutcome::Busy;
}

void TComX::WriteNextUnconfirmed() {
    if (Unconfirmed_ == 0) {
        ReadingBack_ = true;
        Address_ = CheckAddress_;
        ReadBlockFirst();
        return;
    }
    ReadingBack_ = false;
    CurrentBit_ = static_cast<std::size_t>(std::countr_zero(Unconfirmed_));
    Target_.Pos = CheckFirst_ + CurrentBit_;
    Address_ = static_cast<std::uint16_t>(CheckAddress_ + CurrentBit_);
    // A rewrite in the closing pass leaves the progress where it was.
    if (RegionPasses_ == 0)
        Counter_ = static_cast<std::int32_t>(Target_.Pos);
    // From the request on, the byte may or may not be in the unit until it is read back.
    if (auto offset = ImageOffsetOf(Area_, Address_, Data_.DeviceData.Firmware))
        Contents_.Unlearn(*offset);
    WriteStart();
}

TComX::BlockOutcome TComX::CheckedBlockStep(ByteFailure onFailure) {
    if (ReadingBack_) {
        ReadBlockReceive();
        if (ReadStatus_ != 1)
            return BlockOutcome::Busy;
        // An answered read-back is a sign of life like the write before it: a stream whose
        // edits take long to confirm must not be restarted in the middle of one.
        Activity_ = true;
        return CompareReadBack();
    }
    WriteReceive();
    const bool failed = WriteStatus_ == 3;
    if (failed && onFailure == ByteFailure::Abort)
        return BlockOutcome::Failed;
    if (WriteStatus_ == 1 || (failed && onFailure == ByteFailure::Skip)) {
        Unconfirmed_ = static_cast<std::uint16_t>(Unconfirmed_ & ~(1u << CurrentBit_));
        // The region's closing pass reads the block back; until then it counts as done.
        if (Unconfirmed_ == 0 && ReadBackDeferred())
            return BlockOutcome::Confirmed;
        // An edit under way when the stream was asked to stop is still finished and checked:
        // until the port closes it can still count as delivered.
        WriteNextUnconfirmed();
    }
    return BlockOutcome::Busy;
}

TComX::BlockOutcome TComX::CompareReadBack() {
    ReadingBack_ = false;
    std::uint16_t differing = 0;
    for (std::size_t i = 0; i < CheckLength_; ++i) {
        if (ReadBack_[i] != Target_.Bytes[CheckFirst_ + i])
            differing = static_cast<std::uint16_t>(differing | (1u << i));
    }
    if (differing == 0)
        return BlockOutcome::Confirmed;
    if (Rewrites_ >= kMaxRewrites)
        return GiveUpBlock();
    ++Rewrites_;
    PassRewrote_ = true;
    Unconfirmed_ = differing;
    WriteNextUnconfirmed();
    return BlockOutcome::Busy;
}

TComX::BlockOutcome TComX::GiveUpBlock() {
    ComControlTimer_->Stop();
    return BlockOutcome::Failed;
}

void TComX::WriteBlockStep(ByteFailure onFailure) {
    BlockOutcome outcome = CheckedBlockStep(onFailure);
    if (outcome == BlockOutcome::Confirmed) {
        if (CheckFirst_ + CheckLength_ < RegionLength_) {
            // While the region is written the next block is written; in a closing pass it is
            // only read back.
            CheckBlock(CheckFirst_ + CheckLength_,
                       static_cast<std::uint16_t>(CheckAddress_ + CheckLength_), CheckLength_,
                       RegionPasses_ == 0 ? AllBytes(CheckLength_) : 0);
            return;
        }
        outcome = FinishRegion();
    }
    switch (outcome) {
        case BlockOutcome::Busy:
            return;
        case BlockOutcome::Confirmed:
            Counter_ = static_cast<std::int32_t>(RegionLength_ - 1);
            WriteStatus_ = 1;
            break;
        case BlockOutcome::Failed:
            WriteStatus_ = 3;
            break;
    }
    TransState_ = tstate::Idle;
}

}  // namespace zv
