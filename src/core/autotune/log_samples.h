#pragma once

#include <string>
#include <variant>
#include <vector>

#include "autotune/tune_sample.h"
#include "logview/log_data.h"
#include "text/owned_text.h"

namespace zv {

class TZVDataClass;

// The samples of a log read back. Every layout gives engine speed, throttle and contacts; the
// AFR, the controller's correction and its flags only where the log has those columns (the
// older units' wideband line keeps the correction raw beside its flags). Marks and edits noted
// in the log become mark times.
TTuneLog SamplesOfLog(const TLogData& log);

// The samples of a log file, or why there are none to tune from: the file is no log, or it
// holds no wideband AFR.
std::variant<TTuneLog, TOwnedText> SamplesFromLog(const std::string& path);

// A log file read for autotune against the open data set: its samples or why there are none,
// and what the tuner must know of the rest (skipped lines, a log of another unit).
struct TLogSamplesRead {
    std::variant<TTuneLog, TOwnedText> Samples;
    std::vector<TOwnedText> Notices;
};
TLogSamplesRead ReadLogSamples(const std::string& path, const TZVDataClass& data);

// Appends a further log an hour after the last sample so far, so that no delayed reading of
// one log is ever attributed to an operating point of another.
void AppendTuneLog(TTuneLog& all, const TTuneLog& next);

}  // namespace zv
