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
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", tm.tm_mon + 1, tm.tm_mday,
                      tm.tm_year + 1900);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", tm.tm_mday, tm.tm_mon + 1,
                      tm.tm_year + 1900);
    }
    return buffer;
}

// English times run on the 12-hour clock with "a" or "p" after them.
std::string TimePart(const std::tm& tm, Language lang, bool seconds) {
    const bool english = lang == Language::English;
    const int hour = english ? (tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12) : tm.tm_hour;
    char buffer[32];
    if (seconds) {
        std::snprintf(buffer, sizeof buffer, "  %02d:%02d:%02d", hour, tm.tm_min, tm.tm_sec);
    } else {
        std::snprintf(buffer, sizeof buffer, "  %02d:%02d", hour, tm.tm_min);
    }
    std::string text = buffer;
    if (english)
        text += tm.tm_hour < 12 ? 'a' : 'p';
    return text;
}

}  // namespace

std::string FormatLongDateTime(std::time_t when, Language lang) {
    const std::tm tm = LocalTime(when);
    return DatePart(tm, lang) + TimePart(tm, lang, true);
}

std::string FormatPrintDateTime(std::time_t when, Language lang) {
    const std::tm tm = LocalTime(when);
    return DatePart(tm, lang) + TimePart(tm, lang, false);
}

namespace {

// Year, month, day, hour, minute and second, in that order, into a format that takes them.
std::string YearFirst(std::time_t when, const char* format) {
    const std::tm tm = LocalTime(when);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, format, tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buffer;
}

}  // namespace

std::string FormatLogDateTime(std::time_t when) {
    return YearFirst(when, "%04d-%02d-%02d  %02d:%02d:%02d");
}

std::string FormatBackupStamp(std::time_t when) {
    return YearFirst(when, "%04d-%02d-%02d %02d%02d%02d");
}

std::string FormatShortDateTime(std::time_t when, Language lang) {
    const std::tm tm = LocalTime(when);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return DatePart(tm, lang) + buffer;
}

}  // namespace zv
