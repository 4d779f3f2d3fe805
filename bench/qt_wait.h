#pragma once

#include <functional>

namespace zv::bench {

// Runs the Qt event loop until done() holds or ms have passed; returns done(). For the runs on
// real timers against zvsim.
bool WaitFor(const std::function<bool()>& done, int ms);

}  // namespace zv::bench
