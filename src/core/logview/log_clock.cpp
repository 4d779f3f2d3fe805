#include "logview/log_clock.h"

#include <cmath>
#include <cstdio>

namespace zv {

namespace {

constexpr long kHour = 3600;

std::string Clock(long tenths, TLogClockForm form, bool withTenths) {
    const long total = tenths / 10;
    char text[32];
    if (form == TLogClockForm::Hours) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / kHour, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%02ld:%02ld", total / 60, total % 60);
    }
    std::string clock = text;
    if (withTenths)
        clock += "." + std::to_string(tenths % 10);
    return clock;
}

// Whole tenths begun; the small slack keeps 0.3 s, which a double holds a hair below, at 0.3.
long TenthsBegun(double seconds) {
    return std::max(0L, std::lround(std::floor(seconds * 10.0 + 1e-6)));
}

}  // namespace

TLogClockForm LogClockForm(double logSeconds) {
    return logSeconds >= static_cast<double>(kHour) ? TLogClockForm::Hours : TLogClockForm::Minutes;
}

std::string LogClockText(double seconds, TLogClockForm form) {
    return Clock(TenthsBegun(seconds), form, false);
}

std::string LogCursorTimeText(double seconds, TLogClockForm form) {
    return Clock(TenthsBegun(seconds), form, true);
}

std::string LogClockUnit(TLogClockForm form) {
    return form == TLogClockForm::Hours ? "h:mm:ss" : "mm:ss";
}

}  // namespace zv
