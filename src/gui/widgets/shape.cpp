#include "widgets/shape.h"

#include <QPainter>
#include <QPolygonF>

namespace zv::gui {

TShape::TShape(Kind kind, double scale, QWidget* parent)
    : QWidget(parent), kind_(kind), scale_(scale), colour_(palette().color(QPalette::Mid)) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TShape::SetColour(const QColor& colour) {
    if (colour == colour_)
        return;
    colour_ = colour;
    update();
}

QSize TShape::sizeHint() const {
    const int d = qMax(6, static_cast<int>(fontMetrics().height() * scale_));
    // Triangles are wider than high, so that a stack of them reads as arrows.
    return kind_ == Kind::TriangleUp || kind_ == Kind::TriangleDown ? QSize(d * 3 / 2, d)
                                                                    : QSize(d, d);
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour_);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1.0));
    const QRectF r = QRectF(rect()).adjusted(1.0, 1.0, -1.0, -1.0);
    switch (kind_) {
        case Kind::Circle: {
            const qreal d = qMin(r.width(), r.height());
            painter.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
            break;
        }
        case Kind::TriangleUp:
            painter.drawPolygon(
                QPolygonF({QPointF(r.center().x(), r.top()), r.bottomRight(), r.bottomLeft()}));
            break;
        case Kind::TriangleDown:
            painter.drawPolygon(
                QPolygonF({r.topLeft(), r.topRight(), QPointF(r.center().x(), r.bottom())}));
            break;
        case Kind::Square:
            painter.drawRect(r);
            break;
    }
}

}  // namespace zv::gui
