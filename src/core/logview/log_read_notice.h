#pragma once

#include <optional>

#include "logview/log_data.h"
#include "text/owned_text.h"

namespace zv {

class TZVDataClass;

// What a tuner must hear before trusting a log's plots, hit counts or autotune result: the
// lines the reader left out, with their line numbers (none when every line was read).
std::optional<TOwnedText> SkippedLinesNotice(const TLogData& log);

// The log was recorded on another unit than the one whose data set is open: another serial
// number, or a unit of the other generation (logs of firmware 27 and below carry LambdaVal,
// the newer ones never do). Targets and sites then come from the wrong data set. The data set's
// unit is the one it was read from, or the one its data file names. None when the data set
// names no unit or nothing says the units differ.
std::optional<TOwnedText> OtherUnitNotice(const TLogData& log, const TZVDataClass& data);

}  // namespace zv
