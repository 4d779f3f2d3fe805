#include "clip/clip_block.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "history/step_names.h"

namespace zv {

namespace {

using TTextRows = std::vector<std::vector<std::string>>;

// A taken value this close to the typed one is the value typed (1.5 and the shown 1.50).
constexpr double kSameValue = 1e-9;

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\"");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\"") - first + 1);
}

// Spreadsheets copy with tabs; CSV files use commas, or semicolons where the comma is the
// decimal sign.
char SeparatorOf(const std::string& text) {
    if (text.find('\t') != std::string::npos)
        return '\t';
    return text.find(';') != std::string::npos ? ';' : ',';
}

std::vector<std::string> SplitLine(const std::string& line, char separator) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const auto end = line.find(separator, start);
        cells.push_back(Trimmed(line.substr(start, end - start)));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    // Some programs end every line with a separator.
    while (!cells.empty() && cells.back().empty())
        cells.pop_back();
    return cells;
}

TTextRows SplitText(const std::string& text, char separator) {
    TTextRows rows;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        rows.push_back(SplitLine(line, separator));
        start = end + 1;
    }
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    return rows;
}

std::optional<double> ParseNumber(std::string s, bool decimalComma) {
    if (decimalComma)
        std::replace(s.begin(), s.end(), ',', '.');
    if (!s.empty() && s.front() == '+')
        s.erase(0, 1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct TReader {
    const TClipItem& Item;
    bool DecimalComma;

    // An axis cell names its site by number; the curve's value row by a word.
    bool LabelMatches(const std::string& cell, const std::string& label) const {
        const auto c = ParseNumber(cell, DecimalComma);
        const auto l = ParseNumber(label, false);
        return l ? c && std::abs(*c - *l) < 1e-9 : !c;
    }

    // Where the cells run along the labels, when they do. A single number alone could as well
    // be a value that happens to equal a site, so a lone axis of numbers needs two of them.
    std::optional<int> RunStart(const std::vector<std::string>& cells,
                                const std::vector<std::string>& labels, bool lone) const {
        if (cells.empty() || cells.size() > labels.size())
            return std::nullopt;
        if (lone && cells.size() < 2 && ParseNumber(labels.front(), false))
            return std::nullopt;
        for (std::size_t s = 0; s + cells.size() <= labels.size(); ++s) {
            bool all = true;
            for (std::size_t i = 0; i < cells.size() && all; ++i)
                all = LabelMatches(cells[i], labels[s + i]);
            if (all)
                return static_cast<int>(s);
        }
        return std::nullopt;
    }
};

std::string At(const TTextRows& rows, std::size_t row, std::size_t col) {
    return col < rows[row].size() ? rows[row][col] : std::string();
}

// The block inside the text and where it goes in the item.
struct TBlockPlace {
    int AxisRows = 0, AxisCols = 0;  // 1 where the text has that axis
    int Rows = 0, Cols = 0;
    int Row = 0, Col = 0;  // its top left cell in the item
};

std::optional<TBlockPlace> TryAxes(const TReader& reader, const TTextRows& rows, int width,
                                   bool axisRow, bool axisCol, int row, int col) {
    TBlockPlace place{axisRow ? 1 : 0, axisCol ? 1 : 0, 0, 0, row, col};
    place.Rows = static_cast<int>(rows.size()) - place.AxisRows;
    place.Cols = width - place.AxisCols;
    if (place.Rows <= 0 || place.Cols <= 0)
        return std::nullopt;
    if (axisRow) {
        if (static_cast<int>(rows[0].size()) != width)
            return std::nullopt;
        const std::vector<std::string> header(rows[0].begin() + place.AxisCols, rows[0].end());
        const auto start = reader.RunStart(header, reader.Item.ColLabels(), !axisCol);
        if (!start)
            return std::nullopt;
        place.Col = *start;
    }
    if (axisCol) {
        std::vector<std::string> labels;
        for (std::size_t r = static_cast<std::size_t>(place.AxisRows); r < rows.size(); ++r)
            labels.push_back(At(rows, r, 0));
        const auto start = reader.RunStart(labels, reader.Item.RowLabels(), !axisRow);
        if (!start)
            return std::nullopt;
        place.Row = *start;
    }
    // A whole map or curve goes back where its axes say; a part of one goes to the cursor, as
    // the operator pastes a copied block elsewhere.
    if (place.Rows != reader.Item.Rows() || place.Cols != reader.Item.Cols()) {
        place.Row = row;
        place.Col = col;
    }
    return place;
}

// The axes are recognised by the sites they name, so that they are not taken for values.
std::optional<TBlockPlace> FindBlock(const TReader& reader, const TTextRows& rows, int row,
                                     int col) {
    int width = 0;
    for (const auto& r : rows)
        width = std::max(width, static_cast<int>(r.size()));
    for (const auto& [axisRow, axisCol] :
         {std::pair{true, true}, {true, false}, {false, true}, {false, false}}) {
        if (auto place = TryAxes(reader, rows, width, axisRow, axisCol, row, col))
            return place;
    }
    return std::nullopt;
}

std::string CellWhere(const char* row, const char* col, int textRow, int textCol) {
    return std::string(row) + " " + std::to_string(textRow) + ", " + col + " " +
           std::to_string(textCol) + ": ";
}

TClipMessage AtCell(int textRow, int textCol, const std::string& german,
                    const std::string& english) {
    return {CellWhere("Zeile", "Spalte", textRow, textCol) + german,
            CellWhere("Row", "column", textRow, textCol) + english};
}

std::string Extent(int rows, int cols) {
    return std::to_string(rows) + " × " + std::to_string(cols);
}

TClipMessage TooLarge(const TClipItem& item, const TBlockPlace& p) {
    const std::string block = Extent(p.Rows, p.Cols);
    const std::string at = std::to_string(p.Row + 1) + ", ";
    const std::string col = std::to_string(p.Col + 1);
    const std::string whole = Extent(item.Rows(), item.Cols());
    return {"Der eingefügte Block mit " + block + " Zellen (Zeilen × Spalten) passt ab Zeile " + at +
                "Spalte " + col + " nicht hinein: die Tabelle hat " + whole + ".",
            "The pasted block of " + block + " cells (rows × columns) does not fit from row " + at +
                "column " + col + " on: the table has " + whole + "."};
}

// The byte a typed value means: the cell's own when it already shows that value, else the
// byte that shows the nearest value; nothing (and the message) when it means none.
std::optional<std::uint8_t> ReadCell(const TReader& reader, const std::string& text,
                                     std::uint8_t current, int textRow, int textCol,
                                     std::optional<TClipMessage>& refused) {
    const TClipItem& item = reader.Item;
    if (text.empty()) {
        refused = AtCell(textRow, textCol, "kein Wert.", "no value.");
        return std::nullopt;
    }
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (item.TakesNC() && upper == "NC")
        return item.IsNC(current) ? current : item.NCByte();
    const auto x = ParseNumber(text, reader.DecimalComma);
    if (!x) {
        refused = AtCell(textRow, textCol, "„" + text + "“ ist keine Zahl.",
                         "\"" + text + "\" is not a number.");
        return std::nullopt;
    }
    const double tol = item.Tolerance();
    const auto shown = item.Shown(current);
    if (shown && std::abs(*shown - *x) < tol * 0.999)
        return current;
    const std::vector<std::uint8_t> bytes = item.ValidBytes();
    if (*x < *item.Shown(bytes.front()) - tol || *x > *item.Shown(bytes.back()) + tol) {
        const std::string range = item.Text(bytes.front()) + " .. " + item.Text(bytes.back());
        refused = AtCell(textRow, textCol,
                         text + " liegt außerhalb von " + range + (item.TakesNC() ? " (oder NC)." : "."),
                         text + " is outside " + range + (item.TakesNC() ? " (or NC)." : "."));
        return std::nullopt;
    }
    // Halfway between two values goes away from zero, as spreadsheets round.
    std::uint8_t best = bytes.front();
    for (std::uint8_t b : bytes) {
        const double distance = std::abs(*item.Shown(b) - *x);
        const double bestDistance = std::abs(*item.Shown(best) - *x);
        if (distance < bestDistance - kSameValue ||
            (distance < bestDistance + kSameValue &&
             std::abs(*item.Shown(b)) > std::abs(*item.Shown(best))))
            best = b;
    }
    return best;
}

void NoteRounding(TPastePlan& plan, const TReader& reader, const std::string& text,
                  std::uint8_t taken) {
    const auto typed = ParseNumber(text, reader.DecimalComma);
    const auto shown = reader.Item.Shown(taken);
    if (!typed || !shown || std::abs(*shown - *typed) < kSameValue)
        return;
    if (plan.Rounded++ == 0) {
        plan.RoundedTyped = text;
        plan.RoundedTaken = reader.Item.Text(taken);
    }
}

}  // namespace

std::string PasteRoundingNote(const TPastePlan& plan, Language lang) {
    if (plan.Rounded == 0)
        return {};
    const std::string count = std::to_string(plan.Rounded);
    const std::string example = " (" + plan.RoundedTyped + " -> " + plan.RoundedTaken + ")";
    if (lang == Language::German)
        return (plan.Rounded == 1 ? "1 Wert" : count + " Werte") +
               " auf den nächsten Wert gesetzt, den die Zelle halten kann" + example + ".";
    return (plan.Rounded == 1 ? "1 value" : count + " values") +
           " set to the nearest value the cell can hold" + example + ".";
}

std::string CopyBlock(const TClipItem& item, const ImageBytes& image, const TTextShape& shape,
                      std::optional<TTableBlock> block) {
    const TTableBlock b = block.value_or(item.Whole());
    std::string text = item.Corner();
    for (int c = b.Col; c < b.Col + b.Cols; ++c)
        text += shape.Separator + item.ColLabels()[static_cast<std::size_t>(c)];
    text += shape.LineEnd;
    for (int r = b.Row; r < b.Row + b.Rows; ++r) {
        text += item.RowLabels()[static_cast<std::size_t>(r)];
        for (int c = b.Col; c < b.Col + b.Cols; ++c)
            text += shape.Separator + item.Text(item.Byte(image, r, c));
        text += shape.LineEnd;
    }
    return text;
}

TPastePlan PlanPaste(const TClipItem& item, const ImageBytes& image, const std::string& text,
                     int row, int col) {
    TPastePlan plan;
    const char separator = SeparatorOf(text);
    const TReader reader{item, separator != ','};
    const TTextRows rows = SplitText(text, separator);
    const auto place = FindBlock(reader, rows, row, col);
    if (!place) {
        plan.Refused = TClipMessage{"Der Text enthält keine Werte.", "The text holds no values."};
        return plan;
    }
    if (place->Row + place->Rows > item.Rows() || place->Col + place->Cols > item.Cols()) {
        plan.Refused = TooLarge(item, *place);
        return plan;
    }
    for (int r = 0; r < place->Rows; ++r) {
        for (int c = 0; c < place->Cols; ++c) {
            const auto textRow = static_cast<std::size_t>(r + place->AxisRows);
            const auto textCol = static_cast<std::size_t>(c + place->AxisCols);
            const int itemRow = place->Row + r;
            const int itemCol = place->Col + c;
            const std::uint8_t current = item.Byte(image, itemRow, itemCol);
            const auto value = ReadCell(reader, At(rows, textRow, textCol), current,
                                        static_cast<int>(textRow) + 1, static_cast<int>(textCol) + 1,
                                        plan.Refused);
            if (!value) {
                plan.Cells.clear();
                return plan;
            }
            NoteRounding(plan, reader, At(rows, textRow, textCol), *value);
            if (*value != current)
                plan.Cells.push_back({item.Where(itemRow, itemCol), *value});
        }
    }
    plan.BlockCells = place->Rows * place->Cols;
    return plan;
}

int ApplyPaste(TEditHistory& history, const TImageWriter& write, const TClipItem& item,
               const TPastePlan& plan) {
    if (plan.Refused)
        return 0;
    TEditStep step(history, PasteStep(plan.BlockCells, item.IsCurve()));
    int changed = 0;
    for (const TPasteCell& cell : plan.Cells) {
        const std::array<std::uint8_t, 1> bytes = {cell.Value};
        if (write(cell.Where, bytes))
            ++changed;
    }
    return changed;
}

}  // namespace zv
