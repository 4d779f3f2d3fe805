#include <gtest/gtest.h>

#include <vector>

#include "line/sim_line.h"
#include "link/fake_unit.h"

namespace zv::test {
namespace {

using sim::LineDirection;
using sim::LineFault;
using sim::LineFaultKind;
using sim::TSimLine;
using sim::VirtualTimerService;

// Answers each byte with the byte plus one, n times.
struct EchoUnit : sim::UnitEndpoint {
    int Copies = 1;
    std::vector<std::pair<std::uint8_t, std::uint64_t>> Got;
    std::vector<std::uint8_t> Out;
    void ReceiveByte(std::uint8_t b, std::uint64_t nowMs) override {
        Got.push_back({b, nowMs});
        for (int i = 0; i < Copies; ++i)
            Out.push_back(static_cast<std::uint8_t>(b + 1));
    }
    bool HasOutput() const override { return !Out.empty(); }
    std::uint8_t TakeOutputByte() override {
        const auto b = Out.front();
        Out.erase(Out.begin());
        return b;
    }
};

class SimLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Line.SetRecordTraffic(true);  // the tests read back what crossed the line
        Line.AttachUnit(&Unit);
        Line.SetOnRxChar([this] {
            Notes.push_back(Line.BytesAvailable());
            NoteTimesUs.push_back(Clock.NowUs());
        });
        ASSERT_TRUE(Line.Open());
    }
    void Write(std::vector<std::uint8_t> bytes) {
        ASSERT_EQ(Line.WriteBuf(bytes.data(), bytes.size()), bytes.size());
    }

    // Notifications at these times, give or take the microseconds the line rounds up.
    void ExpectTimesNear(const std::vector<std::uint64_t>& us) {
        ASSERT_EQ(NoteTimesUs.size(), us.size());
        for (std::size_t i = 0; i < us.size(); ++i)
            EXPECT_NEAR(static_cast<double>(NoteTimesUs[i]), static_cast<double>(us[i]), 2.0) << i;
    }

    VirtualTimerService Clock;
    TSimLine Line{Clock, {2, 1}};
    EchoUnit Unit;
    std::vector<std::size_t> Notes;
    std::vector<std::uint64_t> NoteTimesUs;
};

TEST_F(SimLineTest, EachByteTakesTenBitTimesInEachDirection) {
    Write({0x10, 0x20, 0x30});
    Clock.Advance(10);
    ASSERT_EQ(Unit.Got.size(), 3u);
    // The unit gets each byte when its last bit is in: 1.0417, 2.0833, 3.125 ms.
    const auto& traffic = Line.Traffic();
    ASSERT_EQ(traffic.size(), 6u);
    EXPECT_EQ(traffic[0].EndUs, 1042u);
    EXPECT_EQ(traffic[2].Direction, LineDirection::PcToUnit);
    EXPECT_EQ(Line.SentBytes(LineDirection::PcToUnit),
              (std::vector<std::uint8_t>{0x10, 0x20, 0x30}));
    // The answer to the first byte starts when it arrived and is in 1.0417 ms later.
    EXPECT_EQ(traffic[1].Direction, LineDirection::UnitToPc);
    EXPECT_EQ(traffic[1].EndUs, 2084u);
    EXPECT_EQ(Line.ReadString(), std::string("\x11\x21\x31"));
    EXPECT_EQ(Line.WireUs(), 6u * 1041667u / 1000u);
    EXPECT_TRUE(Line.Idle());
}

// A line as made counts and times its bytes but keeps none of them: it may carry live records
// for hours.
TEST(SimLine, KeepsNoBytesUnlessAskedTo) {
    VirtualTimerService clock;
    TSimLine line(clock, {1});
    EchoUnit unit;
    line.AttachUnit(&unit);
    line.Open();
    for (int i = 0; i < 10000; ++i) {
        const std::uint8_t b = static_cast<std::uint8_t>(i);
        line.WriteBuf(&b, 1);
        clock.Advance(3);
        line.ReadString();
    }
    EXPECT_EQ(line.ByteCount(LineDirection::UnitToPc), 10000u);
    EXPECT_EQ(line.Traffic().capacity(), 0u);
}

TEST_F(SimLineTest, NotificationChunks) {
    Unit.Copies = 5;
    Write({0x01});
    Clock.Advance(20);
    EXPECT_EQ(Notes, (std::vector<std::size_t>{1, 2, 3, 4, 5}));  // one per byte, nobody reads

    Line.ReadString();
    Notes.clear();
    Line.SetRxChunk(0);
    Write({0x01});
    Clock.Advance(20);
    EXPECT_EQ(Notes, (std::vector<std::size_t>{5}));  // everything once the unit stops sending

    Line.ReadString();
    Notes.clear();
    Line.SetRxChunk(2);
    Write({0x01});
    Clock.Advance(20);
    EXPECT_EQ(Notes, (std::vector<std::size_t>{2, 4, 5}));
}

TEST_F(SimLineTest, FaultsInBothDirections) {
    const auto pc = Line.ByteCount(LineDirection::PcToUnit);
    const auto unit = Line.ByteCount(LineDirection::UnitToPc);
    Line.InjectFault(LineFault{LineDirection::PcToUnit, pc + 1, LineFaultKind::Drop});
    Line.InjectFault(LineFault{LineDirection::PcToUnit, pc + 2, LineFaultKind::Corrupt, 0x0F});
    Line.InjectFault(LineFault{LineDirection::UnitToPc, unit + 0, LineFaultKind::Corrupt, 0x80});
    Line.InjectFault(LineFault{LineDirection::UnitToPc, unit + 1, LineFaultKind::Delay, 0, 5000});
    Write({0x10, 0x20, 0x30});
    Clock.Advance(4);
    ASSERT_EQ(Unit.Got.size(), 2u);
    EXPECT_EQ(Unit.Got[0].first, 0x10);
    EXPECT_EQ(Unit.Got[1].first, 0x3F);
    EXPECT_EQ(Line.ReadString(), std::string("\x91"));
    // The second answer waits 5 ms on the line before it starts.
    Clock.Advance(4);
    EXPECT_EQ(Line.BytesAvailable(), 0u);
    Clock.Advance(4);
    EXPECT_EQ(Line.ReadString(), std::string("\x40"));
    int lost = 0;
    for (const auto& b : Line.Traffic()) {
        if (b.Lost) {
            ++lost;
            EXPECT_EQ(b.Direction, LineDirection::PcToUnit);
            EXPECT_EQ(b.Sent, 0x20);
        }
    }
    EXPECT_EQ(lost, 1);
}

// A USB-serial adapter holding bytes back for its latency timer: the first byte of each reply
// is 16 ms late and the rest of the reply follows it at line speed.
TEST_F(SimLineTest, ReplyLagDelaysTheFirstByteOfEachReply) {
    Line.SetReplyLagUs(16000);
    Unit.Copies = 3;
    Write({0x01});
    Clock.Advance(25);
    // The request is in at 1.0417 ms; its reply ends at 1.0417 + 16 + 1.0417 ms, then at line speed.
    ExpectTimesNear({18083, 19125, 20167});
    EXPECT_EQ(Line.ReadString(), std::string("\x02\x02\x02"));

    NoteTimesUs.clear();
    Clock.Advance(5);  // 30 ms
    Write({0x05});
    Clock.Advance(25);
    ExpectTimesNear({48083, 49125, 50167});

    NoteTimesUs.clear();
    Line.SetReplyLagUs(0);
    Clock.Advance(5);  // 60 ms
    Write({0x07});
    Clock.Advance(25);
    ExpectTimesNear({62083, 63125, 64167});
}

TEST_F(SimLineTest, ClosedPortNeitherSendsNorReceives) {
    Unit.Copies = 3;
    Write({0x01});
    Clock.AdvanceUs(2100);  // the first answer byte is in
    Line.Close();
    std::uint8_t b = 7;
    EXPECT_EQ(Line.WriteBuf(&b, 1), 0u);
    Clock.Advance(10);
    EXPECT_EQ(Line.BytesAvailable(), 0u);
    EXPECT_EQ(Line.ReadBuf(&b, 1), 0u);
    EXPECT_EQ(Line.ReadString(), "");
    EXPECT_EQ(Unit.Got.size(), 1u);
    EXPECT_TRUE(Line.Open());
    EXPECT_FALSE(Line.Open());  // already open
}

TEST_F(SimLineTest, PortSelectionAcceptsOnlyExistingPortsAndNone) {
    EXPECT_EQ(Line.AvailablePorts(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Line.Port(), 1);
    EXPECT_FALSE(Line.SetPort(5));
    EXPECT_EQ(Line.Port(), 1);
    EXPECT_TRUE(Line.SetPort(2));
    EXPECT_EQ(Line.Port(), 2);
    Line.Close();
    EXPECT_TRUE(Line.SetPort(0));
    EXPECT_FALSE(Line.Open());
    EXPECT_FALSE(Line.IsOpen());
}

TEST_F(SimLineTest, ReadBufNeverWaitsAndAWrongBaudRateGarblesEverything) {
    Unit.Copies = 3;
    Write({0x01});
    Clock.Advance(10);
    std::uint8_t buf[16] = {};
    EXPECT_EQ(Line.ReadBuf(buf, 16), 3u);
    EXPECT_EQ(Line.ReadBuf(buf, 16), 0u);

    EXPECT_FALSE(Line.SetBaudIndex(21));
    EXPECT_TRUE(Line.SetBaudIndex(10));  // 19200 against a 9600 unit
    Write({0x01});
    Clock.Advance(10);
    EXPECT_EQ(Unit.Got.size(), 1u);
    EXPECT_EQ(Line.BytesAvailable(), 0u);
}

TEST_F(SimLineTest, RandomFaultsAreTheSameInEveryRun) {
    auto run = [](std::uint32_t seed) {
        VirtualTimerService clock;
        TSimLine line(clock, {1});
        EchoUnit unit;
        line.AttachUnit(&unit);
        line.Open();
        line.SetRandomFaults(seed, 0.1, 0.1);
        for (int i = 0; i < 200; ++i) {
            const std::uint8_t b = static_cast<std::uint8_t>(i);
            line.WriteBuf(&b, 1);
        }
        clock.Advance(1000);
        return line.ReadString();
    };
    const std::string a = run(7);
    EXPECT_EQ(a, run(7));
    EXPECT_NE(a, run(8));
    EXPECT_LT(a.size(), 200u);
    EXPECT_GT(a.size(), 120u);
}

}  // namespace
}  // namespace zv::test
