#include "adapter_latency.h"

namespace zv::port::native {

std::string ComNameOfDevice(const std::string& device) {
    const std::string prefix = "\\\\.\\";
    return device.rfind(prefix, 0) == 0 ? device.substr(prefix.size()) : device;
}

}  // namespace zv::port::native
