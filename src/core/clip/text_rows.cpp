#include "clip/text_rows.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zv {

namespace {

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Splits the text as it goes, one field and one row at a time.
class TSplitter {
  public:
    explicit TSplitter(char separator) : separator_(separator) {}

    TTextRows Split(const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const bool next = i + 1 < text.size();
            if (quoted_) {
                if (c != '"')
                    field_ += c;
                else if (next && text[i + 1] == '"')
                    field_ += text[++i];
                else
                    quoted_ = false;
            } else if (c == '"' && Trimmed(field_).empty()) {
                quoted_ = true;
                field_.clear();
            } else if (separator_ != kOneColumn && c == separator_) {
                EndField();
            } else if (c == '\n') {
                EndRow();
            } else if (c != '\r' || (next && text[i + 1] != '\n')) {
                field_ += c;
            }
        }
        EndRow();
        while (!rows_.empty() && rows_.back().empty())
            rows_.pop_back();
        return rows_;
    }

  private:
    void EndField() {
        row_.push_back(Trimmed(field_));
        field_.clear();
    }
    void EndRow() {
        EndField();
        while (!row_.empty() && row_.back().empty())
            row_.pop_back();
        rows_.push_back(std::move(row_));
        row_.clear();
    }

    char separator_;
    bool quoted_ = false;
    std::string field_;
    std::vector<std::string> row_;
    TTextRows rows_;
};

}  // namespace

char SeparatorOf(const std::string& text) {
    bool quoted = false;
    bool semicolon = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;  // a doubled quote toggles twice
        else if (!quoted && c == '\t')
            return '\t';
        else if (!quoted && c == ';')
            semicolon = true;
    }
    return semicolon ? ';' : ',';
}

TTextRows SplitText(const std::string& text, char separator) {
    return TSplitter(separator).Split(text);
}

bool CommaMayBeDecimal(const TTextRows& commaRows) {
    bool two = false;
    for (const auto& row : commaRows) {
        if (row.size() > 2)
            return false;
        two = two || row.size() == 2;
    }
    return two;
}

std::optional<double> ParseNumber(std::string s) {
    std::replace(s.begin(), s.end(), ',', '.');
    if (!s.empty() && s.front() == '+')
        s.erase(0, 1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace zv
