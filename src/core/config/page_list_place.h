#pragma once

#include <vector>

namespace zv {

// A screen rectangle in pixels; Right and Bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool Intersects(const TRect& other) const;
    bool Contains(const TRect& other) const;
};

// One way to lay out the page list: its panels in this many columns, and the size that gives.
struct TPageListShape {
    int Columns = 1;
    int Width = 0;
    int Height = 0;
};

// Where the list goes and in which shape.
struct TPageListPlace {
    TRect Rect;
    int Columns = 1;
    bool CoversSomething = false;  // no free place was large enough
};

// Places the page list inside the area (the page's part of the main window) so that it covers
// none of the occupied rectangles (the page's values, headers and controls) and keeps a gap to
// them. Of the free places it takes the one that reaches least far down, then the one furthest
// right, then the shape with the fewest columns: the list then sits in the band beside the page's
// heading wherever that band is free, so it stays put while the operator previews page after page.
// When nothing is free it takes the place that covers the least.
TPageListPlace PlacePageList(const TRect& area, const std::vector<TRect>& occupied,
                             const std::vector<TPageListShape>& shapes, int gap);

}  // namespace zv
