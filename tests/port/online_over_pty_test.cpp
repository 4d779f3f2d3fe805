// The program's link and online mode on real timers and a real serial port, against zvsim on a
// pseudo-terminal at true 9600-baud timing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/main_model.h"
#include "online/online_mode.h"
#include "port_directory.h"
#include "port_test_support.h"
#include "scripted_dialogs.h"
#include "seams/qt_timer_service.h"
#include "tcom_manager.h"
#include "tserial.h"

namespace zv {
namespace {

using test::WaitFor;
using test::Zvsim;

constexpr int kCom = 6;

class OnlineOverPty : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(port::PortDirectory());
        manager.SystemDevices = [] { return std::vector<std::string>{}; };
        manager.UnlistedDevice = [](int) { return std::optional<std::string>(); };
        manager.Rescan();
        online = &model.ConnectLink(timers, serial);
        online->ComPortNo = kCom;
        online->RecordArrived = [this](const TLiveRecord&) {
            ++records;
            rpm.push_back(online->Dashboard().RotDispPanel);
        };
    }
    void TearDown() override {
        if (online->LinkState() == link::RunOnline)
            online->OffOnlineButtonClick();
        WaitFor([this] { return online->LinkState() == link::Idle; }, 3000);
    }
    bool RunningOnline() const {
        return online->LinkState() == link::RunOnline && online->StepStarted();
    }

    QtTimerService timers;
    port::TCOMManager manager;
    port::TSerial serial{manager};
    test::ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model{dialogs, settings};
    TOnlineMode* online = nullptr;
    int records = 0;
    std::vector<std::string> rpm;
};

TEST_F(OnlineOverPty, LiveRecordsArriveAndTheLinkComesBackWithTheUnit) {
    auto unit = std::make_unique<Zvsim>(
        std::vector<std::string>{"--com", std::to_string(kCom), "--firmware", "38"});
    ASSERT_TRUE(WaitFor([&] { return manager.IsPresent(kCom); }, 2000));
    online->OffOnlineButtonClick();
    ASSERT_TRUE(WaitFor([&] { return RunningOnline(); }, 15000)) << online->Panels().ComState;

    // 28-byte records every 70 ms after the last byte: about ten a second.
    ASSERT_TRUE(WaitFor([&] { return records >= 8; }, 2000)) << records;
    for (const auto& text : rpm) {
        ASSERT_FALSE(text.empty());
        const int value = std::stoi(text);
        EXPECT_TRUE(value >= 0 && value <= 10000) << text;
    }

    // zvsim ends: the port is marked closed and the link sees a silent unit.
    unit->Stop();
    EXPECT_TRUE(WaitFor([&] { return !serial.IsOpen(); }, 2000));
    // A record that arrived whole before the port closed is shown after the pause that follows
    // it and the online mode's next tick; nothing after that.
    WaitFor([] { return false; }, 300);
    const int before = records;
    WaitFor([] { return false; }, 1000);
    EXPECT_EQ(records, before);

    // It comes back under the same port: the port opens again and records flow without anyone
    // pressing a key.
    unit = std::make_unique<Zvsim>(
        std::vector<std::string>{"--com", std::to_string(kCom), "--firmware", "38"});
    EXPECT_TRUE(WaitFor([&] { return serial.IsOpen(); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return records >= before + 5 && RunningOnline(); }, 20000))
        << online->Panels().ComState;
}

}  // namespace
}  // namespace zv
