#include "text/point_format.h"

#include <array>
#include <charconv>
#include <cstring>

namespace zv {

std::string FormatFixed(double value, int width, int precision) {
    // Wide enough for the largest double written out in full with its fraction.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, precision < 0 ? 6 : precision);
    std::string text(buffer.data(), result.ec == std::errc() ? result.ptr : buffer.data());
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

namespace {

int ReadNumber(const char*& p) {
    int n = 0;
    while (*p >= '0' && *p <= '9')
        n = n * 10 + (*p++ - '0');
    return n;
}

}  // namespace

std::string FormatPoint(const char* format, double value) {
    const char* item = std::strchr(format, '%');
    if (item == nullptr)
        return format;
    const char* p = item + 1;
    const int width = ReadNumber(p);
    int precision = 6;
    if (*p == '.') {
        ++p;
        precision = ReadNumber(p);
    }
    if (*p != 'f')
        return format;
    return std::string(format, item) + FormatFixed(value, width, precision) + (p + 1);
}

std::string FormatSigned(double value, int precision) {
    const std::string text = FormatFixed(value, 0, precision);
    return text.front() == '-' ? text : "+" + text;
}

std::string FormatShort(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 10);
    return std::string(buffer.data(), result.ec == std::errc() ? result.ptr : buffer.data());
}

std::string AfrTargetText(unsigned cell) {
    return (cell & 0x80) != 0 ? "NC" : FormatPoint("%2.1f", (cell + 105) / 10.0);
}

}  // namespace zv
