#include "widgets/screen_fit.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace zv::gui {

TWindowPlace FitWindowPlace(QSize wished, const QRect& available, const QRect& over) {
    const QSize frame(2 * kFrameSide, kFrameTop + kFrameBottom);
    const QSize size = wished.boundedTo(available.size() - frame).expandedTo(QSize(1, 1));
    QRect outer(QPoint(0, 0), size + frame);
    outer.moveCenter(over.center());
    // Sticking out on the right or bottom is mended first, so that a window larger than the
    // area still shows its title bar and left edge.
    outer.moveRight(std::min(outer.right(), available.right()));
    outer.moveBottom(std::min(outer.bottom(), available.bottom()));
    outer.moveLeft(std::max(outer.left(), available.left()));
    outer.moveTop(std::max(outer.top(), available.top()));
    return {size, outer.topLeft()};
}

void FitToScreen(QWidget* window, QSize wished, const QRect& available) {
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QRect over = parent && parent->isVisible() ? parent->frameGeometry() : available;
    const TWindowPlace place = FitWindowPlace(wished, available, over);
    window->resize(place.Size);
    window->move(place.FrameTopLeft);
}

void FitToScreen(QWidget* window, QSize wished) {
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = parent ? parent->screen() : window->screen();
    FitToScreen(window, wished, screen->availableGeometry());
}

}  // namespace zv::gui
