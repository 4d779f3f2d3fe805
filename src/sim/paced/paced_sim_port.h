#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "seams/serial_port.h"
#include "seams/timer_service.h"
#include "unit/sim_unit.h"

namespace zv::sim {

// The simulated unit built into the program, as a serial port on real time: the simulated line
// and unit keep their own virtual clock, which follows the real clock, so bytes take their
// 9600-baud time and the engine runs at true speed. The clock is only moved while something is
// under way on the line, so an idle port costs nothing.
//
// Its one port is kSimulatedUnitPort, a number no serial port has; it is not listed among the
// numbered ports.
class TPacedSimPort : public zv::SerialPort {
  public:
    TPacedSimPort(zv::TimerService& realTime, int firmware);
    ~TPacedSimPort() override;
    TPacedSimPort(const TPacedSimPort&) = delete;
    TPacedSimPort& operator=(const TPacedSimPort&) = delete;

    TSimUnit& Unit() { return *unit_; }
    TSimLine& Line() { return line_; }

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return line_.IsOpen(); }
    bool SetPort(int number) override;
    int Port() const override { return port_; }
    std::vector<int> AvailablePorts() const override { return {}; }
    bool SetBaudIndex(int index) override;
    int BaudIndex() const override { return line_.BaudIndex(); }
    std::size_t BytesAvailable() const override { return line_.BytesAvailable(); }
    std::size_t ReadBuf(std::uint8_t* buffer, std::size_t n) override;
    std::size_t WriteBuf(const std::uint8_t* buffer, std::size_t n) override;
    std::string ReadString() override;

    // Shortest real time between two catch-ups of the clock: bytes then arrive in small
    // bursts, as from a serial driver, instead of one wake-up per byte.
    static constexpr int kPumpMs = 4;

  private:
    void CatchUp();  // runs the line and the unit up to the real time
    void Pump();
    void Schedule();

    zv::TimerService& realTime_;
    std::uint32_t realStartMs_;
    VirtualTimerService clock_;
    TSimLine line_;
    std::unique_ptr<TSimUnit> unit_;
    std::unique_ptr<UnitAdapter<TSimUnit>> adapter_;
    std::unique_ptr<zv::Timer> pump_;
    int port_ = 0;
    bool catchingUp_ = false;
};

}  // namespace zv::sim
