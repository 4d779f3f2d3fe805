#pragma once

#include "link/port_name.h"
#include "seams/serial_port.h"

namespace zv::port {

class TSerial;

// The program's one port: kSimulatedUnitPort is the simulated unit built into the program,
// COM1..COM99 the serial ports and 0 no port at all. The link talks to whichever is selected and never sees the switch happen: it
// selects a number, opens and closes as it always does.
//
// A COM port that is not present when selected is waited for rather than refused: the link
// then sees a silent unit until the port appears, and goes on talking to the port it was told
// to use, never to another one.
class TPortSwitch : public zv::SerialPort {
  public:
    TPortSwitch(zv::SerialPort& builtIn, TSerial& serial);
    ~TPortSwitch() override;
    TPortSwitch(const TPortSwitch&) = delete;
    TPortSwitch& operator=(const TPortSwitch&) = delete;

    bool Open() override { return Active().Open(); }
    void Close() override { Active().Close(); }
    bool IsOpen() const override { return Active().IsOpen(); }
    // 0..99 or the simulated unit's number: a COM port that is not present is waited for (see above).
    bool SetPort(int number) override;
    int Port() const override { return number_; }
    // The serial ports; the built-in unit is always there and not listed.
    std::vector<int> AvailablePorts() const override;
    bool SetBaudIndex(int index) override;
    int BaudIndex() const override { return Active().BaudIndex(); }
    std::size_t BytesAvailable() const override { return Active().BytesAvailable(); }
    std::size_t ReadBuf(std::uint8_t* buffer, std::size_t n) override {
        return Active().ReadBuf(buffer, n);
    }
    std::size_t WriteBuf(const std::uint8_t* buffer, std::size_t n) override {
        return Active().WriteBuf(buffer, n);
    }
    std::string ReadString() override { return Active().ReadString(); }

  private:
    zv::SerialPort& Active() const;

    zv::SerialPort& builtIn_;
    TSerial& serial_;
    int number_ = zv::kSimulatedUnitPort;
};

}  // namespace zv::port
