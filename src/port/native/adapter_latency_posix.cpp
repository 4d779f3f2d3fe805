#include "adapter_latency.h"

namespace zv::port::native {

// The port asks the serial driver for low latency when it opens (ASYNC_LOW_LATENCY), which
// USB-serial drivers honour by passing bytes on at once: there is nothing to warn about.
std::optional<int> AdapterLatencyTimerMs(const std::string&) {
    return std::nullopt;
}

}  // namespace zv::port::native
