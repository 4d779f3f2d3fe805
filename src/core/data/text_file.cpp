#include "data/text_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "data/atomic_file.h"
#include "data/text_codec.h"

namespace zv {

namespace {

std::filesystem::path ToPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::error_code ec;
    const auto p = ToPath(path);
    if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    return SplitLines(DecodeFileText(*bytes));
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(ToPath(path), ec);
}

std::string WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    return WriteFileAtomically(ToPath(path), EncodeWindows1252(JoinLinesCrlf(lines)));
}

}  // namespace zv
