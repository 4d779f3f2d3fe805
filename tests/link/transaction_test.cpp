// The byte exchanges, as they appear on the line and in the unit's memory.
#include <algorithm>
#include <array>
#include <numeric>

#include "link/link_fixture.h"

namespace zv::test {
namespace {

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& v, std::size_t from,
                                std::size_t n) {
    return std::vector<std::uint8_t>(
        v.begin() + static_cast<std::ptrdiff_t>(from),
        v.begin() + static_cast<std::ptrdiff_t>(std::min(v.size(), from + n)));
}

class PingTest : public LinkTest {};

TEST_F(PingTest, AnsweredPingIsDone) {
    Link->SetJob(job::Ping);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(PcBytes(), (std::vector<std::uint8_t>{0x16}));
    EXPECT_EQ(Link->PingStatus(), 2);
}

TEST_F(PingTest, OtherAnswerOnEveryTryIsRefusedAfterTenTries) {
    Unit.PingReply = 0x15;
    Link->SetJob(job::Ping);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Refused);
    // Each try sends 0x16 and, on the wrong answer, 0x16 once more.
    EXPECT_EQ(Count(PcBytes(), 0x16), 20u);
}

// Five ticks without an answer, then the next tick pings again: 600 ms per attempt.
TEST_F(PingTest, SilentUnitTimesOutAfterTenAttempts) {
    Unit.Silent = true;
    Link->SetJob(job::Ping);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_EQ(Count(PcBytes(), 0x16), 10u);
    EXPECT_GE(ms, 5900u);
    EXPECT_LE(ms, 6100u);
}

TEST_F(PingTest, LongPingKeepsTryingUntilTheUnitAnswers) {
    Unit.Silent = true;
    Link->SetJob(job::PingLong);
    Clock.Advance(60000);
    EXPECT_NE(Link->Job(), job::Idle);
    EXPECT_EQ(Link->JobResult(), jobresult::None);
    EXPECT_NEAR(static_cast<double>(Count(PcBytes(), 0x16)), 100.0, 1.0);
    Unit.Silent = false;
    RunJob(1000);
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
}

class IdentTest : public LinkTest {};

TEST_F(IdentTest, ReplyArrivingInPiecesCompletesWithAllBytes) {
    Unit.IdentText = std::string(170, 'a') + "ZV_end";
    Line.SetRxChunk(7);
    std::string text;
    Link->StartJob(job::Identify, 2, 176, text, TComX::kNoAddress);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(text, Unit.IdentText);
    EXPECT_EQ(PcBytes(), (std::vector<std::uint8_t>{0x02, 0x02}));
}

// The reply has no checksum: it is taken once two replies in a row agree, so one that arrived
// changed is followed by two more requests (reply 1 and reply 3 are not in a row).
TEST_F(IdentTest, TakenWhenTwoRepliesInARowAgree) {
    Unit.IdentText = "ZV_00000003     ZV000450" + std::string(152, ' ');
    Fault(LineDirection::UnitToPc, 176 + 20, LineFaultKind::Corrupt, 0x01);  // a serial digit
    std::string text;
    Link->StartJob(job::Identify, 2, 176, text, TComX::kNoAddress);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(text, Unit.IdentText);
    EXPECT_EQ(PcBytes(), (std::vector<std::uint8_t>{0x02, 0x02, 0x02, 0x02}));
}

// A character outside the printable ones where the program reads a field (here in the version
// code) is garbled however often it comes: such a reply is never taken.
TEST_F(IdentTest, ReplyWithAnUnprintableFieldCharacterIsNeverTaken) {
    Unit.IdentText = std::string(176, 'I');
    Unit.IdentText[74] = '\xF5';
    std::string text = "before";
    Link->StartJob(job::Identify, 2, 176, text, TComX::kNoAddress);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_EQ(text, "before");
    EXPECT_GE(Count(PcBytes(), 0x02), 2u);

    // Outside the fields the unit's own wording may hold any byte.
    Unit.IdentText[74] = 'I';
    Unit.IdentText[100] = '\xF5';
    Link->StartJob(job::Identify, 2, 176, text, TComX::kNoAddress);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(text, Unit.IdentText);
}

TEST_F(IdentTest, LongerReplyIsCutAndByteTargetGetsALengthPrefix) {
    Unit.IdentText = std::string(176, 'x') + "tail";
    std::array<std::uint8_t, 177> buffer{};
    Link->StartJob(job::Identify, 2, 176, buffer, TComX::kNoAddress);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(buffer[0], 176);
    EXPECT_TRUE(
        std::all_of(buffer.begin() + 1, buffer.end(), [](std::uint8_t b) { return b == 'x'; }));
}

TEST_F(IdentTest, ShortReplyTimesOutWithin500Ms) {
    Unit.IdentText = std::string(100, 'x');
    std::string text = "before";
    Link->StartJob(job::Identify, 2, 176, text, TComX::kNoAddress);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_EQ(text, "before");
    EXPECT_GE(ms, 600u);
    EXPECT_LE(ms, 700u);
}

class BlockReadTest : public LinkTest {
  protected:
    void FillUnit() {
        for (std::size_t i = 0; i < Unit.Area1.size(); ++i)
            Unit.Area1[i] = static_cast<std::uint8_t>(i * 7 + 3);
        for (std::size_t i = 0; i < Unit.Area2.size(); ++i)
            Unit.Area2[i] = static_cast<std::uint8_t>(i * 13 + 1);
    }
    std::array<std::uint8_t, 256> Buffer{};
};

TEST_F(BlockReadTest, ReadsSixteenBlocksWithTheirRequestsOnTheLine) {
    FillUnit();
    Link->StartJob(job::Read256, 1, 256, Buffer, 0x0200);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Link->Counter(), 15);
    EXPECT_TRUE(std::equal(Buffer.begin(), Buffer.end(), Unit.Area1.begin() + 0x200));
    const auto pc = PcBytes();
    // Each block counts only when a second read agrees with the first.
    ASSERT_EQ(pc.size(), 32u * 5u);
    EXPECT_EQ(Slice(pc, 0, 10), (std::vector<std::uint8_t>{0x16, 0xA6, 0x02, 0x00, 0x02, 0x16, 0xA6,
                                                           0x02, 0x00, 0x02}));
    EXPECT_EQ(Slice(pc, 155, 5), (std::vector<std::uint8_t>{0x16, 0xA6, 0x02, 0xF0, 0xF2}));
}

TEST_F(BlockReadTest, WrongChecksumStoresNothingAndRepeatsTheBlockAfter100Ms) {
    FillUnit();
    Buffer.fill(0xEE);
    // Unit bytes: 0x06 for the ping, then 0x06 and the first data byte of the block.
    Fault(LineDirection::UnitToPc, 2, LineFaultKind::Corrupt, 0x01);
    Link->StartJob(job::Read256, 2, 256, Buffer, 0x0000);
    Clock.RunUntil([&] { return Link->ReadStatus() == 3; }, 1000);
    EXPECT_EQ(Buffer[0], 0xEE);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    // The bad reply could have been a late answer out of step with its request: from then on
    // each block counts only when a second read agrees with it.
    EXPECT_EQ(Count(PcBytes(), 0x16), 1u + 16u * 2u);
    EXPECT_TRUE(std::equal(Buffer.begin(), Buffer.end(), Unit.Area2.begin()));
    EXPECT_GE(ms, 100u);
}

TEST_F(BlockReadTest, FirstAnswerOtherThanAckSendsNoReadCommand) {
    FillUnit();
    Fault(LineDirection::UnitToPc, 0, LineFaultKind::Corrupt, 0x10);
    Link->StartJob(job::Read256, 2, 256, Buffer, 0x0000);
    Clock.Advance(150);  // first tick at 100 ms; the reply to 0x16 is wrong
    EXPECT_EQ(PcBytes(), (std::vector<std::uint8_t>{0x16}));
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Slice(PcBytes(), 0, 3), (std::vector<std::uint8_t>{0x16, 0x16, 0xA4}));
}

TEST_F(BlockReadTest, TenTimeoutsAbandonTheBlockAndTheJobTimesOut) {
    Unit.Silent = true;
    Link->StartJob(job::Read256, 2, 256, Buffer, 0x0000);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_EQ(PcBytes(), std::vector<std::uint8_t>(10, 0x16));
    EXPECT_GE(ms, 5000u);
    EXPECT_LE(ms, 5200u);
}

TEST_F(BlockReadTest, AckAndBlockInOneNotificationAreEvaluatedAtOnce) {
    FillUnit();
    Line.SetRxChunk(0);  // the whole 18-byte reply comes with one notification
    Link->StartJob(job::Read256, 2, 256, Buffer, 0x0000);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    // Two reads a block, and none repeated by its time-out.
    EXPECT_EQ(Count(PcBytes(), 0x16), 32u);
    EXPECT_LE(ms, 1000u);
    EXPECT_TRUE(std::equal(Buffer.begin(), Buffer.end(), Unit.Area2.begin()));
}

class EchoWriteTest : public LinkTest {
  protected:
    EchoWriteTest() : LinkTest(5) {}
    std::array<std::uint8_t, 256> Source{};
};

TEST_F(EchoWriteTest, OneByteGoesOutAsCommandAddressAndDataAndIsConfirmed) {
    ASSERT_FALSE(Link->UsesChecksumWrite());
    std::iota(Source.begin(), Source.end(), std::uint8_t{0x40});
    Link->StartJob(job::Write16, 2, 16, Source, 208);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Slice(PcBytes(), 0, 5), (std::vector<std::uint8_t>{0xA2, 0x00, 0xD0, 0x40, 0x06}));
    EXPECT_EQ(Slice(UnitBytes(), 0, 5), (std::vector<std::uint8_t>{0x00, 0xD0, 0x40, 0x40, 0x06}));
    EXPECT_TRUE(std::equal(Source.begin(), Source.begin() + 16, Unit.Area2.begin() + 208));
    EXPECT_EQ(Count(PcBytes(), 0x15), 0u);
}

TEST_F(EchoWriteTest, ReplySplitAcrossNotificationsIsNotAFailure) {
    Source.fill(0x33);
    // The final 0x06 of the first byte's reply comes 10 ms after the data byte.
    Fault(LineDirection::UnitToPc, 4, LineFaultKind::Delay, 0, 10000);
    Link->StartJob(job::Write16, 2, 16, Source, 0x0040);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Count(PcBytes(), 0x15), 0u);
    EXPECT_EQ(Unit.Stores, 16u);
}

TEST_F(EchoWriteTest, SixRejectionsFailTheByteAndReadingTheBlockBackWritesItAgain) {
    std::iota(Source.begin(), Source.end(), std::uint8_t{1});
    Unit.Area2.assign(Unit.Area2.size(), 0xAA);
    // First byte: the data echo is unit byte 2; each rejection costs the unit four bytes
    // (0x06 for the 0x16, then address high, address low and data again).
    for (std::uint64_t k = 0; k < 6; ++k)
        Fault(LineDirection::UnitToPc, 2 + 4 * k, LineFaultKind::Corrupt, 0x80);
    Link->StartJob(job::Write256, 2, 256, Source, 0x0300);
    Clock.RunUntil([&] { return Link->Counter() == 1; }, 1000);
    EXPECT_EQ(Unit.Area2[0x300], 0xAA);  // the failed byte did not reach the unit
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Link->Counter(), 255);
    // The first byte's exchange ends where the second byte's command begins.
    const auto all = PcBytes();
    const std::vector<std::uint8_t> second = {0xA2, 0x03, 0x01};
    const auto end = std::search(all.begin(), all.end(), second.begin(), second.end());
    const std::vector<std::uint8_t> pc(all.begin(), end);
    EXPECT_EQ(Count(pc, 0xA2), 6u);
    EXPECT_EQ(Count(pc, 0x15), 5u);
    // After each of the first five rejections 0x15 is followed by 0x16.
    for (std::size_t i = 0; i + 1 < pc.size(); ++i) {
        if (pc[i] == 0x15) {
            EXPECT_EQ(pc[i + 1], 0x16);
        }
    }
    EXPECT_TRUE(std::equal(Source.begin(), Source.end(), Unit.Area2.begin() + 0x300));
}

class ChecksumWriteTest : public LinkTest {
  protected:
    std::array<std::uint8_t, 256> Source{};
};

TEST_F(ChecksumWriteTest, RequestCarriesAddressDataAndXor) {
    ASSERT_TRUE(Link->UsesChecksumWrite());
    Source[0] = 0x5A;
    Link->StartJob(job::Write16, 2, 16, Source, 0x0104);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Slice(PcBytes(), 0, 5), (std::vector<std::uint8_t>{0xA3, 0x01, 0x04, 0x5A, 0x5F}));
    // Sixteen requests, then the block read back: 0x16 and the read command for 0x0104.
    EXPECT_EQ(PcBytes().size(), 80u + 5u);
    EXPECT_EQ(Slice(PcBytes(), 80, 5), (std::vector<std::uint8_t>{0x16, 0xA4, 0x01, 0x04, 0x05}));
    EXPECT_EQ(Unit.Area2[0x104], 0x5A);
}

TEST_F(ChecksumWriteTest, EscReplyCompletesLikeAck) {
    Unit.ChecksumReply = 0x1B;
    Source.fill(0x21);
    Link->StartJob(job::Write16, 1, 16, Source, 0x0200);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Slice(PcBytes(), 0, 5), (std::vector<std::uint8_t>{0xA5, 0x02, 0x00, 0x21, 0x23}));
    EXPECT_EQ(Unit.Area1[0x20F], 0x21);
}

TEST_F(ChecksumWriteTest, WrongReplyIsRepeatedAfter200Ms) {
    Source.fill(0x77);
    Fault(LineDirection::UnitToPc, 0, LineFaultKind::Corrupt, 0x40);
    Link->StartJob(job::Write16, 2, 16, Source, 0x0020);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Count(PcBytes(), 0xA3), 17u);
    EXPECT_GE(ms, 300u);
}

TEST_F(ChecksumWriteTest, SilentUnitGetsTheRequestEvery200MsUntilTheJobTimesOut) {
    Unit.Silent = true;
    Link->StartJob(job::Write16, 2, 16, Source, 0x0020);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_GE(ms, 5000u);
    EXPECT_NEAR(static_cast<double>(Count(PcBytes(), 0xA3)), 25.0, 1.0);
    EXPECT_EQ(Unit.Stores, 0u);
}

TEST_F(ChecksumWriteTest, ElevenEmptyReceiveStepsAbortWithThreeEots) {
    Unit.Silent = true;
    Link->StartJob(job::Write256, 2, 256, Source, 0x0020);
    Clock.Advance(110);  // the request is out
    for (int i = 0; i < 11; ++i)
        Link->ComPortDataAvailable();
    EXPECT_EQ(Link->WriteStatus(), 2);  // the eleventh empty step moved on to the next byte
    EXPECT_EQ(Link->Counter(), 1);
    Clock.Advance(20);
    const auto pc = PcBytes();
    ASSERT_GE(pc.size(), 8u);
    EXPECT_EQ(Slice(pc, 5, 3), (std::vector<std::uint8_t>{0x04, 0x04, 0x04}));
}

}  // namespace
}  // namespace zv::test
