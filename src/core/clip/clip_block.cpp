#include "clip/clip_block.h"

#include <algorithm>
#include <cmath>

#include "clip/text_rows.h"
#include "history/step_names.h"

namespace zv {

namespace {

// A taken value this close to the typed one is the value typed (1.5 and the shown 1.50).
constexpr double kSameValue = 1e-9;

struct TReader {
    const TClipItem& Item;

    // An axis cell names its site by number; the curve's value row by a word.
    bool LabelMatches(const std::string& cell, const std::string& label) const {
        const auto c = ParseNumber(cell);
        const auto l = ParseNumber(label);
        return l ? c && std::abs(*c - *l) < 1e-9 : !c;
    }

    // Where the cells run along the labels, when they do. A single number alone could as well
    // be a value that happens to equal a site, so a lone axis of numbers needs two of them.
    std::optional<int> RunStart(const std::vector<std::string>& cells,
                                const std::vector<std::string>& labels, bool lone) const {
        if (cells.empty() || cells.size() > labels.size())
            return std::nullopt;
        if (lone && cells.size() < 2 && ParseNumber(labels.front()))
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
    return place;
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

// A corner cell (empty, or the item's own as a copy writes it) says that the first row and
// column are axes: a block whose axes name no run of the item's sites has no cells to go to.
bool HasCorner(const TReader& reader, const TTextRows& rows) {
    if (rows.size() < 2 || rows[0].size() < 2)
        return false;
    return rows[0][0].empty() || rows[0][0] == reader.Item.Corner();
}

TClipMessage NoSite(std::size_t textRow, std::size_t textCol, const std::string& label) {
    return AtCell(static_cast<int>(textRow), static_cast<int>(textCol),
                  "die Achse nennt „" + label + "“, keine Stützstelle der Tabelle.",
                  "the axis names \"" + label + "\", which is no site of the table.");
}

TClipMessage AxesRefused(const TReader& reader, const TTextRows& rows) {
    auto names = [&reader](const std::string& cell, const std::vector<std::string>& labels) {
        return std::any_of(labels.begin(), labels.end(), [&](const std::string& label) {
            return reader.LabelMatches(cell, label);
        });
    };
    for (std::size_t c = 1; c < rows[0].size(); ++c)
        if (!names(rows[0][c], reader.Item.ColLabels()))
            return NoSite(1, c + 1, rows[0][c]);
    for (std::size_t r = 1; r < rows.size(); ++r)
        if (!names(At(rows, r, 0), reader.Item.RowLabels()))
            return NoSite(r + 1, 1, At(rows, r, 0));
    return {
        "Die Achsen des Textes nennen keine benachbarten Stützstellen der Tabelle in ihrer "
        "Reihenfolge.",
        "The text's axes do not name neighbouring sites of the table in their order."};
}

// The axes are recognised by the sites they name, so that they are not taken for values; a
// block with axes goes to the cells they name (an axis the text lacks leaves that direction at
// the cursor), one without them to the cursor.
std::optional<TBlockPlace> FindBlock(const TReader& reader, const TTextRows& rows, int row, int col,
                                     std::optional<TClipMessage>& refused) {
    int width = 0;
    for (const auto& r : rows)
        width = std::max(width, static_cast<int>(r.size()));
    for (const auto& [axisRow, axisCol] :
         {std::pair{true, true}, {true, false}, {false, true}, {false, false}}) {
        const auto place = TryAxes(reader, rows, width, axisRow, axisCol, row, col);
        if (!place)
            continue;
        if (place->AxisRows == 0 && place->AxisCols == 0 && HasCorner(reader, rows)) {
            refused = AxesRefused(reader, rows);
            return std::nullopt;
        }
        return place;
    }
    refused = TClipMessage{"Der Text enthält keine Werte.", "The text holds no values."};
    return std::nullopt;
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
    const auto x = ParseNumber(text);
    if (!x) {
        refused = AtCell(textRow, textCol, "„" + text + "“ ist keine Zahl.",
                         "\"" + text + "\" is not a number.");
        return std::nullopt;
    }
    const double tol = item.Tolerance();
    const auto shown = item.Shown(current);
    const std::vector<std::uint8_t> bytes = item.ValidBytes();
    // The range holds for the value as typed, before any rounding (255.5 is no fuel value); a
    // cell's own value as copied (a byte the keys cannot give) pastes back unchanged.
    const bool asCopied = shown && std::abs(*shown - *x) < kSameValue;
    if (!asCopied && (*x < *item.Shown(bytes.front()) - kSameValue ||
                      *x > *item.Shown(bytes.back()) + kSameValue)) {
        const std::string range = item.Text(bytes.front()) + " .. " + item.Text(bytes.back());
        refused = AtCell(textRow, textCol,
                         text + " liegt außerhalb von " + range + (item.TakesNC() ? " (oder NC)." : "."),
                         text + " is outside " + range + (item.TakesNC() ? " (or NC)." : "."));
        return std::nullopt;
    }
    if (shown && std::abs(*shown - *x) < tol * 0.999)
        return current;
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
    const auto typed = ParseNumber(text);
    const auto shown = reader.Item.Shown(taken);
    if (!typed || !shown || std::abs(*shown - *typed) < kSameValue)
        return;
    if (plan.Rounded++ == 0) {
        plan.RoundedTyped = text;
        plan.RoundedTaken = reader.Item.Text(taken);
    }
}

// `fits` tells a block refused only for its place from one whose values the item refuses.
TPastePlan PlanRows(const TClipItem& item, const ImageBytes& image, const TTextRows& rows, int row,
                    int col, bool& fits) {
    TPastePlan plan;
    fits = true;
    const TReader reader{item};
    const auto place = FindBlock(reader, rows, row, col, plan.Refused);
    if (!place)
        return plan;
    if (place->Row + place->Rows > item.Rows() || place->Col + place->Cols > item.Cols()) {
        plan.Refused = TooLarge(item, *place);
        fits = false;
        return plan;
    }
    for (int r = 0; r < place->Rows; ++r) {
        for (int c = 0; c < place->Cols; ++c) {
            const auto textRow = static_cast<std::size_t>(r + place->AxisRows);
            const auto textCol = static_cast<std::size_t>(c + place->AxisCols);
            const int itemRow = place->Row + r;
            const int itemCol = place->Col + c;
            const std::uint8_t current = item.Byte(image, itemRow, itemCol);
            const auto value =
                ReadCell(reader, At(rows, textRow, textCol), current, static_cast<int>(textRow) + 1,
                         static_cast<int>(textCol) + 1, plan.Refused);
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

bool SameCells(const TPastePlan& a, const TPastePlan& b) {
    return std::equal(a.Cells.begin(), a.Cells.end(), b.Cells.begin(), b.Cells.end(),
                      [](const TPasteCell& x, const TPasteCell& y) {
                          return x.Where.Offset == y.Where.Offset && x.Value == y.Value;
                      });
}

TClipMessage Ambiguous(const TTextRows& commaRows) {
    std::size_t columns = 0;
    std::string example;
    for (const auto& r : commaRows) {
        columns = std::max(columns, r.size());
        if (example.empty() && r.size() == 2)
            example = r[0] + "," + r[1];
    }
    const std::string n = std::to_string(columns);
    return {"Der Text lässt sich zweifach lesen: als " + n +
                " Spalten, durch Kommas getrennt, oder als eine Spalte mit Dezimalkomma (" +
                example +
                "). Bitte die Spalten mit Tabulatoren oder Semikolons trennen oder "
                "Dezimalzahlen mit Punkt schreiben.",
            "The text can be read two ways: as " + n +
                " columns separated by commas, or as one column with a decimal comma (" + example +
                "). Please separate the columns with tabs or semicolons, or write decimals with "
                "a point."};
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

// Commas alone may separate columns or mark decimals (a single column copied from a German
// spreadsheet). The text is read both ways; a reading whose values the item refuses drops out,
// and where both remain and differ (or one only fails to fit at this place) the paste is
// refused rather than guessed.
TPastePlan PlanPaste(const TClipItem& item, const ImageBytes& image, const std::string& text,
                     int row, int col) {
    const char separator = SeparatorOf(text);
    const TTextRows rows = SplitText(text, separator);
    bool fits = true;
    TPastePlan plan = PlanRows(item, image, rows, row, col, fits);
    if (separator != ',' || !CommaMayBeDecimal(rows))
        return plan;
    bool oneColumnFits = true;
    TPastePlan oneColumn =
        PlanRows(item, image, SplitText(text, kOneColumn), row, col, oneColumnFits);
    const bool both = (!plan.Refused || !fits) && (!oneColumn.Refused || !oneColumnFits);
    if (both && !plan.Refused && !oneColumn.Refused && SameCells(plan, oneColumn))
        return plan;
    if (both && (!plan.Refused || !oneColumn.Refused)) {
        TPastePlan refused;
        refused.Refused = Ambiguous(rows);
        return refused;
    }
    return plan.Refused && !oneColumn.Refused ? oneColumn : plan;
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
