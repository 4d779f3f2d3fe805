#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "line/virtual_timer_service.h"

namespace zv::test {
namespace {

using sim::VirtualTimerService;

TEST(VirtualClock, TimersFireInDueOrderAndRepeat) {
    VirtualTimerService clock;
    std::vector<std::string> log;
    auto fast = clock.CreateTimer();
    auto slow = clock.CreateTimer();
    fast->SetInterval(30);
    slow->SetInterval(70);
    fast->SetHandler([&] { log.push_back("f" + std::to_string(clock.NowMs())); });
    slow->SetHandler([&] { log.push_back("s" + std::to_string(clock.NowMs())); });
    fast->Start();
    slow->Start();
    clock.Advance(100);
    EXPECT_EQ(log, (std::vector<std::string>{"f30", "f60", "s70", "f90"}));
    EXPECT_EQ(clock.NowMs(), 100u);
}

TEST(VirtualClock, SingleShotStopsItselfAndRestartBeginsThePeriodAnew) {
    VirtualTimerService clock;
    int fired = 0;
    auto t = clock.CreateTimer();
    t->SetInterval(50);
    t->SetSingleShot(true);
    t->SetHandler([&] { ++fired; });
    t->Start();
    clock.Advance(40);
    t->Start();  // starts over: due at 90, not 50
    clock.Advance(45);
    EXPECT_EQ(fired, 0);
    clock.Advance(5);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(t->Active());
    clock.Advance(500);
    EXPECT_EQ(fired, 1);
}

TEST(VirtualClock, HandlerMayStopRestartOrReplaceItself) {
    VirtualTimerService clock;
    std::vector<int> at;
    auto t = clock.CreateTimer();
    t->SetInterval(10);
    t->SetHandler([&] {
        at.push_back(static_cast<int>(clock.NowMs()));
        t->SetInterval(25);  // an active timer starts over with the new period
        t->SetHandler([&] {
            at.push_back(-static_cast<int>(clock.NowMs()));
            t->Stop();
        });
    });
    t->Start();
    clock.Advance(200);
    EXPECT_EQ(at, (std::vector<int>{10, -35}));
}

TEST(VirtualClock, RunUntilStopsAtTheEventThatSatisfiesThePredicate) {
    VirtualTimerService clock;
    int n = 0;
    auto t = clock.CreateTimer();
    t->SetInterval(7);
    t->SetHandler([&] { ++n; });
    t->Start();
    EXPECT_TRUE(clock.RunUntil([&] { return n == 3; }, 1000));
    EXPECT_EQ(clock.NowMs(), 21u);
    EXPECT_FALSE(clock.RunUntil([&] { return n == 1000; }, 100));
    EXPECT_EQ(clock.NowMs(), 121u);
}

TEST(VirtualClock, MicrosecondEventsAndMillisecondTickCount) {
    VirtualTimerService clock(0xFFFFFFFFull - 1);  // two ms before the tick count wraps
    std::vector<std::uint64_t> at;
    clock.ScheduleAfterUs(1042, [&] { at.push_back(clock.NowUs()); });
    const auto cancelled = clock.ScheduleAfterUs(500, [&] { at.push_back(0); });
    clock.Cancel(cancelled);
    clock.Advance(1);
    EXPECT_TRUE(at.empty());
    clock.AdvanceUs(42);
    ASSERT_EQ(at.size(), 1u);
    EXPECT_EQ(at[0] % 1000000u, (0xFFFFFFFFull - 1) * 1000 % 1000000u + 1042);
    EXPECT_EQ(clock.GetTickCount(), 0xFFFFFFFFu);
    clock.Advance(1);
    EXPECT_EQ(clock.GetTickCount(), 0u);  // wraps like the system's tick count
}

TEST(VirtualClock, DestroyedTimerNeverFiresAndAdvanceInsideAnEventIsRefused) {
    VirtualTimerService clock;
    int fired = 0;
    {
        auto t = clock.CreateTimer();
        t->SetInterval(5);
        t->SetHandler([&] { ++fired; });
        t->Start();
    }
    clock.Advance(50);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(clock.PendingEvents(), 0u);

    bool refused = false;
    clock.ScheduleAfterUs(10, [&] {
        try {
            clock.Advance(1);
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    clock.Advance(1);
    EXPECT_TRUE(refused);
}

TEST(VirtualClock, ARepeatingZeroIntervalTimerStillLetsTimePass) {
    VirtualTimerService clock;
    int fired = 0;
    auto t = clock.CreateTimer();
    t->SetHandler([&] { ++fired; });
    t->Start();
    clock.Advance(10);
    EXPECT_EQ(fired, 10);
}

TEST(VirtualClock, ManyEventsAndCancelsRunInTimeThenScheduleOrder) {
    // Events at few distinct times, so that many share one; some cancelled at once, some from
    // inside other events, and stale ids of events that already ran cancelled again.
    VirtualTimerService clock;
    std::mt19937 random(7);
    struct Planned {
        std::uint64_t AtUs;
        int Seq;
        VirtualTimerService::EventId Id;
        bool Cancelled;
    };
    std::vector<Planned> planned;
    std::vector<int> ran;
    std::vector<VirtualTimerService::EventId> ranIds;
    for (int seq = 0; seq < 400; ++seq) {
        const std::uint64_t at = 100u * (random() % 12u);
        const auto id = clock.ScheduleAtUs(at, [&ran, &ranIds, &clock, &planned, seq] {
            ran.push_back(seq);
            ranIds.push_back(planned[static_cast<std::size_t>(seq)].Id);
            // Cancelling an id that already ran must leave the reused slot's event alone.
            for (auto stale : ranIds)
                clock.Cancel(stale);
        });
        planned.push_back({at, seq, id, false});
    }
    for (auto& p : planned) {
        if (random() % 4u == 0) {
            clock.Cancel(p.Id);
            p.Cancelled = true;
        }
    }
    // New events scheduled while the clock runs take later slots and later places in order.
    clock.ScheduleAtUs(550, [&] {
        for (int seq = 400; seq < 450; ++seq) {
            const std::uint64_t at = 600u + 100u * (random() % 3u);
            planned.push_back(
                {at, seq, clock.ScheduleAtUs(at, [&ran, seq] { ran.push_back(seq); }), false});
        }
    });
    clock.Advance(5);
    std::vector<Planned> expected;
    std::copy_if(planned.begin(), planned.end(), std::back_inserter(expected),
                 [](const Planned& p) { return !p.Cancelled; });
    std::stable_sort(expected.begin(), expected.end(), [](const Planned& a, const Planned& b) {
        return std::tie(a.AtUs, a.Seq) < std::tie(b.AtUs, b.Seq);
    });
    std::vector<int> expectedOrder;
    for (const auto& p : expected)
        expectedOrder.push_back(p.Seq);
    EXPECT_EQ(ran, expectedOrder);
    EXPECT_EQ(clock.PendingEvents(), 0u);
}

}  // namespace
}  // namespace zv::test
