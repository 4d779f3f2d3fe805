#include "data/text_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "data/text_codec.h"

namespace zv {

namespace {

std::filesystem::path ToPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Describe(const std::error_code& ec) { return ec.message(); }

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

std::string WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const auto target = ToPath(path);
    auto temp = target;
    temp += ".saving~";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            const int err = errno;
            return "Cannot write '" + path + "': " + (err != 0 ? std::strerror(err) : "unknown error");
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return "Cannot write '" + path + "': the disk refused the data";
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return "Cannot write '" + path + "': " + Describe(ec);
    }
    return {};
}

std::string WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
    return WriteFileAtomically(path, EncodeWindows1252(JoinLinesCrlf(lines)));
}

}  // namespace zv
