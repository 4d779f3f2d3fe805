#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zv {

// Spreadsheet or CSV text as rows of trimmed fields.
using TTextRows = std::vector<std::vector<std::string>>;

// No separator: every line is one field, as a single column copied from a spreadsheet.
constexpr char kOneColumn = '\0';

// The separator the text uses outside quoted fields: a tab (spreadsheets copy with tabs), a
// semicolon (CSV where the comma is the decimal sign), else a comma.
char SeparatorOf(const std::string& text);

// Fields split at the separator and rows at line ends, as CSV quotes them: a quoted field keeps
// separators and line ends and reads "" as one quote. Trailing empty fields of a row (some
// programs end every line with a separator) and trailing empty rows are dropped.
TTextRows SplitText(const std::string& text, char separator);

// Whether comma-separated rows could as well be one column with a decimal comma: no row has
// more than one comma outside quotes, and one has it.
bool CommaMayBeDecimal(const TTextRows& commaRows);

// A field as a number, with a decimal point or a decimal comma (a field never holds a
// separating comma once split), an optional leading plus; nothing when it is none.
std::optional<double> ParseNumber(std::string s);

}  // namespace zv
