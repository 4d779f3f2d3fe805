#pragma once

#include <filesystem>
#include <string>

namespace zv {

// Replaces a file's contents with bytes: they go to a temporary file beside it, which is flushed
// to the disk and renamed over the file, and the rename is flushed too; an interrupted save thus
// leaves either the old or the new contents, never an empty file. Only the contents change: the
// file keeps its permissions (and, where the system allows, its owner and group), and a
// symbolic link stays a link whose target receives the bytes. Returns an empty string on
// success, else the reason (naming the path as given).
std::string WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace zv
