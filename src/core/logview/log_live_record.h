#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dashboard/dashboard.h"
#include "logview/log_data.h"

namespace zv {

class TZVDataClass;

// A live record of the working data set's layout rebuilt from one log line, so that the pages
// follow a log as they follow the unit. Bytes the log does not hold stay 0; the buffer must
// outlive the record.
TLiveRecord LiveRecordOfLine(const TLogData& log, std::size_t line, const TZVDataClass& data,
                             std::array<std::uint8_t, 28>& buffer);

// The wideband input byte whose AFR on the data set's PC-side scale lies nearest a logged AFR.
std::uint8_t AfrRaw(const TZVDataClass& data, double afr);
// The correction byte the logger turned into a logged correction (255 stands for 0 and above
// 127 for negatives).
std::uint8_t CorrectionRaw(double correction);

}  // namespace zv
