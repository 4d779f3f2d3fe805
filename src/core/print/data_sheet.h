#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// The one-page data sheet as drawing commands. Coordinates are 0.01 mm from the top left of the
// printable area, y growing downwards; a renderer only converts units and draws.

struct TSheetFont {
    int Size = 30;  // the font size set on the printer canvas
    bool Bold = false;
    bool Italic = false;
    bool operator==(const TSheetFont&) const = default;
};

enum class TSheetItemKind { Text, Line, Frame, Progress };

struct TSheetItem {
    TSheetItemKind Kind = TSheetItemKind::Text;
    int X = 0;   // text: left edge of its cell; line and frame: first corner
    int Y = 0;   // text: top edge of its cell
    int X2 = 0;  // line and frame: second corner
    int Y2 = 0;
    std::string Text;
    TSheetFont Font;
    int PenWidth = 1;
    int Progress = 0;  // how far the printout has come, 0..100, where the renderer reports it
};

struct TDataSheet {
    std::string JobTitle;
    std::vector<TSheetItem> Items;
};

struct TDataSheetInput {
    const TZVDataClass* Data = nullptr;
    Language Lang = Language::English;
    bool Connected = false;            // the unit counts as connected (see UnitCountsAsConnected)
    std::vector<std::string> Comment;  // the comment page's lines
    std::time_t Now = 0;
};

// The font height |h| in 0.01 mm of a canvas font size, on the 300-dpi reference canvas that
// the sheet's fixed rows are spaced for.
int SheetFontHeight(int size);

// The link states in which the unit's serial number and version are printed: 5..37 and 40 on.
bool UnitCountsAsConnected(int linkState);

TDataSheet BuildDataSheet(const TDataSheetInput& input);

// Without a printer the sheet becomes a PDF beside the data file (in the folder given when the
// data set has no file yet), named after the data file.
std::string DataSheetPdfPath(const std::string& dataFile, const std::string& folder);
// The question after the PDF was written (%s: its path), and the message when it could not be.
const TextPair& DataSheetPdfWritten();
const TextPair& DataSheetPdfFailed();

}  // namespace zv
