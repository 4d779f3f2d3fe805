// What the unit's replies cannot tell: a write's acknowledgement names neither the request it
// answers nor the area that took the byte, and a block reply does not name its address. Each
// case below makes one such reply lie, with a single deterministic line fault, and checks that
// the link neither reports wrong bytes as written nor takes a stale block for the one it asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "data/zv_data_class.h"
#include "line/sim_line.h"
#include "line/virtual_timer_service.h"
#include "link/sim_unit_fixture.h"
#include "link/tcomx.h"
#include "link/transfer_table.h"
#include "unit/sim_unit.h"

namespace zv::test {
namespace {

using sim::LineDirection;
using sim::LineFault;
using sim::LineFaultKind;

constexpr std::uint16_t kIdleCurveAddress = 208;  // area 2, sixteen bytes
constexpr std::size_t kRequestBytes = 5;          // checksummed write: command, hi, lo, d, xor

class ReadBackTest : public SimUnitTest {
  protected:
    void SetUp() override {
        SimUnitTest::SetUp();
        for (std::size_t i = 0; i < kImageSize; ++i)
            Data.DeviceData.Image[i] = static_cast<std::uint8_t>(i * 13 + 5);
        Clock.Advance(500);
    }

    // A fault on the k-th byte from now in a direction.
    void Fault(LineDirection direction, std::uint64_t k, LineFaultKind kind, std::uint8_t mask,
               std::uint64_t delayUs = 0) {
        Line.InjectFault(LineFault{direction, Line.ByteCount(direction) + k, kind, mask, delayUs});
    }

    std::uint8_t Run(TTransfer transfer) {
        EXPECT_TRUE(StartTransfer(*Link, Data, transfer));
        EXPECT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 60000));
        return Link->JobResult();
    }

    bool UnitHolds(std::size_t imageOffset, std::uint16_t address, std::size_t n) const {
        const auto& area = Unit->AreaBytes(2);
        return std::equal(area.begin() + address, area.begin() + address + n,
                          Data.DeviceData.Image.begin() + static_cast<long>(imageOffset));
    }

    // Runs the stream until a record has arrived and the pacing pause has begun: the next byte
    // the PC sends is the first of whatever that pause starts.
    void RunToPacingPause() {
        ASSERT_TRUE(Clock.RunUntil(
            [&] { return Link->TransState() == tstate::Idle && Link->PacingTimer().Active(); },
            5000));
    }
};

class ChecksumWriteReadBackTest : public ReadBackTest {};

// One flipped bit turns the area-2 write 0xA3 into the area-0 write 0xA7; the checksum does not
// cover the command, so the unit stores the byte in area 0 and acknowledges it.
TEST_P(ChecksumWriteReadBackTest, AWriteThatWentToAnotherAreaIsWrittenAgain) {
    Fault(LineDirection::PcToUnit, 3 * kRequestBytes, LineFaultKind::Corrupt, 0x04);
    EXPECT_EQ(Run(TTransfer::IdleCurveDownload), jobresult::Done);
    EXPECT_EQ(Unit->AreaBytes(0)[kIdleCurveAddress + 3], Data.DeviceData.Image[208 + 3])
        << "the fault struck: area 0 took the byte";
    EXPECT_TRUE(UnitHolds(208, kIdleCurveAddress, 16));
}

// The acknowledgement of byte 3 comes after the 200 ms time-out: byte 3 is sent again, and each
// acknowledgement then counts for the byte after the one it answers. The request of byte 4 loses
// a byte on the way and is never stored, yet the acknowledgement of byte 3's repetition was
// taken for it.
TEST_P(ChecksumWriteReadBackTest, ALateAcknowledgementDoesNotCountForTheNextByte) {
    Fault(LineDirection::UnitToPc, 3, LineFaultKind::Delay, 0, 210000);
    Fault(LineDirection::PcToUnit, 5 * kRequestBytes + 3, LineFaultKind::Drop, 0);
    EXPECT_EQ(Run(TTransfer::IdleCurveDownload), jobresult::Done);
    EXPECT_TRUE(UnitHolds(208, kIdleCurveAddress, 16));
}

// A unit that acknowledges every byte and keeps none: the download cannot be confirmed and
// fails instead of being reported done.
TEST_P(ChecksumWriteReadBackTest, ADownloadTheUnitDoesNotKeepFails) {
    Unit->ForgetWrites(true);
    EXPECT_EQ(Run(TTransfer::FuelMapDownload), jobresult::TimedOut);
    EXPECT_EQ(Run(TTransfer::IdleCurveDownload), jobresult::TimedOut);
}

// A queued edit inside the live stream: the same flipped bit, and a unit that forgets.
TEST_P(ChecksumWriteReadBackTest, AQueuedEditCountsOnlyOnceTheUnitHoldsIt) {
    ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::LiveStream));
    const std::uint16_t address = FuelMapAddress(GetParam()) + 40;
    const std::uint8_t edit[2] = {0x5A, 0xC3};
    RunToPacingPause();
    Link->QueueWrite(2, edit, wkind::TwoBytes, address);
    Fault(LineDirection::PcToUnit, 0, LineFaultKind::Corrupt, 0x04);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->QueuedWrites() == 0; }, 5000));
    EXPECT_TRUE(std::any_of(Unit->WriteLog().begin(), Unit->WriteLog().end(),
                            [](const sim::TSimWrite& w) { return w.Area == 0; }))
        << "the fault struck: the first byte went to area 0";
    EXPECT_EQ(Unit->Peek(2, address), 0x5A);
    EXPECT_EQ(Unit->Peek(2, address + 1), 0xC3);
    EXPECT_EQ(Link->WriteFailed(), 0);

    Unit->ForgetWrites(true);
    RunToPacingPause();
    Link->QueueWrite(2, edit + 1, wkind::OneByte, address);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->WriteFailed() != 0; }, 10000));
    EXPECT_EQ(Link->TakeWriteFailures(),
              (std::vector<TWriteFailure>{{2, wkind::OneByte, address}}));
    EXPECT_EQ(Data.DeviceData.ChangedOffline, 1) << "the operator learns the unit lacks the edit";
    EXPECT_EQ(Link->Job(), job::StreamWatch);
}

// The region's writes go out without reading back in between; the closing pass finds the byte
// of block 5 that went to area 0, rewrites it and reads its block again, and the whole region
// is read once more after that pass: 16 + 1 + 16 block reads.
TEST_P(ChecksumWriteReadBackTest, AWriteOfARegionThatWentToAnotherAreaIsWrittenAgain) {
    const std::uint16_t base = FuelMapAddress(GetParam());
    Fault(LineDirection::PcToUnit, (5 * 16 + 3) * kRequestBytes, LineFaultKind::Corrupt, 0x04);
    EXPECT_EQ(Run(TTransfer::FuelMapDownload), jobresult::Done);
    const auto& log = Unit->WriteLog();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const sim::TSimWrite& w) {
        return w.Area == 0 && w.Address == base + 5 * 16 + 3;
    })) << "the fault struck: block 5's byte 3 went to area 0";
    EXPECT_TRUE(UnitHolds(768, base, 256));
    EXPECT_EQ(Unit->RequestCount(0xA4), 33u);
}

INSTANTIATE_TEST_SUITE_P(Firmware, ChecksumWriteReadBackTest, ::testing::Values(7, 30));

// A block whose checksum byte is 0x06 and whose reply is held back past the 100 ms time-out:
// the late checksum byte passes for the answer to the repeated read's 0x16, the real answer then
// heads the reply, and the sixteen bytes taken are shifted by one yet add up.
TEST_P(ReadBackTest, AStaleBlockReplyIsNotTaken) {
    ImageBytes image = Data.DeviceData.Image;
    std::uint8_t sum = 0x06;
    for (std::size_t i = 0; i < 15; ++i) {
        image[i] = static_cast<std::uint8_t>(0x30 + i);
        sum = static_cast<std::uint8_t>(sum ^ image[i]);
    }
    image[15] = sum;  // the sixteen bytes XOR to 0x06
    Unit->LoadImage(image);
    // Unit bytes of the first block: 0x06 for the 0x16, then 0x06, sixteen bytes, checksum.
    Fault(LineDirection::UnitToPc, 18, LineFaultKind::Delay, 0, 120000);
    EXPECT_EQ(Run(TTransfer::DeviceDataUpload), jobresult::Done);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 256, Data.ReceiveData.Image.begin()));
}

INSTANTIATE_TEST_SUITE_P(Firmware, ReadBackTest, ::testing::Values(5, 30));

class RegionPassTest : public ReadBackTest {};

// Block 2's byte 9 lands on block 1's byte 9, confirmed before: its low address byte is
// garbled, and with it, so that nothing shows, its data byte (the write checksum still adds
// up) or the echo of the address byte (back into shape).
TEST_P(RegionPassTest, AWriteThatLandsInAConfirmedBlockIsCaught) {
    const std::uint16_t base = FuelMapAddress(GetParam());
    // PC bytes: block 1's sixteen five-byte writes, then block 2's.
    const std::uint64_t low = 16 * kRequestBytes + 9 * kRequestBytes + 2;
    Fault(LineDirection::PcToUnit, low, LineFaultKind::Corrupt, 0x10);
    if (GetParam() <= 6) {
        // Unit bytes: five per echo write; then hi, lo.
        Fault(LineDirection::UnitToPc, 16 * 5 + 9 * 5 + 1, LineFaultKind::Corrupt, 0x10);
    } else {
        Fault(LineDirection::PcToUnit, low + 1, LineFaultKind::Corrupt, 0x10);
    }
    EXPECT_EQ(Run(TTransfer::FuelMapDownload), jobresult::Done);
    const auto& log = Unit->WriteLog();
    const auto block2 = std::find_if(
        log.begin(), log.end(), [&](const sim::TSimWrite& w) { return w.Address == base + 16; });
    EXPECT_TRUE(std::any_of(block2, log.end(), [&](const sim::TSimWrite& w) {
        return w.Address == base + 9;
    })) << "the fault struck: a write of block 2 went to block 1";
    EXPECT_TRUE(UnitHolds(768, base, 256));
}

// The write variant changes above firmware index 6.
INSTANTIATE_TEST_SUITE_P(Firmware, RegionPassTest, ::testing::Values(6, 7));

class UploadReadTwiceTest : public ReadBackTest {
  protected:
    // One flipped bit turns the area-2 read 0xA4 into the area-1 read 0xA6. The request's
    // checksum leaves the command out, so the unit answers with sixteen bytes of the AFR area
    // at the same address, whose checksum adds up, on a line that showed no other trouble.
    void ExpectAreaFlipOnPcByteNotTaken(std::uint64_t commandByte) {
        ImageBytes image{};
        for (std::size_t i = 0; i < kImageSize; ++i)
            image[i] = static_cast<std::uint8_t>(i < 1792 ? i * 13 + 5 : i * 7 + 90);
        Unit->LoadImage(image);
        Fault(LineDirection::PcToUnit, commandByte, LineFaultKind::Corrupt, 0x02);
        EXPECT_EQ(Run(TTransfer::FuelMapUpload), jobresult::Done);
        EXPECT_TRUE(std::any_of(Line.Traffic().begin(), Line.Traffic().end(),
                                [](const sim::LineByte& b) { return b.Received == 0xA6; }))
            << "the fault struck: the unit read area 1";
        EXPECT_TRUE(std::equal(image.begin() + 768, image.begin() + 1024,
                               Data.ReceiveData.Image.begin() + 768));
    }
};

// PC bytes of the first block's first read: 0x16, then the read command.
TEST_P(UploadReadTwiceTest, AFirstReadFromTheWrongAreaIsNotTaken) {
    ExpectAreaFlipOnPcByteNotTaken(1);
}

// The second read, after a first one that was right, is not taken on trust either: 0x16, the
// first read's five-byte request, 0x16, then the second read's command.
TEST_P(UploadReadTwiceTest, ASecondReadFromTheWrongAreaIsNotTaken) {
    ExpectAreaFlipOnPcByteNotTaken(6);
}

// The fuel map lies at another address from firmware index 9 on.
INSTANTIATE_TEST_SUITE_P(Firmware, UploadReadTwiceTest, ::testing::Values(8, 9));

}  // namespace
}  // namespace zv::test
