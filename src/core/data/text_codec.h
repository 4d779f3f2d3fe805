#pragma once

#include <string>
#include <vector>

namespace zv {

// Data files and log files are Windows-1252 text with CRLF line ends, as the unit's existing
// files are; in memory all text is UTF-8.

// File bytes to UTF-8: valid UTF-8 is taken as it is (without a byte order mark), anything else
// is read as Windows-1252. Every Windows-1252 byte maps to a character, so this never fails and
// encoding the result again gives back the same bytes.
std::string DecodeFileText(const std::string& bytes);

// UTF-8 to Windows-1252; characters it cannot hold become "?".
std::string EncodeWindows1252(const std::string& utf8);

// Lines of a text; CR LF, LF and CR all end a line, and a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

// Lines joined, each ended with CR LF.
std::string JoinLinesCrlf(const std::vector<std::string>& lines);

}  // namespace zv
