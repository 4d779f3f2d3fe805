#include "data/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "data/atomic_file.h"
#include "data/text_codec.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zv {

namespace {

std::filesystem::path ToPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::error_code ec;
    const auto p = ToPath(path);
    if (!std::filesystem::is_regular_file(p, ec))
        return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return content.str();
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    return SplitLines(DecodeFileText(*bytes));
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(ToPath(path), ec);
}

std::string WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    return WriteFileAtomically(ToPath(path), EncodeWindows1252(JoinLinesCrlf(lines)));
}

namespace {

// The C streams take narrow paths; on Windows they are the ANSI code page, as the program's
// own paths are.
std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(ToPath(path).string().c_str(), mode);
}

// Creates the file only when no file of its name exists, in one step, so that another process
// creating the same name in between never loses its file. The C library's "x" mode is not in
// every Windows runtime; the descriptor calls with their exclusive flag are.
std::FILE* CreateExclusively(const std::string& path) {
#ifdef _WIN32
    const int fd = _open(ToPath(path).string().c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                         _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
#else
    const int fd = ::open(ToPath(path).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file)
        ::close(fd);
#endif
    return file;
}

bool WriteAndClose(std::FILE* file, const std::vector<std::string>& lines) {
    const std::string bytes = EncodeWindows1252(JoinLinesCrlf(lines));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

std::string CreateTextFile(const std::string& path, const std::vector<std::string>& lines) {
    if (FileExists(path))
        return path + ": " + std::strerror(EEXIST);
    std::FILE* file = CreateExclusively(path);
    if (!file)
        return path + ": " + std::strerror(errno);
    if (!WriteAndClose(file, lines))
        return path + ": " + std::strerror(errno);
    return {};
}

bool AppendTextLines(const std::string& path, const std::vector<std::string>& lines) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ToPath(path), ec))
        return false;
    std::FILE* file = OpenFile(path, "ab");
    return file && WriteAndClose(file, lines);
}

std::string CreateFolders(const std::string& path) {
    if (path.empty())
        return "Unable to create directory";
    std::error_code ec;
    std::filesystem::create_directories(ToPath(path), ec);
    if (ec)
        return path + ": " + ec.message();
    return {};
}

std::string FolderOf(const std::string& path) {
    const auto folder = ToPath(path).parent_path().u8string();
    return std::string(folder.begin(), folder.end());
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    const auto joined = (ToPath(folder) / ToPath(name)).u8string();
    return std::string(joined.begin(), joined.end());
}

}  // namespace zv
