#pragma once

#include <QColor>
#include <QPainter>
#include <QWidget>

namespace zv::gui {

// How the map tables mark a block of cells: a light wash of the highlight colour over each
// cell's own colour, so that values and tints still read, and a frame around the block.
inline QColor BlockWash(const QColor& back, const QWidget& widget) {
    const QColor h = widget.palette().color(QPalette::Highlight);
    auto mix = [](int a, int b) { return (a * 4 + b) / 5; };
    return {mix(back.red(), h.red()), mix(back.green(), h.green()), mix(back.blue(), h.blue())};
}

inline void PaintBlockFrame(QPainter& p, const QRectF& block, const QWidget& widget) {
    p.setPen(QPen(widget.palette().color(QPalette::Highlight), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(block.adjusted(1, 1, -1, -1));
}

}  // namespace zv::gui
