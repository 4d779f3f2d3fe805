#pragma once

#include <algorithm>

namespace zv {

// The smoothing level of the wideband readouts: 0 shows every reading, 5 smooths most.
constexpr int kMaxDebounceLevel = 5;

// The running mean of a wideband readout. The first reading starts it: a mean that started at
// 0 would show the readout climbing from nonsense for the first second after connecting.
class TWidebandMean {
  public:
    // A level outside 0..5 can only come from a damaged setting; a negative one would divide
    // by zero.
    double Add(double afr, int level) {
        const int n = std::clamp(level, 0, kMaxDebounceLevel);
        value_ = started_ ? (value_ * n + afr) / (n + 1) : afr;
        started_ = true;
        return value_;
    }
    double Value() const { return value_; }

  private:
    double value_ = 0.0;
    bool started_ = false;
};

}  // namespace zv
