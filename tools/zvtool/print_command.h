#pragma once

#include <string>
#include <vector>

#include "text/text_table.h"

namespace zv::tool {

// print FILE -o OUT.pdf [--lang de|en]: the data sheet of a data file as a PDF, as the program
// prints it offline. Returns the exit code.
int RunPrintCommand(const std::vector<std::string>& args, Language lang);

extern const char* const kPrintUsage;

}  // namespace zv::tool
