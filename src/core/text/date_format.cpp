#include "text/date_format.h"

#include <cstdio>

namespace zv {

namespace {

std::tm LocalTime(std::time_t when) {
    const std::tm* local = std::localtime(&when);
    return local ? *local : std::tm{};
}

std::string DatePart(const std::tm& tm, Language lang) {
    char buffer[32];
    if (lang == Language::English) {
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    }
    return buffer;
}

}  // namespace

std::string FormatLongDateTime(std::time_t when, Language lang) {
    const std::tm tm = LocalTime(when);
    char buffer[32];
    if (lang == Language::English) {
        const int hour12 = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
        std::snprintf(buffer, sizeof buffer, "  %02d:%02d:%02d%c", hour12, tm.tm_min, tm.tm_sec,
                      tm.tm_hour < 12 ? 'a' : 'p');
    } else {
        std::snprintf(buffer, sizeof buffer, "  %02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    }
    return DatePart(tm, lang) + buffer;
}

std::string FormatShortDateTime(std::time_t when, Language lang) {
    const std::tm tm = LocalTime(when);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return DatePart(tm, lang) + buffer;
}

}  // namespace zv
