#pragma once

#include <functional>
#include <string>

#include "print/data_sheet.h"

namespace zv {

// Rows running down the printable area, page after page: a row that does not fit above the
// footer starts a new page, so nothing is ever left off or drawn over the footer.
class SheetFlow {
  public:
    // Draws what every page carries (frame, footer, title) when the page begins.
    using TFurnish = std::function<void(SheetFlow&)>;

    SheetFlow(TDataSheet& sheet, TFurnish furnish);

    // The content box inside the frame, and the top of the footer band.
    int Left() const { return left_; }
    int Right() const { return right_; }
    int ContentBottom() const;
    int FrameBottom() const;
    int FooterRule() const;
    int Page() const { return page_; }

    // Rows of a font's height and 1.2 of it apart. Keep makes the next n rows of this size
    // stand together, on a new page when they do not fit on this one.
    static int Pitch(int points);
    bool Fits(int rows, int points) const;
    void Keep(int rows, int points);
    // Begins a row: a new page first when it does not fit. Returns its top.
    int Row(int points);
    void Skip(int points) { y_ += Pitch(points); }
    void NewPage();

    void Text(int x, int y, std::string text, TSheetFont font,
              TSheetAlign align = TSheetAlign::Left);
    void Rule();  // a separator across the frame, with a gap below
    void Line(int x1, int y1, int x2, int y2, int pen);
    void Frame();
    void Progress(int percent);

  private:
    TDataSheet& sheet_;
    TFurnish furnish_;
    int left_ = 0;
    int right_ = 0;
    int page_ = 0;
    int y_ = 0;
};

}  // namespace zv
