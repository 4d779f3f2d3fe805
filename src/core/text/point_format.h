#pragma once

#include <string>

namespace zv {

// printf formatting of one number for the live displays, which show a decimal point whatever
// locale the user interface installed for the C library.
std::string FormatPoint(const char* format, double value);

}  // namespace zv
