#include <gtest/gtest.h>

#include <string>
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

}  // namespace
}  // namespace zv::test
