#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zv {

// Whole-file access for data files. Paths are UTF-8.

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// The file's lines as UTF-8 text (Windows-1252 or UTF-8 on disk).
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

bool FileExists(const std::string& path);

// The lines as Windows-1252 with CR LF line ends, written atomically (see WriteFileAtomically):
// only the file's contents change. Returns an empty string on success, else the reason.
std::string WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace zv
