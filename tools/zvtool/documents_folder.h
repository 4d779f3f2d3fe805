#pragma once

#include <string>

namespace zv::tool {

// The user's documents folder, found as the program finds it, so that the tool's backups land
// in the program's data folder.
std::string DocumentsFolder();

}  // namespace zv::tool
