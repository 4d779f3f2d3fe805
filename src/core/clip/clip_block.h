#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "clip/clip_item.h"
#include "text/owned_text.h"

namespace zv {

// How a block is written: the clipboard takes tabs, a CSV file commas and CRLF line ends.
struct TTextShape {
    char Separator = '\t';
    const char* LineEnd = "\n";
};
constexpr TTextShape kClipboardShape = {'\t', "\n"};
constexpr TTextShape kCsvShape = {',', "\r\n"};

// A block of the item as text, values as its page shows them, with the axes in the first row
// and column; the whole item unless a block is named.
std::string CopyBlock(const TClipItem& item, const ImageBytes& image,
                      const TTextShape& shape = kClipboardShape,
                      std::optional<TTableBlock> block = std::nullopt);

// A refusal in both languages, naming where the pasted text went wrong.
using TClipMessage = TOwnedText;

struct TPasteCell {
    TImageWrite Where;
    std::uint8_t Value = 0;
};

// What a pasted text does to the item: the bytes to write, cell by cell from the top left, or
// why it is refused (Refused then holds the message and Cells is empty).
struct TPastePlan {
    std::vector<TPasteCell> Cells;  // only cells whose value changes
    int BlockCells = 0;             // every cell of the block, changed or not
    std::optional<TClipMessage> Refused;
    // Values the cells cannot hold as typed (12.6 on the fuel map) take the nearest one they
    // can; how many, and the first as typed and as taken.
    int Rounded = 0;
    std::string RoundedTyped, RoundedTaken;
};

// The paste's note for the status bar when values were rounded; empty when none was.
std::string PasteRoundingNote(const TPastePlan& plan, Language lang);

// Reads tab-, comma- or semicolon-separated text as CSV quotes it (a decimal comma after tabs
// and semicolons and inside quotes; commas alone that could be either are read both ways and
// the text refused when both fit), with or without the axis row and column. A block with axes
// lands on the cells its axes name (axes that name no run of sites are refused); one without
// them with its top left cell at (row, col). A value outside the item's range is refused as
// typed; a value the cell already shows keeps its byte.
TPastePlan PlanPaste(const TClipItem& item, const ImageBytes& image, const std::string& text,
                     int row, int col);

// Writes the plan's cells as one undo step ("paste 12 cells"); gives how many bytes changed.
int ApplyPaste(TEditHistory& history, const TImageWriter& write, const TClipItem& item,
               const TPastePlan& plan);

}  // namespace zv
