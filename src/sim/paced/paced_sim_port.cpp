#include "paced/paced_sim_port.h"

#include "link/port_name.h"
#include "unit/unit_defaults.h"

namespace zv::sim {

namespace {

constexpr int kLinePort = 1;

// The built-in unit is wired like a car with both probes fitted: narrowband on input E and,
// from the firmwares that know it, a wideband sensor on input F, so that every panel of the
// dashboard has something to show.
zv::ImageBytes DemoImage(int firmware) {
    zv::TZVDataSet set;
    set.Image = NewDataSetImage(firmware);
    std::uint16_t flags = set.FlagsWord();
    if (firmware >= 11)
        zv::TZVDataClass::SetFlag(flags, 3);  // input E: lambda, narrowband
    if (firmware >= 27) {
        zv::TZVDataClass::SetFlag(flags, 2);  // input F: lambda,
        zv::TZVDataClass::SetFlag(flags, 8);  // wideband
    }
    set.SetFlagsWord(flags);
    return set.Image;
}

TSimUnitConfig ConfigFor(int firmware) {
    TSimUnitConfig config;
    config.Firmware = firmware;
    config.DeviceType = DeviceTypeForFirmware(firmware);
    return config;
}

}  // namespace

TPacedSimPort::TPacedSimPort(zv::TimerService& realTime, int firmware)
    : realTime_(realTime),
      realStartMs_(realTime.GetTickCount()),
      line_(clock_, {kLinePort}),
      unit_(std::make_unique<TSimUnit>(ConfigFor(firmware), DemoImage(firmware))),
      adapter_(std::make_unique<UnitAdapter<TSimUnit>>(*unit_)),
      pump_(realTime.CreateTimer()) {
    line_.AttachUnit(adapter_.get());
    line_.SetOnRxChar([this] { RaiseRxChar(); });
    pump_->SetSingleShot(true);
    pump_->SetHandler([this] { Pump(); });
}

TPacedSimPort::~TPacedSimPort() {
    pump_->Stop();
}

void TPacedSimPort::CatchUp() {
    // Receive notifications run the link from inside the clock's events; a write it makes
    // there is scheduled by the line itself and must not move the clock again.
    if (catchingUp_)
        return;
    const std::uint64_t realUs =
        static_cast<std::uint64_t>(realTime_.GetTickCount() - realStartMs_) * 1000u;
    if (realUs <= clock_.NowUs())
        return;
    catchingUp_ = true;
    clock_.AdvanceUs(realUs - clock_.NowUs());
    catchingUp_ = false;
}

void TPacedSimPort::Schedule() {
    if (catchingUp_)
        return;
    const auto due = clock_.NextDueUs();
    if (!due) {
        pump_->Stop();
        return;
    }
    const std::uint64_t waitUs = *due > clock_.NowUs() ? *due - clock_.NowUs() : 0;
    const int waitMs = static_cast<int>((waitUs + 999) / 1000);
    pump_->SetInterval(waitMs < kPumpMs ? kPumpMs : waitMs);
    if (!pump_->Active())
        pump_->Start();
}

void TPacedSimPort::Pump() {
    CatchUp();
    Schedule();
}

bool TPacedSimPort::Open() {
    CatchUp();
    return port_ == zv::kSimulatedUnitPort && line_.Open();
}

void TPacedSimPort::Close() {
    CatchUp();
    line_.Close();
    Schedule();
}

bool TPacedSimPort::SetPort(int number) {
    if (number != zv::kSimulatedUnitPort)
        return false;
    port_ = number;
    return line_.SetPort(kLinePort);
}

bool TPacedSimPort::SetBaudIndex(int index) {
    return line_.SetBaudIndex(index);
}

std::size_t TPacedSimPort::ReadBuf(std::uint8_t* buffer, std::size_t n) {
    return line_.ReadBuf(buffer, n);
}

std::size_t TPacedSimPort::WriteBuf(const std::uint8_t* buffer, std::size_t n) {
    CatchUp();
    const std::size_t written = line_.WriteBuf(buffer, n);
    Schedule();
    return written;
}

std::string TPacedSimPort::ReadString() {
    return line_.ReadString();
}

}  // namespace zv::sim
