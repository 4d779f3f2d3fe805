#include "widgets/bar_gauge.h"

#include <QPainter>
#include <QPainterPath>

namespace zv::gui {

TBarGauge::TBarGauge(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation), barColour_(palette().color(QPalette::Highlight)) {
    if (orientation_ == Qt::Horizontal) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

void TBarGauge::SetMaximum(int maximum) {
    if (maximum == maximum_)
        return;
    maximum_ = maximum;
    update();
}

void TBarGauge::SetPosition(int position) {
    if (position == position_)
        return;
    position_ = position;
    update();
}

void TBarGauge::SetBarColour(const QColor& colour) {
    if (colour == barColour_)
        return;
    barColour_ = colour;
    update();
}

void TBarGauge::SetBackColour(const QColor& colour) {
    if (colour == backColour_)
        return;
    backColour_ = colour;
    update();
}

void TBarGauge::SetMarks(int count) {
    marks_ = count;
    update();
}

void TBarGauge::SetThickness(double lines) {
    thickness_ = lines;
    updateGeometry();
}

QSize TBarGauge::sizeHint() const {
    const int line = fontMetrics().height();
    const int thick = qMax(4, static_cast<int>(line * thickness_));
    return orientation_ == Qt::Horizontal ? QSize(line * 8, thick) : QSize(thick, line * 6);
}

QSize TBarGauge::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return orientation_ == Qt::Horizontal ? QSize(hint.height() * 2, hint.height())
                                          : QSize(hint.width(), hint.width() * 2);
}

void TBarGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = 2.0;
    QPainterPath outline;
    outline.addRoundedRect(frame, radius, radius);
    painter.fillPath(outline,
                     backColour_.isValid() ? backColour_ : palette().color(QPalette::Base));

    const double share =
        maximum_ > 0 ? qBound(0.0, double(position_) / double(maximum_), 1.0) : 0.0;
    QRectF bar = frame;
    if (orientation_ == Qt::Horizontal) {
        bar.setWidth(frame.width() * share);
    } else {
        bar.setTop(frame.bottom() - frame.height() * share);
    }
    if (share > 0.0) {
        painter.save();
        painter.setClipPath(outline);
        painter.fillRect(bar, barColour_);
        painter.restore();
    }

    painter.setPen(QPen(palette().color(QPalette::Mid), 1.0));
    for (int i = 1; i < marks_; ++i) {
        const double f = double(i) / marks_;
        if (orientation_ == Qt::Horizontal) {
            const qreal x = frame.left() + frame.width() * f;
            painter.drawLine(QPointF(x, frame.bottom() - frame.height() * 0.35),
                             QPointF(x, frame.bottom()));
        } else {
            const qreal y = frame.bottom() - frame.height() * f;
            painter.drawLine(QPointF(frame.left(), y),
                             QPointF(frame.left() + frame.width() * 0.35, y));
        }
    }
    painter.setPen(QPen(palette().color(QPalette::Dark), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}

}  // namespace zv::gui
