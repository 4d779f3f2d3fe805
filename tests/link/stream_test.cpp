// The live stream: pacing, the watchdog and the edits queued meanwhile.
#include <algorithm>
#include <array>
#include <span>

#include "link/link_fixture.h"

namespace zv::test {
namespace {

class StreamTest : public LinkTest {
  protected:
    explicit StreamTest(int firmware = 30) : LinkTest(firmware) {}

    void StartStream() {
        Unit.LiveLength = 24;
        ASSERT_TRUE(
            Link->StartJob(job::StreamStart, 2, 24, Data.LiveRecords.Live24, TComX::kNoAddress));
    }
    // Arrival times (ms) of the PC's bytes with this value.
    std::vector<double> TimesOf(std::uint8_t value,
                                LineDirection dir = LineDirection::PcToUnit) const {
        std::vector<double> t;
        for (const auto& b : Line.Traffic()) {
            if (b.Direction == dir && b.Sent == value)
                t.push_back(static_cast<double>(b.EndUs) / 1000.0);
        }
        return t;
    }
    // Runs until the pause after a record, when queued writes are taken.
    void UntilPause() {
        ASSERT_TRUE(Clock.RunUntil([&] { return Link->PacingTimer().Active(); }, 10000));
    }
};

TEST_F(StreamTest, RecordsFollowEachOtherAfterA70MsPause) {
    StartStream();
    Clock.Advance(2000);
    const auto t = TimesOf(0xA0);
    ASSERT_GT(t.size(), 15u);
    // Request and 24-byte record take 25 bytes of wire time, then the pause.
    for (std::size_t i = 1; i < t.size(); ++i)
        EXPECT_NEAR(t[i] - t[i - 1], 70.0 + 25 * 1.0417, 1.1);
    EXPECT_TRUE(Link->NewRecord());
    EXPECT_EQ(Data.LiveRecords.Live24[5], 5);
    EXPECT_EQ(Link->Job(), job::StreamWatch);
}

TEST_F(StreamTest, SilenceRepeatsTheRequestTwiceThenTheStreamEnds) {
    StartStream();
    Clock.Advance(1000);
    UntilPause();
    Unit.Silent = true;
    const double silentAt = static_cast<double>(Clock.NowUs()) / 1000.0;
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 20000));
    const double endAt = static_cast<double>(Clock.NowUs()) / 1000.0;
    std::vector<double> after;
    for (double x : TimesOf(0xA0)) {
        if (x > silentAt)
            after.push_back(x);
    }
    // The request after the pause, one 500 ms later, one 3 s after that, and 3 s on the end.
    ASSERT_EQ(after.size(), 3u);
    EXPECT_NEAR(after[1] - after[0], 600.0, 100.0);
    EXPECT_NEAR(after[2] - after[1], 3100.0, 100.0);
    EXPECT_NEAR(endAt - after[2], 3000.0, 100.0);
}

// The watchdog decides a restart on one tick and carries it out on the next; a record that came
// in between shows the stream alive, and a restart then would cut into the next exchange.
TEST_F(StreamTest, ARecordBetweenTheRestartsDecisionAndItsTickCancelsTheRestart) {
    StartStream();
    Clock.Advance(500);
    UntilPause();
    Unit.Silent = true;
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::StreamRestart; }, 2000));
    Unit.Silent = false;
    for (std::uint8_t i = 0; i < 24; ++i)
        Unit.Output.push_back(i);  // the unit's late answer to the waiting request
    Line.PollUnit();
    const double answeredAt = static_cast<double>(Clock.NowUs()) / 1000.0;
    Clock.Advance(1000);
    std::vector<double> after;
    for (double x : TimesOf(0xA0)) {
        if (x > answeredAt)
            after.push_back(x);
    }
    ASSERT_GT(after.size(), 5u);
    // Every request waits for the whole record before it and the pause after it.
    for (std::size_t i = 1; i < after.size(); ++i)
        EXPECT_NEAR(after[i] - after[i - 1], 70.0 + 25 * 1.0417, 1.1) << i;
    EXPECT_EQ(Link->Job(), job::StreamWatch);
}

TEST_F(StreamTest, FirstRecordMayTakeEightSecondsAndFourRepeatsFollow) {
    Unit.Silent = true;
    StartStream();
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 30000));
    const auto t = TimesOf(0xA0);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_NEAR(t[1] - t[0], 8100.0, 100.0);
    for (std::size_t i = 2; i < t.size(); ++i)
        EXPECT_NEAR(t[i] - t[i - 1], 3100.0, 100.0);
}

TEST_F(StreamTest, StopEndsTheStreamAfterTheCurrentRecord) {
    StartStream();
    Clock.Advance(500);
    Link->SetJob(job::StreamStop);
    Clock.Advance(300);
    const std::size_t requests = Count(PcBytes(), 0xA0);
    Clock.Advance(2000);
    EXPECT_EQ(Count(PcBytes(), 0xA0), requests);
    EXPECT_EQ(Link->TransState(), tstate::Idle);
    EXPECT_EQ(Link->Job(), job::Idle);
    EXPECT_FALSE(Link->JobTimer().Active());
}

// A reply longer than its layout is another layout's record: it neither runs past the buffer
// nor is shown in part, and the stream goes on.
TEST_F(StreamTest, ALongerRecordThanItsLayoutIsNotShown) {
    StartStream();
    Unit.LiveLength = 40;
    Clock.Advance(1000);
    EXPECT_FALSE(Link->NewRecord());
    EXPECT_EQ(Data.LiveRecords.Live24[23], 0);
    EXPECT_EQ(Data.LiveRecords.Live28[0], 0);
    EXPECT_EQ(Link->Job(), job::StreamWatch);
}

// A record numbered as FakeUnit::NumberedRecords sends it, with no byte from another record.
bool IsWholeRecord(std::span<const std::uint8_t> record) {
    for (std::size_t i = 1; i < record.size(); ++i) {
        if (record[i] != static_cast<std::uint8_t>(record[0] + i))
            return false;
    }
    return true;
}

// The online mode reads the record area on its own tick, whatever the stream is doing then.
TEST_F(StreamTest, TheRecordAreaHoldsTheLastWholeRecordWhileTheNextArrives) {
    Unit.NumberedRecords = true;
    StartStream();
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->NewRecord(); }, 2000));
    const auto& area = Data.LiveRecords.Live24;

    // A tick that falls while record n + 1 comes in byte by byte.
    ASSERT_TRUE(Clock.RunUntil(
        [&] {
            return Link->TransState() == tstate::StreamRecord && !Unit.Output.empty() &&
                   Unit.Output.size() < 20;
        },
        1000));
    EXPECT_TRUE(IsWholeRecord(area));
    EXPECT_EQ(area[0], static_cast<std::uint8_t>(Unit.LiveCounter - 2)) << "record n";

    // At no moment, whether a notification brings one byte, a few or a whole record.
    struct Case {
        std::size_t Chunk;
        std::size_t UnitLength;
    };
    for (const Case c : {Case{1, 24}, Case{5, 24}, Case{24, 24}, Case{0, 24}}) {
        SCOPED_TRACE(c.Chunk);
        Line.SetRxChunk(c.Chunk);
        Unit.LiveLength = c.UnitLength;
        const std::uint8_t next = Unit.LiveCounter;
        EXPECT_FALSE(Clock.RunUntil([&] { return !IsWholeRecord(area); }, 1000));
        EXPECT_GT(static_cast<std::uint8_t>(area[0] - next), 5) << "records kept coming";
    }
}

// Live records have no frame: a stray byte that comes after the request but before the unit's
// answer would shift the record by one. Such a record is never shown; the next clean one is.
TEST_F(StreamTest, AStrayByteBeforeARecordNeverShowsAShiftedRecord) {
    Unit.NumberedRecords = true;
    StartStream();
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->NewRecord(); }, 2000));
    const auto& area = Data.LiveRecords.Live24;
    for (int strays = 0; strays < 3; ++strays) {
        Link->ClearNewRecord();
        ASSERT_TRUE(
            Clock.RunUntil([&] { return Link->TransState() == tstate::StreamRecord; }, 1000));
        Unit.Output.push_back(0xEE);
        Line.PollUnit();
        ASSERT_TRUE(Clock.RunUntil([&] { return Link->NewRecord(); }, 2000));
        EXPECT_TRUE(IsWholeRecord(area)) << "stray " << strays;
        EXPECT_NE(area[0], 0xEE);
    }
}

TEST_F(StreamTest, NewerEditOfTheSamePlaceReplacesThePendingOne) {
    StartStream();
    Clock.Advance(300);
    UntilPause();
    const std::uint8_t first = 0x11, second = 0x22;
    Link->QueueWrite(2, &first, 0, 0x0009);
    Link->QueueWrite(2, &second, 0, 0x0009);
    Clock.Advance(500);
    EXPECT_EQ(Unit.Stores, 1u);
    EXPECT_EQ(Unit.Area2[9], 0x22);
    EXPECT_EQ(Link->QueuedWrites(), 0u);
}

TEST_F(StreamTest, EveryEditKeepsItsOwnBytesAndGoesOutInOrderWithRecordsBetween) {
    StartStream();
    Clock.Advance(300);
    UntilPause();
    std::array<std::uint8_t, 16> curve{};
    for (std::size_t i = 0; i < 16; ++i)
        curve[i] = static_cast<std::uint8_t>(0x80 + i);
    const std::uint8_t one = 0x5A;
    const std::array<std::uint8_t, 2> flags = {0x34, 0x12};
    Link->QueueWrite(2, &one, 0, 0x0104);
    Link->QueueWrite(2, curve.data(), 2, 176);
    Link->QueueWrite(2, flags.data(), 1, 4);
    curve.fill(0);  // the queue copied the bytes when the edit was made
    Clock.Advance(1000);
    EXPECT_EQ(Unit.Area2[0x104], 0x5A);
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(Unit.Area2[176 + i], 0x80 + i);
    EXPECT_EQ(Unit.Area2[4], 0x34);
    EXPECT_EQ(Unit.Area2[5], 0x12);
    EXPECT_EQ(Unit.Stores, 19u);

    // On the line: one write, a record, the sixteen bytes, a record, the flags word.
    std::vector<std::uint8_t> commands;
    for (auto b : Unit.Received) {
        if (b == 0xA0 || b == 0xA3)
            commands.push_back(b);
    }
    auto firstWrite = std::find(commands.begin(), commands.end(), 0xA3);
    ASSERT_NE(firstWrite, commands.end());
    std::vector<std::uint8_t> expected = {0xA3, 0xA0};
    expected.insert(expected.end(), 16, 0xA3);
    expected.push_back(0xA0);
    expected.insert(expected.end(), 2, 0xA3);
    expected.push_back(0xA0);
    EXPECT_EQ(std::vector<std::uint8_t>(firstWrite,
                                        firstWrite + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
}

TEST_F(StreamTest, MalformedEditsAreNotQueued) {
    const std::uint8_t b = 1;
    EXPECT_FALSE(Link->QueueWrite(2, &b, 3, 0));
    EXPECT_FALSE(Link->QueueWrite(3, &b, 0, 0));
    EXPECT_FALSE(Link->QueueWrite(2, nullptr, 0, 0));
    EXPECT_FALSE(Link->QueueWrite(2, &b, 2, 0xFFF8));  // sixteen bytes would pass 0xFFFF
    EXPECT_EQ(Link->QueuedWrites(), 0u);
}

TEST_F(StreamTest, StopRequestedDuringAQueuedWriteStillStopsTheStream) {
    StartStream();
    Clock.Advance(300);
    UntilPause();
    const std::uint8_t value = 0x44;
    Link->QueueWrite(2, &value, 0, 0x0050);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->TransState() == 20; }, 1000));
    // The unit takes its time: the stop takes effect while the write still waits.
    Fault(LineDirection::UnitToPc, 0, LineFaultKind::Delay, 0, 150000);
    Link->SetJob(job::StreamStop);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->StreamMode() == 1; }, 200));
    EXPECT_EQ(Link->TransState(), 20);
    Clock.Advance(500);
    EXPECT_EQ(Unit.Area2[0x50], 0x44);
    EXPECT_EQ(Data.DeviceData.ChangedOffline, 0) << "the write did reach the unit";
    const std::size_t requests = Count(PcBytes(), 0xA0);
    Clock.Advance(2000);
    EXPECT_EQ(Count(PcBytes(), 0xA0), requests);
    EXPECT_EQ(Link->TransState(), tstate::Idle);
}

class EchoStreamTest : public StreamTest {
  protected:
    EchoStreamTest() : StreamTest(5) {}
};

TEST_F(EchoStreamTest, FailedEditStaysPendingAndGoesOutWhenTheStreamResumes) {
    StartStream();
    Clock.Advance(300);
    UntilPause();
    const std::uint8_t value = 0x66;
    Link->QueueWrite(2, &value, 0, 0x0107);
    // The unit keeps echoing the data wrongly for the whole first try.
    Unit.EchoWrongData = true;
    ASSERT_TRUE(Clock.RunUntil(
        [&] { return Link->TransState() == tstate::Idle && !Link->PacingTimer().Active(); }, 2000));
    EXPECT_EQ(Link->QueuedWrites(), 1u);
    Unit.EchoWrongData = false;
    Clock.Advance(2000);
    EXPECT_EQ(Unit.Area2[0x107], 0x66);
    EXPECT_EQ(Link->QueuedWrites(), 0u);
    EXPECT_EQ(Link->WriteFailed(), 0);
    EXPECT_EQ(Data.DeviceData.ChangedOffline, 0);
    EXPECT_EQ(Link->Job(), job::StreamWatch);
}

TEST_F(EchoStreamTest, EditThatFailsThreeTimesIsReportedAndMarksTheDataChanged) {
    StartStream();
    Clock.Advance(300);
    UntilPause();
    const std::uint8_t value = 0x66;
    Link->QueueWrite(2, &value, 0, 0x0107);
    Unit.EchoWrongData = true;
    Clock.Advance(5000);
    EXPECT_EQ(Link->QueuedWrites(), 0u);
    EXPECT_EQ(Link->WriteFailed(), 2);
    EXPECT_EQ(Data.DeviceData.ChangedOffline, 1);
    const auto failures = Link->TakeWriteFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], (TWriteFailure{2, 0, 0x0107}));
    EXPECT_EQ(WriteFailureStatus(failures[0]), "Write failed: area 2, address 0x0107");
    EXPECT_EQ(Link->WriteFailed(), 0);
    // Three tries of six rejections each, and the stream is still alive.
    EXPECT_EQ(Count(PcBytes(), 0xA2), 18u);
    const std::size_t records = Count(PcBytes(), 0xA0);
    Clock.Advance(1000);
    EXPECT_GT(Count(PcBytes(), 0xA0), records + 5);
}

TEST_F(EchoStreamTest, FailedEditReplacedMeanwhileGivesWayToTheNewerOne) {
    StartStream();
    Clock.Advance(300);
    UntilPause();
    const std::uint8_t older = 0x01, newer = 0x02;
    Link->QueueWrite(2, &older, 0, 0x0030);
    Unit.EchoWrongData = true;
    Clock.RunUntil([&] { return Link->TransState() == 20; }, 1000);
    Link->QueueWrite(2, &newer, 0, 0x0030);  // the older one is on the wire: this one waits
    EXPECT_EQ(Link->QueuedWrites(), 2u);
    Clock.RunUntil([&] { return Link->QueuedWrites() == 1; }, 3000);
    Unit.EchoWrongData = false;
    Clock.Advance(2000);
    EXPECT_EQ(Unit.Area2[0x30], 0x02);
    EXPECT_EQ(Link->WriteFailed(), 0);
    EXPECT_EQ(Link->QueuedWrites(), 0u);
}

}  // namespace
}  // namespace zv::test
