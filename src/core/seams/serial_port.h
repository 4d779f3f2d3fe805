#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zv {

// Baud rate by index (the index the link stores; 8 is 9600 bits per second).
constexpr std::array<int, 21> kBaudRates = {50,    110,    150,    300,    600,    1200,   2400,
                                            4800,  9600,   14400,  19200,  28800,  38400,  56000,
                                            57600, 115200, 128000, 230400, 256000, 460800, 921600};
constexpr int kBaud9600Index = 8;

// Bits per second of a baud index; 0 for an index outside the table.
constexpr int BaudRateOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kBaudRates.size())
               ? kBaudRates[static_cast<std::size_t>(index)]
               : 0;
}

// The serial port as the link sees it: always 8 data bits, no parity, one stop bit, no flow
// control, RTS and DTR on. Realised by TSerial (on the system's serial calls) in the program and
// by the simulated line in tests. Nothing here blocks: reads return what has arrived, writes
// hand bytes to the driver.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Port numbers 1..99 (COM1..COM99); 0 means none selected.
    static constexpr int kMaxPortNumber = 99;

    // Opens the selected port. False when already open, when no port is selected or when the
    // system refuses; the port then stays closed.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Selects the port to open next. Accepts 0 or a number of a port that exists; any other
    // number leaves the selection as it was and returns false.
    virtual bool SetPort(int number) = 0;
    virtual int Port() const = 0;
    // The port numbers present on this machine, ascending.
    virtual std::vector<int> AvailablePorts() const = 0;

    // Baud rate index of the next open (see kBaudRates); indexes outside the table are refused.
    virtual bool SetBaudIndex(int index) = 0;
    virtual int BaudIndex() const = 0;

    // Bytes received and not yet read; 0 while closed.
    virtual std::size_t BytesAvailable() const = 0;
    // Copies at most n waiting bytes and removes them from the receive queue; never waits.
    virtual std::size_t ReadBuf(std::uint8_t* buffer, std::size_t n) = 0;
    // Queues n bytes for transmission in order and returns at once; 0 while closed.
    virtual std::size_t WriteBuf(const std::uint8_t* buffer, std::size_t n) = 0;
    // Every waiting byte (the link throws stale input away with it); empty while closed.
    virtual std::string ReadString() = 0;

    // Raised once per receive event, when one or more bytes have arrived. It must arrive on the
    // thread that runs the link's timers, which is what keeps the link free of locks.
    void SetOnRxChar(std::function<void()> handler) { OnRxChar_ = std::move(handler); }

  protected:
    void RaiseRxChar() {
        if (OnRxChar_)
            OnRxChar_();
    }

  private:
    std::function<void()> OnRxChar_;
};

}  // namespace zv
