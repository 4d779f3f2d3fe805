#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "data/default_data.h"
#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "link/transfer_table.h"
#include "online/online_mode.h"
#include "scripted_dialogs.h"
#include "unit/sim_unit.h"

namespace zv::test {

// The main model and the online mode on virtual time, with the simulated line and (when
// attached) the simulated unit on COM1.
class OnlineTest : public ::testing::Test {
protected:
    void SetUp() override {
        Main.Now = [] { return std::time_t{1700000000}; };
        // Owned by the main model, as in the program, so that what reaches the link through the
        // model (the pages' host among them) finds it.
        Online = &Main.ConnectLink(Clock, Line);
        Online->ComPortNo = 1;
        Online->StatusShown = [this](const std::string& text) { Statuses.push_back(text); };
        Online->RecordArrived = [this](const TLiveRecord&) { ++Records; };
    }

    void AttachUnit(int firmware, int deviceType = 3, bool versionCode = true, std::string serial = {}) {
        sim::TSimUnitConfig config;
        config.Firmware = firmware;
        config.DeviceType = deviceType;
        config.ReportVersionCode = versionCode;
        config.SerialNo = std::move(serial);
        Unit = std::make_unique<sim::TSimUnit>(config);
        Adapter = std::make_unique<sim::UnitAdapter<sim::TSimUnit>>(*Unit);
        Line.AttachUnit(Adapter.get());
    }

    // The unit of that firmware holding a new data set's values, online with them taken over.
    void GoOnlineWithNewDataSet(int firmware) {
        AttachUnit(firmware);
        TZVDataClass defaults;
        defaults.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        ApplyDefaultFields(defaults);
        defaults.FieldsToImage();
        Unit->LoadImage(defaults.FileData.Image);
        Online->StartUp();
        ASSERT_TRUE(RunUntilState(link::RunOnline, 30000));
    }

    // Starts the program's link the way start-up does when a file waits: offline, then idle.
    void StartIdle() {
        Online->PendingFile.clear();
        Online->StartSequence(TSequence::Main, link::Offline);
        Clock.Advance(2000);
        EXPECT_EQ(Online->LinkState(), link::Idle);
    }

    // Until the state has been entered and its first tick has run.
    bool RunUntilState(std::uint8_t state, std::uint64_t limitMs) {
        if (state == link::RunOnline) return RunUntilStatus("Run Online", limitMs);
        return Clock.RunUntil([&] { return Online->LinkState() == state; }, limitMs);
    }
    bool RunUntilStatus(const std::string& text, std::uint64_t limitMs) {
        return Clock.RunUntil([&] { return !Statuses.empty() && Statuses.back() == text; }, limitMs);
    }
    bool Saw(const std::string& status) const {
        return std::find(Statuses.begin(), Statuses.end(), status) != Statuses.end();
    }

    TZVDataClass& Data() { return Main.Data(); }

    // An edit of fuel map byte k (unit order) as every editor makes one: into the working image,
    // then queued for the unit while running online, or marked as an offline change.
    void EditMapByte(std::size_t k, std::uint8_t value) {
        std::uint8_t& byte = Data().DeviceData.Image[img::FuelMap + k];
        byte = value;
        if (Online->LinkState() == link::RunOnline) {
            const auto address =
                static_cast<std::uint16_t>(FuelMapAddress(Data().DeviceData.Firmware) + k);
            Online->Link().QueueWrite(2, &byte, 0, address);
        } else {
            Data().DeviceData.ChangedOffline = 1;
        }
        Data().ImageToFields();
    }

    sim::VirtualTimerService Clock;
    sim::TSimLine Line{Clock, {1}};
    std::unique_ptr<sim::TSimUnit> Unit;
    std::unique_ptr<sim::UnitAdapter<sim::TSimUnit>> Adapter;
    ScriptedDialogs Dialogs;
    MemorySettingsStore Settings;
    TMainModel Main{Dialogs, Settings};
    TOnlineMode* Online = nullptr;
    std::vector<std::string> Statuses;
    int Records = 0;
};

}  // namespace zv::test
