#include "widgets/gradient_fill.h"

#include <QLinearGradient>
#include <QPainter>

namespace zv::gui {

TGradientFill::TGradientFill(QWidget* parent)
    : QWidget(parent),
      from_(palette().color(QPalette::Window)),
      to_(palette().color(QPalette::Highlight)) {}

void TGradientFill::SetColours(const QColor& from, const QColor& to) {
    if (from == from_ && to == to_)
        return;
    from_ = from;
    to_ = to;
    update();
}

void TGradientFill::SetOrientation(Qt::Orientation orientation) {
    orientation_ = orientation;
    update();
}

void TGradientFill::Paint(QPainter& painter, const QRectF& rect, const QColor& from,
                          const QColor& to, Qt::Orientation orientation) {
    if (rect.isEmpty())
        return;
    const QPointF end = orientation == Qt::Horizontal ? rect.topRight() : rect.bottomLeft();
    QLinearGradient gradient(rect.topLeft(), end);
    gradient.setColorAt(0.0, from);
    gradient.setColorAt(1.0, to);
    painter.fillRect(rect, gradient);
}

void TGradientFill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, rect(), from_, to_, orientation_);
}

}  // namespace zv::gui
