#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <vector>

#include "data/zv_data_class.h"
#include "line/sim_line.h"
#include "line/virtual_timer_service.h"
#include "link/fake_unit.h"
#include "link/tcomx.h"

namespace zv::test {

using sim::LineDirection;
using sim::LineFault;
using sim::LineFaultKind;

// The link on virtual time with the simulated line and a plain unit behind it.
class LinkTest : public ::testing::Test {
  protected:
    explicit LinkTest(int firmware = 30) : Unit(firmware), Adapter(Unit) {}

    void SetUp() override {
        Line.SetRecordTraffic(true);  // the tests read back what crossed the line
        Line.AttachUnit(&Adapter);
        Data.DeviceData.Firmware = static_cast<std::uint8_t>(Unit.Firmware);
        Data.ReceiveData.Firmware = static_cast<std::uint8_t>(Unit.Firmware);
        Link = std::make_unique<TComX>(Clock, Line, Data);
        Link->Init(1, kBaud9600Index);
        Clock.Advance(200);  // the constructor's first job tick has passed
    }

    void UseFirmware(int firmware) {
        Unit.Firmware = firmware;
        Data.DeviceData.Firmware = static_cast<std::uint8_t>(firmware);
        Data.ReceiveData.Firmware = static_cast<std::uint8_t>(firmware);
    }

    // Runs until the current job has ended; returns the virtual milliseconds it took.
    std::uint64_t RunJob(std::uint64_t limitMs = 60000) {
        const std::uint64_t start = Clock.NowMs();
        EXPECT_TRUE(Clock.RunUntil([&] { return Link->Job() == job::Idle; }, limitMs))
            << "job " << int(Link->Job());
        return Clock.NowMs() - start;
    }

    std::vector<std::uint8_t> PcBytes() const { return Line.SentBytes(LineDirection::PcToUnit); }
    std::vector<std::uint8_t> UnitBytes() const { return Line.SentBytes(LineDirection::UnitToPc); }

    // A fault on the k-th byte from now in a direction.
    void Fault(LineDirection direction, std::uint64_t k, LineFaultKind kind,
               std::uint8_t mask = 0xFF, std::uint64_t delayUs = 0) {
        Line.InjectFault(LineFault{direction, Line.ByteCount(direction) + k, kind, mask, delayUs});
    }

    static std::size_t Count(const std::vector<std::uint8_t>& bytes, std::uint8_t value) {
        std::size_t n = 0;
        for (auto b : bytes)
            n += b == value;
        return n;
    }

    sim::VirtualTimerService Clock;
    sim::TSimLine Line{Clock, {1, 3, 12}};
    FakeUnit Unit;
    sim::UnitAdapter<FakeUnit> Adapter;
    TZVDataClass Data;
    std::unique_ptr<TComX> Link;
};

}  // namespace zv::test
