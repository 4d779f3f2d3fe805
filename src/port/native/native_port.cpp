#include "native_port.h"

#include <algorithm>
#include <vector>

namespace zv::port::native {

OpenFailure NativePort::Open(const std::string& device, int baudRate) {
    queue_.clear();
    return device_.Open(device, baudRate, queueSize_);
}

void NativePort::Close() {
    device_.Close();
    queue_.clear();
}

std::size_t NativePort::Read(std::uint8_t* buffer, std::size_t n) {
    const std::size_t taken = std::min(n, queue_.size());
    std::copy_n(queue_.begin(), taken, buffer);
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(taken));
    return taken;
}

std::string NativePort::ReadAll() {
    if (!device_.IsOpen())
        return {};
    std::string all(queue_.begin(), queue_.end());
    queue_.clear();
    std::vector<std::uint8_t> chunk(device_.Queued());
    chunk.resize(device_.Read(chunk.data(), chunk.size()));
    all.append(chunk.begin(), chunk.end());
    // What is still on its way in the driver is just as stale.
    device_.DiscardInput();
    return all;
}

bool NativePort::Receive() {
    device_.ArrivalSeen();
    if (!device_.IsOpen())
        return false;
    std::uint8_t chunk[256];
    while (!QueueFull()) {
        const std::size_t room = std::min(sizeof chunk, queueSize_ - queue_.size());
        const std::size_t got = device_.Read(chunk, room);
        queue_.insert(queue_.end(), chunk, chunk + got);
        if (got < room)
            break;
    }
    return !device_.Vanished();
}

}  // namespace zv::port::native
