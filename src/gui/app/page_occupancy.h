#pragma once

#include <QRect>
#include <vector>

class QWidget;

namespace zv::gui {

// What a page shows, as rectangles in screen coordinates: every value, text, header and control
// on it (a label's text, not the room its layout gives it), and none of the empty frames and
// panels that only hold them. The page selection list is placed so that it covers none of them.
std::vector<QRect> OccupiedRects(const QWidget* page);

}  // namespace zv::gui
