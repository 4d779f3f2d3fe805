#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "serial_device.h"

namespace zv::port::native {

// A serial device with a receive queue of the program's own. A readiness notification fires
// for as long as the driver holds bytes, and the link leaves stray bytes unread; so each
// notification moves what arrived into this queue (Receive) and the notification stops. Bytes
// count as received once they are in the queue: whoever reads never sees bytes whose
// notification is still to come. The queue holds at most the receive buffer size; beyond that
// bytes wait in the driver until the next Receive.
class NativePort {
  public:
    explicit NativePort(std::size_t queueSize) : queueSize_(queueSize) {}

    OpenFailure Open(const std::string& device, int baudRate);
    void Close();
    bool IsOpen() const { return device_.IsOpen(); }

    // Bytes received into the queue and not yet read; 0 while closed.
    std::size_t BytesAvailable() const { return queue_.size(); }
    // At most n bytes of the queue; never waits.
    std::size_t Read(std::uint8_t* buffer, std::size_t n);
    std::size_t Write(const std::uint8_t* buffer, std::size_t n) {
        return device_.Write(buffer, n);
    }
    // Every waiting byte, the driver's too, leaving nothing behind.
    std::string ReadAll();

    // Moves what the driver holds into the queue, up to its size. False when the device
    // vanished.
    bool Receive();
    bool QueueFull() const { return queue_.size() >= queueSize_; }

    SerialDevice& Device() { return device_; }
    const SerialDevice& Device() const { return device_; }

  private:
    std::size_t queueSize_;
    std::deque<std::uint8_t> queue_;
    SerialDevice device_;
};

}  // namespace zv::port::native
