#pragma once

#include <string>
#include <vector>

#include "text/text_table.h"

namespace zv::tool {

// upload, download and watch: the program's own sequences against a unit. Returns the exit code.
int RunLinkCommand(const std::string& command, const std::vector<std::string>& args, Language lang);

extern const std::string kLinkUsage;

}  // namespace zv::tool
