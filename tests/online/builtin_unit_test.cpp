// The program's built-in simulated unit, paced by the clock the link runs on (here a virtual
// one standing in for the real clock).
#include <gtest/gtest.h>

#include <set>

#include "app/main_model.h"
#include "link/port_name.h"
#include "online/online_mode.h"
#include "paced/paced_sim_port.h"
#include "scripted_dialogs.h"

namespace zv {
namespace {

// The program with the built-in unit of firmware 30 on a virtual wall clock.
struct BuiltInUnit : ::testing::Test {
    sim::VirtualTimerService wall;
    sim::TPacedSimPort port{wall, 30};
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel main{dialogs, settings};
    TOnlineMode& online = main.ConnectLink(wall, port);

    void SetUp() override { online.ComPortNo = kSimulatedUnitPort; }
};

TEST_F(BuiltInUnit, GoesOnlineByItselfAndStreamsAtWireSpeed) {
    std::set<std::string> speeds;
    int records = 0;
    online.RecordArrived = [&](const TLiveRecord&) {
        ++records;
        speeds.insert(online.Dashboard().RotDispPanel);
    };

    online.StartUp();
    ASSERT_TRUE(wall.RunUntil([&] { return online.Panels().ComState == "Run Online"; }, 30000));
    // Identification and the upload of both memory areas move well over 3000 bytes, each
    // taking 1.04 ms on the wire.
    EXPECT_GT(wall.NowMs(), 3000u);
    EXPECT_LT(wall.NowMs(), 15000u);
    EXPECT_EQ(main.Data().DeviceData.DeviceValid, 1);

    records = 0;
    wall.Advance(10000);
    // A 24-byte record and its request take 26 ms on the wire, then the stream paces for 70 ms.
    EXPECT_GE(records, 70);
    EXPECT_LE(records, 105);
    EXPECT_GT(speeds.size(), 5u) << "the engine runs: the speed readout changes";

    online.OffOnlineButtonClick();
    ASSERT_TRUE(wall.RunUntil([&] { return online.LinkState() == link::Idle; }, 5000));
    EXPECT_FALSE(port.IsOpen());
}

// Records stream for as long as the program stays online: the built-in unit's line keeps none of
// the bytes that carried them.
TEST_F(BuiltInUnit, KeepsNothingOfTheRecordsItSent) {
    int records = 0;
    online.RecordArrived = [&records](const TLiveRecord&) { ++records; };
    online.StartUp();
    ASSERT_TRUE(wall.RunUntil([&] { return online.Panels().ComState == "Run Online"; }, 30000));

    wall.Advance(600000);
    EXPECT_GT(records, 5000) << "ten minutes of records";
    EXPECT_EQ(port.Line().Traffic().capacity(), 0u);
}

}  // namespace
}  // namespace zv
