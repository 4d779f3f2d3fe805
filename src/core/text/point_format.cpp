#include "text/point_format.h"

#include <array>
#include <clocale>
#include <cstdio>
#include <cstring>

namespace zv {

std::string FormatPoint(const char* format, double value) {
    std::array<char, 48> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, value);
    std::string text = buffer.data();
    const char* point = std::localeconv()->decimal_point;
    if (point != nullptr && point[0] != '\0' && std::strcmp(point, ".") != 0) {
        if (const auto at = text.find(point); at != std::string::npos)
            text.replace(at, std::strlen(point), ".");
    }
    if (const auto comma = text.find(','); comma != std::string::npos)
        text[comma] = '.';
    return text;
}

}  // namespace zv
