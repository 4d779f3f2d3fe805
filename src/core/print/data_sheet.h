#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// The data sheet as drawing commands, page by page. Coordinates are 0.01 mm from the top left of
// the printable area, y growing downwards; a renderer only converts units and draws.

// Body text is 9 pt so that a customer reads the sheet without a magnifier; headings are larger.
constexpr int kSheetBodyPoints = 9;
constexpr int kSheetHeadingPoints = 11;
constexpr int kSheetTitlePoints = 16;

// The PDF's page: A4 with 10 mm margins, which is also what a printer without a known page gets.
constexpr int kSheetPaperWidth = 21000;
constexpr int kSheetPaperHeight = 29700;
constexpr int kSheetPdfMargin = 1000;

struct TSheetFont {
    int Points = kSheetBodyPoints;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const TSheetFont&) const = default;
};

// The em (font height) of a point size, in 0.01 mm.
int SheetEm(int points);

enum class TSheetItemKind { Text, Line, Frame, Progress };
// Numbers stand right-aligned in their columns; X is then the right edge of the text.
enum class TSheetAlign { Left, Right };

struct TSheetItem {
    TSheetItemKind Kind = TSheetItemKind::Text;
    int Page = 0;  // 0 for the first page
    int X = 0;     // text: left edge of its cell (right edge when right-aligned); line and frame:
                   // first corner
    int Y = 0;     // text: top edge of its cell
    int X2 = 0;    // line and frame: second corner
    int Y2 = 0;
    std::string Text;
    TSheetFont Font;
    TSheetAlign Align = TSheetAlign::Left;
    int PenWidth = 1;
    int Progress = 0;  // how far the printout has come, 0..100, where the renderer reports it
};

struct TDataSheet {
    std::string JobTitle;
    int PageWidth = 0;  // the printable area the sheet was laid out for
    int PageHeight = 0;
    int PageCount = 1;
    std::vector<TSheetItem> Items;
};

struct TDataSheetInput {
    const TZVDataClass* Data = nullptr;
    Language Lang = Language::English;
    bool Connected = false;            // the unit counts as connected (see UnitCountsAsConnected)
    std::vector<std::string> Comment;  // the comment page's lines
    std::time_t Now = 0;
    int PageWidth = kSheetPaperWidth - 2 * kSheetPdfMargin;  // printable area in 0.01 mm
    int PageHeight = kSheetPaperHeight - 2 * kSheetPdfMargin;
};

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
