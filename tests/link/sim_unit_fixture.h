#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "data/zv_data_class.h"
#include "line/sim_line.h"
#include "line/virtual_timer_service.h"
#include "link/tcomx.h"
#include "unit/sim_unit.h"

namespace zv::test {

// The link against the simulated unit of the firmware index in the test parameter, over the
// simulated line on virtual time.
class SimUnitTest : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        Line.SetRecordTraffic(true);  // the tests read back what crossed the line
        sim::TSimUnitConfig config;
        config.Firmware = GetParam();
        config.DeviceType = GetParam() >= 37 ? 4 : GetParam() >= 24 ? 3 : GetParam() >= 9 ? 2 : 1;
        Unit = std::make_unique<sim::TSimUnit>(config);
        Adapter = std::make_unique<sim::UnitAdapter<sim::TSimUnit>>(*Unit);
        Line.AttachUnit(Adapter.get());
        Data.ReceiveData.Firmware = static_cast<std::uint8_t>(GetParam());
        Data.DeviceData.Firmware = static_cast<std::uint8_t>(GetParam());
        Link = std::make_unique<TComX>(Clock, Line, Data);
        Link->Init(1, kBaud9600Index);
    }

    sim::VirtualTimerService Clock;
    sim::TSimLine Line{Clock, {1}};
    std::unique_ptr<sim::TSimUnit> Unit;
    std::unique_ptr<sim::UnitAdapter<sim::TSimUnit>> Adapter;
    TZVDataClass Data;
    std::unique_ptr<TComX> Link;
};

}  // namespace zv::test
