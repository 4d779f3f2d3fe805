#pragma once

#include <ctime>
#include <string>

#include "text/text_table.h"

namespace zv {

// "mm/dd/yyyy  hh:nn:ssa/p" in English (12-hour clock, "a" or "p"), "dd.mm.yyyy  hh:nn:ss" in
// German: the stamp of a new data set's comment and of the date panel.
std::string FormatLongDateTime(std::time_t when, Language lang);

// The short form "mm/dd/yyyy hh:nn:ss" or "dd.mm.yyyy hh:nn:ss", 24-hour clock.
std::string FormatShortDateTime(std::time_t when, Language lang);

// "yyyy-mm-dd  hh:nn:ss": the stamps of a log file, the same in both languages.
std::string FormatLogDateTime(std::time_t when);

// "yyyy-mm-dd hhnnss": the stamp in a backup's file name, which sorts by time and holds no
// character a file system refuses.
std::string FormatBackupStamp(std::time_t when);

// "dd.mm.yyyy  hh:nn" in German, "mm/dd/yyyy  hh:nna/p" in English: the data sheet's date.
std::string FormatPrintDateTime(std::time_t when, Language lang);

}  // namespace zv
