#pragma once

#include <QPainter>
#include <QRectF>
#include <array>

namespace zv::gui {

// The site labels of a 16 x 16 map laid out as the fuel map table: engine speed across the top,
// throttle down the left, each label beside its row or column of cells. cellRect(t, r) gives a
// cell's place; the headers take headerWidth on the left and headerHeight on top.
template <class CellRectOf>
void PaintMapAxes(QPainter& p, const CellRectOf& cellRect, double headerWidth, double headerHeight,
                  const std::array<int, 16>& throttleLabels, const std::array<int, 16>& rpmLabels) {
    for (int r = 0; r < 16; ++r) {
        QRectF head = cellRect(0, r);
        head.setTop(0);
        head.setHeight(headerHeight);
        // Alternate rows keep five-digit speeds apart in narrow columns.
        const Qt::Alignment align = Qt::AlignHCenter | (r % 2 ? Qt::AlignBottom : Qt::AlignTop);
        p.drawText(head.adjusted(0, 2, 0, -2), align | Qt::TextDontClip,
                   QString::number(rpmLabels[static_cast<std::size_t>(r)]));
    }
    for (int t = 0; t < 16; ++t) {
        QRectF head = cellRect(t, 0);
        head.setLeft(0);
        head.setWidth(headerWidth - 4);
        p.drawText(head, Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(throttleLabels[static_cast<std::size_t>(t)]));
    }
}

}  // namespace zv::gui
