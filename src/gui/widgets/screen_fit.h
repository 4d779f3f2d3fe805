#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace zv::gui {

// Room a window manager takes around a window: the title bar above, a thin frame elsewhere.
// availableGeometry leaves out the taskbar but not these.
constexpr int kFrameSide = 8;
constexpr int kFrameTop = 36;
constexpr int kFrameBottom = 8;

// Where a window goes: its content size and the top left corner of its frame.
struct TWindowPlace {
    QSize Size;
    QPoint FrameTopLeft;
};

// A window of the wished size, no larger than the free area with its frame, centred on `over`
// (its parent, or the free area itself) and moved inside the free area where it would stick out.
TWindowPlace FitWindowPlace(QSize wished, const QRect& available, const QRect& over);

// Sizes and places a window that is not yet shown: on a laptop or with display scaling the
// wished size can be larger than the screen, and a window's bottom rows and buttons below
// the screen's edge cannot be reached.
void FitToScreen(QWidget* window, QSize wished);
// As above, on a given free area (what the window's screen offers).
void FitToScreen(QWidget* window, QSize wished, const QRect& available);

}  // namespace zv::gui
