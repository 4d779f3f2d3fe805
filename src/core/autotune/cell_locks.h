#pragma once

#include <optional>
#include <string>

#include "autotune/tune_settings.h"

namespace zv {

class SettingsStore;

// The cells autotune leaves alone are the operator's choice for a data set: they are kept in the
// program's settings under the data file's name, one hexadecimal word per throttle site (lowest
// first, bit r for the rpm site r), so that they come back with the file.
std::string LocksText(const TCellLocks& locks);
std::optional<TCellLocks> LocksOfText(const std::string& text);

// Nothing is kept for a data set without a file name (new, or read from the unit).
TCellLocks LoadLocks(SettingsStore& store, const std::string& dataFile);
void SaveLocks(SettingsStore& store, const std::string& dataFile, const TCellLocks& locks);

}  // namespace zv
