#include "logview/log_column.h"

#include <limits>

namespace zv {

namespace {

constexpr int kMaxDigits = 15;  // beyond this the digits no longer fit a double exactly

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

double PowerOfTen(int exponent) {
    double p = 1.0;
    for (int i = 0; i < exponent; ++i)
        p *= 10.0;
    return p;
}

bool FitsSmall(std::int64_t v) {
    return v >= std::numeric_limits<std::int16_t>::min() &&
           v <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

// Hand-made rather than strtod or streams: those follow the C locale, which a German desktop
// sets to a decimal comma, and the log always has a point.
bool ParseLogNumber(std::string_view text, TLogNumber& number) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    const bool negative = pos < text.size() && text[pos] == '-';
    if (negative)
        ++pos;
    std::int64_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!IsDigit(c))
            break;
        if (++count > kMaxDigits)
            return false;
        digits = digits * 10 + (c - '0');
        if (point)
            ++decimals;
    }
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (count == 0 || pos != text.size())
        return false;
    number.Digits = negative ? -digits : digits;
    number.Decimals = decimals;
    number.Value = static_cast<double>(number.Digits) / PowerOfTen(decimals);
    return true;
}

float TLogColumn::Value(std::size_t line) const {
    switch (store_) {
        case Store::Whole:
            return small_[line];
        case Store::Tenths:
            return static_cast<float>(small_[line]) / 10.0F;
        case Store::Float:
            return wide_[line];
        case Store::Unset:
            break;
    }
    return 0.0F;
}

std::vector<float> TLogColumn::Values() const {
    std::vector<float> values(Size());
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = Value(i);
    return values;
}

int TLogColumn::Decimals() const {
    switch (store_) {
    case Store::Unset:
    case Store::Whole:
        return 0;
    case Store::Tenths:
        return 1;
    case Store::Float:
        break;
    }
    return -1;
}

void TLogColumn::Append(const TLogNumber& number) {
    if (store_ == Store::Unset && number.Decimals <= 1)
        store_ = number.Decimals == 0 ? Store::Whole : Store::Tenths;
    if (store_ != Store::Float && TryAppendSmall(number))
        return;
    MoveToFloats();
    wide_.push_back(static_cast<float>(number.Value));
}

bool TLogColumn::TryAppendSmall(const TLogNumber& number) {
    std::int64_t v = number.Digits;
    if (store_ == Store::Whole) {
        // "5.0" in a whole column is still whole; "5.5" is not.
        if (number.Decimals > 1 || (number.Decimals == 1 && v % 10 != 0))
            return false;
        v = number.Decimals == 1 ? v / 10 : v;
    } else if (store_ == Store::Tenths) {
        if (number.Decimals > 1)
            return false;
        v = number.Decimals == 0 ? v * 10 : v;
    } else {
        return false;
    }
    if (!FitsSmall(v))
        return false;
    small_.push_back(static_cast<std::int16_t>(v));
    return true;
}

void TLogColumn::MoveToFloats() {
    if (store_ == Store::Float)
        return;
    wide_ = Values();
    small_ = {};
    store_ = Store::Float;
}

std::size_t TLogColumn::BytesHeld() const {
    return small_.capacity() * sizeof(std::int16_t) + wide_.capacity() * sizeof(float);
}

}  // namespace zv
