#pragma once

#include <string>
#include <variant>

#include "autotune/tune_sample.h"
#include "text/text_table.h"

namespace zv {

class TZVDataClass;

// The samples of a log file written by the data logger, read by the one log reader; or why
// they could not be read. The data set gives the sensor scale where the log holds raw values.
std::variant<TTuneLog, TextPair> SamplesFromLog(const std::string& path, const TZVDataClass& data);

}  // namespace zv
