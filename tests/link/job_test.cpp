// Jobs: their tick budgets, results and whole 256-byte transfers.
#include <algorithm>
#include <array>
#include <utility>

#include "link/link_fixture.h"

namespace zv::test {
namespace {

class JobTest : public LinkTest {
  protected:
    std::array<std::uint8_t, 256> Buffer{};
};

TEST_F(JobTest, BudgetsOfSilentJobs) {
    Unit.Silent = true;
    struct Case {
        std::uint8_t Job;
        std::uint64_t BudgetMs;  // ticks x 100 ms, after the starting tick
    };
    for (const Case c :
         {Case{job::Read256, 5000}, Case{job::Write16, 5000}, Case{job::Write256, 30000}}) {
        Link->StartJob(c.Job, 2, 256, Buffer, 0);
        const auto ms = RunJob(40000);
        EXPECT_EQ(Link->JobResult(), jobresult::TimedOut) << int(c.Job);
        EXPECT_GE(ms, c.BudgetMs + 100) << int(c.Job);
        EXPECT_LE(ms, c.BudgetMs + 200) << int(c.Job);
    }
    Clock.Advance(100);  // the idle job's tick stops the timers
    EXPECT_FALSE(Link->JobTimer().Active());
    EXPECT_FALSE(Link->ComControlTimer().Active());
}

TEST_F(JobTest, MalformedJobsAreRefusedAtOnce) {
    std::array<std::uint8_t, 100> small{};
    EXPECT_FALSE(Link->StartJob(job::Read256, 2, 256, small, 0));
    EXPECT_EQ(Link->Job(), job::Idle);
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_FALSE(Link->StartJob(job::Write16, 3, 16, Buffer, 0));  // no area 3
    EXPECT_FALSE(Link->SetJob(7));                                 // no such job
    EXPECT_FALSE(Link->StartJob(job::StreamStart, 2, 0, Buffer, TComX::kNoAddress));
    std::string text;
    EXPECT_FALSE(Link->StartJob(job::Read256, 2, 256, text, 0));
    Clock.Advance(1000);
    EXPECT_TRUE(PcBytes().empty());

    EXPECT_TRUE(Link->StartJob(job::Read256, 2, 256, Buffer, 0));
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
}

TEST_F(JobTest, UploadOf256BytesLandsInTheTarget) {
    for (std::size_t i = 0; i < 256; ++i)
        Unit.Area2[0x100 + i] = static_cast<std::uint8_t>(255 - i);
    Link->StartJob(job::Read256, 2, 256, Buffer, 0x100);
    const auto ms = RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_TRUE(std::equal(Buffer.begin(), Buffer.end(), Unit.Area2.begin() + 0x100));
    // Each block read twice: 32 x (5 + 19) bytes on the wire, plus the ticks before and after.
    EXPECT_LT(ms, 1100u);
}

// Started at once on a quiet line, a job's bytes go out at once and its result is there with its
// last byte; a silent unit is still given up after the job's full budget, and a job set while a
// transaction is under way waits for its tick.
TEST_F(JobTest, AJobStartedAtOnceRunsAtTheLinesPace) {
    int ended = 0;
    Link->OnJobEnded = [&] { ++ended; };
    Link->StartJob(job::Read256, 2, 256, Buffer, 0x100);
    const auto start = Clock.NowMs();
    ASSERT_TRUE(Link->StartJobNow());
    Clock.Advance(10);
    EXPECT_EQ(PcBytes(), (std::vector<std::uint8_t>{0x16, 0xA4, 0x01, 0x00, 0x01}))
        << "the request is on the line at once";
    RunJob();
    const auto ms = Clock.NowMs() - start;
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(ended, 1);
    // 32 x (5 + 19) bytes at 1.0417 ms each; before, the two job ticks added up to 200 ms.
    EXPECT_LE(ms, 800u + 20u);

    Unit.Silent = true;
    Link->StartJob(job::Read256, 2, 256, Buffer, 0);
    ASSERT_TRUE(Link->StartJobNow());
    const auto silentMs = RunJob(40000);
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_GE(silentMs, 5100u) << "the same budget as a job started on its tick";
    EXPECT_LE(silentMs, 5200u);
    EXPECT_EQ(ended, 2);

    Link->StartJob(job::Read256, 2, 256, Buffer, 0);
    EXPECT_FALSE(Link->StartJobNow()) << "the abandoned read may still be answered";
    EXPECT_FALSE(Link->StartJobNow());
}

class DownloadTest : public LinkTest, public ::testing::WithParamInterface<int> {
  protected:
    DownloadTest() : LinkTest(GetParam()) {}
};

TEST_P(DownloadTest, WholeBlockReachesTheUnitAndIsDone) {
    std::array<std::uint8_t, 256> source{};
    for (std::size_t i = 0; i < 256; ++i)
        source[i] = static_cast<std::uint8_t>(i * 31 + 7);
    Link->StartJob(job::Write256, 2, 256, source, 0x300);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    EXPECT_EQ(Link->Counter(), 255);
    EXPECT_TRUE(std::equal(source.begin(), source.end(), Unit.Area2.begin() + 0x300));
    EXPECT_EQ(Unit.Stores, 256u);
    // Both variants send five bytes per byte; once the last one is out, the whole region is
    // read back once, block by block, and nothing is read back before.
    const auto pc = PcBytes();
    ASSERT_EQ(pc.size(), 256u * 5u + 16u * 5u);
    EXPECT_EQ(std::vector<std::uint8_t>(pc.begin() + 1275, pc.begin() + 1278),
              (std::vector<std::uint8_t>{GetParam() <= 6 ? std::uint8_t{0xA2} : std::uint8_t{0xA3},
                                         0x03, 0xFF}));
    EXPECT_EQ(std::vector<std::uint8_t>(pc.begin() + 1280, pc.begin() + 1285),
              (std::vector<std::uint8_t>{0x16, 0xA4, 0x03, 0x00, 0x03}));
    EXPECT_EQ(std::vector<std::uint8_t>(pc.end() - 5, pc.end()),
              (std::vector<std::uint8_t>{0x16, 0xA4, 0x03, 0xF0, 0xF3}));
}

// A cell that loses what is written to it is rewritten after each read-back that shows it, three
// times at most: one that loses three stores still ends up right, one that loses four fails the
// download after its fourth store. The same for a single block and for a region of sixteen.
TEST_P(DownloadTest, ABlockIsRewrittenAtMostThreeTimes) {
    std::array<std::uint8_t, 256> source{};
    source.fill(0x5C);
    const std::pair<std::uint8_t, std::uint16_t> jobs[] = {{job::Write16, 0x0D0},
                                                           {job::Write256, 0x300}};
    for (const auto& [jobCode, address] : jobs) {
        const std::size_t cell = address + (jobCode == job::Write16 ? 0x05 : 0x37);
        for (int lost : {2, 3, 4}) {
            SCOPED_TRACE(testing::Message() << "job " << int(jobCode) << ", " << lost << " lost");
            std::fill(Unit.Area2.begin(), Unit.Area2.end(), 0);
            Unit.StoresAt.clear();
            Unit.LoseStores[cell] = lost;
            Link->StartJob(jobCode, 2, jobCode == job::Write16 ? 16 : 256, source, address);
            RunJob();
            const bool kept = lost <= 3;
            EXPECT_EQ(Link->JobResult(), kept ? jobresult::Done : jobresult::TimedOut);
            EXPECT_EQ(Unit.StoresAt[cell], kept ? lost + 1u : 4u);
            EXPECT_EQ(Unit.Area2[cell], kept ? 0x5C : 0x00);
        }
    }
}

// Writes that land in another block, one already read back in the pass: each pass that had to
// rewrite is followed by another, three passes at most. Block 14's byte lands in block 10 when
// the region is written; block 10's rewrite in the first pass lands in block 6, and block 6's
// rewrite in the second pass may land in block 2. Without that last landing a third, clean pass
// ends the download; with it the third pass rewrites too, and the download fails.
TEST_P(DownloadTest, ARegionIsReadBackInThreePassesAtMost) {
    std::array<std::uint8_t, 256> source{};
    for (std::size_t i = 0; i < 256; ++i)
        source[i] = static_cast<std::uint8_t>(i * 31 + 7);
    for (std::size_t landings : {2u, 3u}) {
        SCOPED_TRACE(testing::Message() << landings << " landings");
        std::fill(Unit.Area2.begin(), Unit.Area2.end(), 0);
        Unit.StoresAt.clear();
        Unit.Landings = 0;
        Unit.Misdirect = {{0x3E5, 1, 0x3A5}, {0x3A5, 2, 0x365}};
        if (landings == 3)
            Unit.Misdirect.push_back({0x365, 2, 0x325});
        Link->StartJob(job::Write256, 2, 256, source, 0x300);
        RunJob();
        EXPECT_EQ(Unit.Landings, Unit.Misdirect.size()) << "every landing happened";
        EXPECT_EQ(Link->JobResult(), landings == 2 ? jobresult::Done : jobresult::TimedOut);
    }
}

// A byte that fails is written again once its block has been read back; a download whose bytes
// never reach the unit ends with a time-out, however its last byte went.
TEST_P(DownloadTest, AFailedByteIsWrittenAgainAndTheDownloadIsDoneOnlyWithEveryByteInTheUnit) {
    std::array<std::uint8_t, 256> source{};
    source.fill(0x42);
    if (GetParam() <= 6) {
        Unit.EchoWrongData = true;  // every data echo is wrong: each byte fails after six tries
    } else {
        // A checksummed byte fails after eleven empty receive steps; fake them for byte 100.
        Link->StartJob(job::Write256, 2, 256, source, 0);
        Clock.RunUntil([&] { return Link->Counter() == 100; }, 20000);
        Unit.Silent = true;
        for (int i = 0; i < 11; ++i)
            Link->ComPortDataAvailable();
        Clock.Advance(20);  // byte 100 and the first request for byte 101 meet a deaf unit
        Unit.Silent = false;
        EXPECT_EQ(Unit.Area2[100], 0);
        RunJob();
        EXPECT_EQ(Link->JobResult(), jobresult::Done);
        EXPECT_EQ(Unit.Stores, 256u);
        EXPECT_EQ(Unit.Area2[100], 0x42);
        return;
    }
    Link->StartJob(job::Write256, 2, 256, source, 0);
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::TimedOut);
    EXPECT_EQ(Unit.Stores, 0u);
}

INSTANTIATE_TEST_SUITE_P(EchoAndChecksum, DownloadTest, ::testing::Values(5, 30),
                         [](const ::testing::TestParamInfo<int>& p) {
                             return p.param <= 6 ? "Echo" : "Checksummed";
                         });

TEST_F(JobTest, ANewJobEndsTheStreamAndOwnsTheLine) {
    Link->StartJob(job::StreamStart, 2, 28, Data.LiveRecords.Live28, TComX::kNoAddress);
    Clock.Advance(1000);
    ASSERT_GT(Count(PcBytes(), 0xA0), 5u);
    // Between a record and the next request (the pacing pause) the online mode pings.
    Clock.RunUntil([&] { return Link->PacingTimer().Active(); }, 1000);
    Link->SetJob(job::Ping);
    const std::size_t before = PcBytes().size();
    RunJob();
    EXPECT_EQ(Link->JobResult(), jobresult::Done);
    Clock.Advance(1000);
    const auto pc = PcBytes();
    EXPECT_EQ(std::vector<std::uint8_t>(pc.begin() + static_cast<std::ptrdiff_t>(before), pc.end()),
              (std::vector<std::uint8_t>{0x16}));
}

}  // namespace
}  // namespace zv::test
