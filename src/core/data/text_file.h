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

// Log files grow line by line and must be complete on disk after every line, so they are
// written in place rather than atomically.
// Creates the file (replacing nothing: false when it exists) with the lines. Returns an empty
// string on success, else the reason.
std::string CreateTextFile(const std::string& path, const std::vector<std::string>& lines);
// Appends the lines to an existing file and flushes them; false when the file is gone or
// cannot be written, in which case nothing is created.
bool AppendTextLines(const std::string& path, const std::vector<std::string>& lines);

// Creates the folder and every missing parent; an empty string on success, else the reason.
std::string CreateFolders(const std::string& path);

// Folder part and file name of a path, and a name joined to a folder, with the system's separator.
std::string FolderOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace zv
