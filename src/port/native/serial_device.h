#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zv::port::native {

// Why an open failed, as far as the system tells.
enum class OpenFailure { None, Missing, InUse, Refused };

// One serial device as the operating system offers it: a termios terminal on POSIX, a Win32
// comm handle with overlapped I/O on Windows. Always 8 data bits, no parity, one stop bit, no
// flow control, RTS and DTR on. Nothing here waits for bytes to arrive or to go out.
class SerialDevice {
  public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // A device path on POSIX, "COM3" or "\\.\COM12" on Windows; baudRate in bits per second.
    // queueSize is what the driver is asked to queue each way where it can be asked.
    OpenFailure Open(const std::string& device, int baudRate, std::size_t queueSize);
    void Close();
    bool IsOpen() const;
    // The system's words for the last failure.
    const std::string& ErrorText() const { return errorText_; }
    // Whether RTS and DTR could be raised: a pseudo-terminal has no such lines, and the link
    // works without them, so a refusal is no reason to fail the open.
    bool ModemLinesOn() const { return modemLinesOn_; }

    // Bytes the driver holds for reading.
    std::size_t Queued() const;
    // Takes at most n of the bytes the driver holds; never waits. Marks the device vanished
    // when the system says it is gone.
    std::size_t Read(std::uint8_t* buffer, std::size_t n);
    // Hands the bytes to the driver for transmission in order; returns how many it took.
    std::size_t Write(const std::uint8_t* buffer, std::size_t n);
    void DiscardInput();
    // The device went away while open: an adapter pulled, the program behind a
    // pseudo-terminal ended.
    bool Vanished() const;

    // POSIX: the descriptor to watch for readability (-1 when closed or on Windows).
    int Descriptor() const;
    // Windows: called on the device's own receive thread when bytes arrived, when bytes were
    // already queued as the wait began, and when the device vanished. Set it before Open.
    // Unused on POSIX, where the descriptor is watched instead.
    void SetOnArrival(std::function<void()> handler) { onArrival_ = std::move(handler); }
    // The owner took note of the last arrival; the next one may be reported again.
    void ArrivalSeen();

    struct State;  // the platform's handles, known only to its realisation

  private:
    std::unique_ptr<State> state_;
    std::string errorText_;
    bool modemLinesOn_ = false;
    std::function<void()> onArrival_;
};

}  // namespace zv::port::native
