#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/port_name.h"
#include "link/sim_drive.h"
#include "seams/serial_port.h"
#include "seams/timer_service.h"
#include "text/text_table.h"

namespace zv::tool {

// Where a link command's unit sits and what drives the link's time: the simulated unit in this
// process on virtual time, or a real port on real timers.
class LinkRig {
  public:
    virtual ~LinkRig() = default;

    virtual TimerService& Timers() = 0;
    virtual SerialPort& Port() = 0;
    // The number the link selects to reach the unit.
    virtual int PortNumber() const = 0;
    // Empty when the port opens; otherwise why it does not (missing, in use, refused).
    virtual std::string CheckPort() = 0;
    // Runs the link until done() holds or limitMs pass; returns done().
    virtual bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) = 0;
    virtual std::uint64_t NowMs() const = 0;
    // Runs when the command has ended; false when what it had to do there failed.
    virtual bool Finish() { return true; }
};

struct SimRigOptions {
    int Firmware = kDefaultSimFirmware;
    std::string Data;  // the unit's memory from this data file
    std::string Save;  // the unit's memory saved to this data file at the end
    bool Realtime = false;
    TSimDrive Drive;
    Language Lang = Language::English;
};

// Nothing, with the reason in error, when the unit's data file cannot be read.
std::unique_ptr<LinkRig> MakeSimRig(const SimRigOptions& options, std::string& error);

// A COM port or a device path; nothing, with the reason in error, when this build has no real
// ports or the device path does not exist. A COM port the system does not list is still tried:
// CheckPort says why it does not open.
std::unique_ptr<LinkRig> MakeSerialRig(const TPortName& port, std::string& error);

}  // namespace zv::tool
