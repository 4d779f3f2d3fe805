// The simulated unit in this process, on virtual time (fast) or paced to the wall clock.
#include <chrono>
#include <thread>

#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "link_rig.h"
#include "unit/sim_unit.h"
#include "unit/unit_defaults.h"
#include "unit_memory.h"

namespace zv::tool {

namespace {

constexpr int kLinePort = 1;

class SimRig : public LinkRig {
  public:
    SimRig(const SimRigOptions& options, const ImageBytes& image)
        : options_(options), line_(clock_, {kLinePort}) {
        sim::TSimUnitConfig config;
        config.Firmware = options.Firmware;
        config.DeviceType = sim::DeviceTypeForFirmware(options.Firmware);
        config.Drive = options.Drive;
        unit_ = std::make_unique<sim::TSimUnit>(config, image);
        adapter_ = std::make_unique<sim::UnitAdapter<sim::TSimUnit>>(*unit_);
        line_.AttachUnit(adapter_.get());
    }

    TimerService& Timers() override { return clock_; }
    SerialPort& Port() override { return line_; }
    int PortNumber() const override { return kLinePort; }
    std::string CheckPort() override { return {}; }
    std::uint64_t NowMs() const override { return clock_.NowMs(); }

    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) override {
        if (!options_.Realtime)
            return clock_.RunUntil(done, limitMs);
        const auto start = std::chrono::steady_clock::now();
        const std::uint64_t begin = clock_.NowMs();
        while (!done() && clock_.NowMs() - begin < limitMs) {
            clock_.Advance(10);
            std::this_thread::sleep_until(start +
                                          std::chrono::milliseconds(clock_.NowMs() - begin));
        }
        return done();
    }

    bool Finish() override {
        return options_.Save.empty() ||
               SaveUnitMemory(*unit_, options_.Firmware, options_.Save, options_.Lang);
    }

  private:
    SimRigOptions options_;
    sim::VirtualTimerService clock_;
    sim::TSimLine line_;
    std::unique_ptr<sim::TSimUnit> unit_;
    std::unique_ptr<sim::UnitAdapter<sim::TSimUnit>> adapter_;
};

}  // namespace

std::unique_ptr<LinkRig> MakeSimRig(const SimRigOptions& options, std::string& error) {
    const auto image = ImageForUnit(options.Data, options.Firmware, options.Lang);
    if (!image) {
        error = "cannot read " + options.Data;
        return nullptr;
    }
    return std::make_unique<SimRig>(options, *image);
}

#ifndef ZV_HAVE_PORTS
std::unique_ptr<LinkRig> MakeSerialRig(const TPortName&, std::string& error) {
    error = "this build reaches only the simulated unit (--port sim or sim:FIRMWARE)";
    return nullptr;
}
#endif

}  // namespace zv::tool
