#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// A number of a log line as written: its digits without the point and how many stood after it,
// so that "13.8" is kept exactly as 138 tenths.
struct TLogNumber {
    std::int64_t Digits = 0;
    int Decimals = 0;
    double Value = 0.0;
};

// A log field: blanks in front (printf's width), a sign, digits with at most one point. False
// for anything else, an empty field included.
bool ParseLogNumber(std::string_view text, TLogNumber& number);

// The values of one column of a log, one per data line. Almost every logged value is a byte, a
// bit, an engine speed or a percentage with one decimal, so a column holds 16-bit integers (whole
// or tenths, as its first value shows) and moves to floats only when a value does not fit.
class TLogColumn {
  public:
    explicit TLogColumn(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    std::size_t Size() const { return store_ == Store::Float ? wide_.size() : small_.size(); }
    float Value(std::size_t line) const;
    std::vector<float> Values() const;

    void Append(const TLogNumber& number);
    void Reserve(std::size_t lines) { small_.reserve(lines); }
    std::size_t BytesHeld() const;
    // The places after the point the column's values were written with; -1 where they differ.
    int Decimals() const;

  private:
    enum class Store : std::uint8_t { Unset, Whole, Tenths, Float };

    bool TryAppendSmall(const TLogNumber& number);
    void MoveToFloats();

    std::string name_;
    Store store_ = Store::Unset;
    std::vector<std::int16_t> small_;
    std::vector<float> wide_;
};

}  // namespace zv
