#pragma once

#include <optional>
#include <string>

namespace zv {

// A whole number written in decimal digits only (no sign, no blanks) within min..max; nothing
// for any other text, a number out of range or one too long to be in it.
std::optional<long> ParseWholeNumber(const std::string& text, long min, long max);

}  // namespace zv
