#include "text/whole_number.h"

namespace zv {

std::optional<long> ParseWholeNumber(const std::string& text, long min, long max) {
    // Nine digits keep the value inside a 32-bit long.
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

}  // namespace zv
