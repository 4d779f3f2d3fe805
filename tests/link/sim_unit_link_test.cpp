// The link against the simulated unit over the simulated line, on virtual time: what lands in
// the unit's memory and in the data image.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "data/zv_data_class.h"
#include "line/sim_line.h"
#include "line/virtual_timer_service.h"
#include "link/sim_unit_fixture.h"
#include "link/tcomx.h"
#include "link/transfer_table.h"
#include "unit/sim_unit.h"
#include "unit/watched_unit.h"

namespace zv::test {
namespace {

using sim::LineDirection;

ImageBytes Pattern(unsigned seed) {
    ImageBytes image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * seed + seed / 3) % 256);
    return image;
}

bool SameRange(const ImageBytes& a, const ImageBytes& b, std::size_t from, std::size_t n) {
    return std::equal(a.begin() + static_cast<std::ptrdiff_t>(from),
                      a.begin() + static_cast<std::ptrdiff_t>(from + n),
                      b.begin() + static_cast<std::ptrdiff_t>(from));
}

class SimUnitLinkTest : public SimUnitTest {
  protected:
    // The transfer's job, run to its end; true when it is done.
    bool Run(TTransfer transfer) {
        if (!StartTransfer(*Link, Data, transfer))
            return false;
        EXPECT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 40000));
        return Link->JobResult() == jobresult::Done;
    }

    void UploadAll() {
        ASSERT_TRUE(Run(TTransfer::Identification));
        EXPECT_EQ(Run(TTransfer::DeviceDataUpload), GetParam() >= 4);
        ASSERT_TRUE(Run(TTransfer::FuelMapUpload));
        EXPECT_EQ(Run(TTransfer::AfrMapUpload), GetParam() >= 26);
    }
};

TEST_P(SimUnitLinkTest, FullUploadReadsTheUnitInMillisecondsOfRealTime) {
    Unit->LoadImage(Pattern(7));
    const auto started = std::chrono::steady_clock::now();
    UploadAll();
    const auto realMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
    EXPECT_LT(realMs, 1000);
    EXPECT_EQ(Data.ReceiveData.Ident.Text, Unit->IdentText());
    const ImageBytes unit = Unit->ImageSnapshot();
    EXPECT_TRUE(SameRange(Data.ReceiveData.Image, unit, img::FuelMap, 256));
    EXPECT_EQ(SameRange(Data.ReceiveData.Image, unit, 0, 256), GetParam() >= 4);
    EXPECT_EQ(SameRange(Data.ReceiveData.Image, unit, img::AfrMap, 256), GetParam() >= 26);
}

TEST_P(SimUnitLinkTest, DownloadWritesTheWorkingImageIntoTheUnit) {
    Data.DeviceData.Image = Pattern(11);
    ASSERT_TRUE(Run(TTransfer::DeviceDataDownload));
    ASSERT_TRUE(Run(TTransfer::FuelMapDownload));
    EXPECT_EQ(Run(TTransfer::AfrMapDownload), GetParam() >= 27);
    ASSERT_TRUE(Run(TTransfer::IdleCurveDownload));
    const ImageBytes unit = Unit->ImageSnapshot();
    EXPECT_TRUE(SameRange(Data.DeviceData.Image, unit, 0, 256));
    EXPECT_TRUE(SameRange(Data.DeviceData.Image, unit, img::FuelMap, 256));
    EXPECT_EQ(SameRange(Data.DeviceData.Image, unit, img::AfrMap, 256), GetParam() >= 27);
    EXPECT_EQ(Unit->RejectedRequests(), 0u);
    ASSERT_FALSE(Unit->WriteLog().empty());
    for (const auto& write : Unit->WriteLog())
        EXPECT_EQ(write.Checksummed, GetParam() >= 7) << "echo writes up to firmware 6";
}

TEST_P(SimUnitLinkTest, LiveStreamDeliversRecordsOfTheFirmwaresLayoutAndQueuedEdits) {
    ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::LiveStream));
    const int fw = GetParam();
    const std::size_t length = fw <= 8 ? 11 : fw <= 23 ? 18 : fw <= 36 ? 24 : 28;
    EXPECT_EQ(Link->Length(), length);
    EXPECT_EQ(Unit->LiveRecordAt(Clock.NowMs()).size(), length);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->NewRecord(); }, 2000));
    Link->ClearNewRecord();
    const std::uint8_t value = 0x3C;
    Link->QueueWrite(2, &value, 0, 9);
    const std::array<std::uint8_t, 2> flags = {0x05, 0x00};
    Link->QueueWrite(2, flags.data(), 1, 4);
    Clock.Advance(1000);
    EXPECT_TRUE(Link->NewRecord());
    EXPECT_EQ(Unit->Peek(2, 9), 0x3C);
    EXPECT_EQ(Unit->Peek(2, 4), 0x05);
    EXPECT_EQ(Unit->Peek(2, 5), 0x00);
    EXPECT_EQ(Link->Job(), job::StreamWatch);
    EXPECT_GE(Unit->RequestCount(0xA0), 8u);
}

// A contact edited by its own key and by the two-byte "set defaults" in between: whatever the
// kinds, the unit must end with the bytes the PC holds.
TEST_P(SimUnitLinkTest, OverlappingEditsReachTheUnitInTheOrderMade) {
    ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::LiveStream));
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->PacingTimer().Active(); }, 2000));
    auto editContacts = [&](std::uint8_t idle, std::array<std::uint8_t, 2> both) {
        Link->QueueWrite(2, &idle, 0, 2);
        Link->QueueWrite(2, both.data(), 1, 2);
        Link->QueueWrite(2, &idle, 0, 2);
        Clock.Advance(1500);
        EXPECT_EQ(Unit->Peek(2, 2), idle);
        EXPECT_EQ(Unit->Peek(2, 3), both[1]);
    };
    editContacts(35, {34, 170});

    // Again while an older write of the same byte is on the wire.
    const std::uint8_t older = 36;
    Link->QueueWrite(2, &older, 0, 2);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->TransState() == 20; }, 1000));
    editContacts(37, {33, 171});
    EXPECT_EQ(Link->QueuedWrites(), 0u);
}

// Both sides of every firmware switch: device data block (4), write variant (7), map address
// and layout (9), layouts (24, 37), AFR map upload (26) and download (27).
INSTANTIATE_TEST_SUITE_P(Firmware, SimUnitLinkTest,
                         ::testing::Values(3, 4, 6, 7, 8, 9, 23, 24, 25, 26, 27, 36, 37, 40));

class SimUnitFaultTest : public SimUnitLinkTest {};

TEST_P(SimUnitFaultTest, UploadSurvivesAWrongAnswerAndLineFaults) {
    Unit->LoadImage(Pattern(5));
    // The identification has no retry of its own: the online mode reports its time-out.
    ASSERT_TRUE(Run(TTransfer::Identification));
    Unit->AnswerNextWith(0x55);
    Line.SetRandomFaults(1234, 0.01, 0.01);
    ASSERT_TRUE(Run(TTransfer::DeviceDataUpload));
    ASSERT_TRUE(Run(TTransfer::FuelMapUpload));
    const ImageBytes unit = Unit->ImageSnapshot();
    EXPECT_TRUE(SameRange(Data.ReceiveData.Image, unit, img::FuelMap, 256));
    EXPECT_TRUE(SameRange(Data.ReceiveData.Image, unit, 0, 256));
}

TEST_P(SimUnitFaultTest, DownloadSurvivesLineFaultsAndChunkedNotifications) {
    Line.SetRxChunk(0);
    Line.SetRandomFaults(99, 0.005, 0.005);
    Data.DeviceData.Image = Pattern(3);
    ASSERT_TRUE(Run(TTransfer::FuelMapDownload));
    EXPECT_TRUE(SameRange(Data.DeviceData.Image, Unit->ImageSnapshot(), img::FuelMap, 256));
}

TEST_P(SimUnitFaultTest, StreamRidesOutASilentSpellButEndsWhenTheUnitVanishes) {
    ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::LiveStream));
    Clock.Advance(1000);
    Unit->GoSilent(Clock.NowMs() + 2000);
    Clock.Advance(5000);
    EXPECT_EQ(Link->Job(), job::StreamWatch);
    Link->ClearNewRecord();
    Clock.Advance(500);
    EXPECT_TRUE(Link->NewRecord());

    Unit->Vanish();
    const std::uint64_t gone = Clock.NowMs();
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, 10000));
    EXPECT_NEAR(static_cast<double>(Clock.NowMs() - gone), 6700.0, 200.0);
}

// The stream with the unit's records on watch, so that each record shown can be traced to one
// the unit sent.
class SimUnitStreamFaultTest : public SimUnitTest {
  protected:
    void SetUp() override {
        SimUnitTest::SetUp();
        Watched = std::make_unique<sim::WatchedUnit>(*Unit);
        Line.AttachUnit(Watched.get());
        ASSERT_TRUE(StartTransfer(*Link, Data, TTransfer::LiveStream));
        ASSERT_TRUE(Clock.RunUntil([&] { return Link->PacingTimer().Active(); }, 2000));
    }
    void TearDown() override { Line.AttachUnit(Adapter.get()); }

    // The byte the unit sends next, k bytes on, is lost.
    void DropUnitByte(std::uint64_t k) {
        Line.InjectFault({LineDirection::UnitToPc, Line.ByteCount(LineDirection::UnitToPc) + k,
                          sim::LineFaultKind::Drop});
    }

    void ExpectOnlyRecordsTheUnitSent(int records) {
        Link->ClearNewRecord();
        for (int shown = 0; shown < records; ++shown) {
            ASSERT_TRUE(Clock.RunUntil([&] { return Link->NewRecord(); }, 5000));
            Link->ClearNewRecord();
            const auto record = LiveRecordBuffer(Data.LiveRecords, GetParam());
            EXPECT_TRUE(sim::RecordWasSent({record.begin(), record.end()},
                                           sim::ReceivedUnitBytes(Line.Traffic()),
                                           Watched->RecordStarts(), 2))
                << "record " << shown;
        }
    }

    std::unique_ptr<sim::WatchedUnit> Watched;
};

// Live records carry no frame: a byte that comes before the record shifts it, and with one of
// its bytes lost the length adds up all the same. Here the byte is the unit's 0x06 to the
// read-back that checks an edit, still on its way when a restart decided by the watchdog falls.
TEST_P(SimUnitStreamFaultTest, ARestartDuringAnEditsReadBackShowsNoShiftedRecord) {
    const std::uint8_t value = 0x3C;
    Link->QueueWrite(2, &value, 0, 9);
    ASSERT_TRUE(
        Clock.RunUntil([&] { return Link->TransState() == 20 && Link->ReadStatus() == 2; }, 1000))
        << "the read-back has just sent its 0x16";
    DropUnitByte(5);
    Link->SetJob(job::StreamRestart);
    Link->JobTimerTick();
    ExpectOnlyRecordsTheUnitSent(5);
    EXPECT_EQ(Unit->Peek(2, 9), 0x3C);
}

// After a silent spell the restart's request may meet the tail of what the unit still had to say
// (here one byte, arriving just after the restart): the request waits for a quiet line.
TEST_P(SimUnitStreamFaultTest, ARestartAfterSilenceWaitsForAQuietLine) {
    Unit->GoSilent(Clock.NowMs() + 300);
    ASSERT_TRUE(Clock.RunUntil([&] { return Link->TicksLeft() == 30; }, 2000)) << "restarted";
    Watched->AddNoise(0x06);
    Line.PollUnit();
    DropUnitByte(5);
    ExpectOnlyRecordsTheUnitSent(5);
    EXPECT_EQ(Link->Job(), job::StreamWatch);
}

INSTANTIATE_TEST_SUITE_P(Firmware, SimUnitStreamFaultTest, ::testing::Values(5, 30));

INSTANTIATE_TEST_SUITE_P(Firmware, SimUnitFaultTest, ::testing::Values(5, 30));

}  // namespace
}  // namespace zv::test
