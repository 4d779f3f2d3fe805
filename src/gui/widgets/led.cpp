#include "widgets/led.h"

#include <QPainter>
#include <QRadialGradient>

namespace zv::gui {

TLed::TLed(const QColor& onColour, QWidget* parent) : QWidget(parent), onColour_(onColour) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TLed::SetOn(bool on) {
    if (on == on_)
        return;
    on_ = on;
    update();
}

void TLed::SetOnColour(const QColor& colour) {
    if (colour == onColour_)
        return;
    onColour_ = colour;
    update();
}

QSize TLed::sizeHint() const {
    const int d = fontMetrics().height();
    return {d, d};
}

void TLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal d = qMin(width(), height()) - 2.0;
    const QRectF circle((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    const QColor base = on_ ? onColour_ : palette().color(QPalette::Mid);
    QRadialGradient glow(circle.center() - QPointF(d / 5.0, d / 5.0), d * 0.7);
    glow.setColorAt(0.0, on_ ? base.lighter(160) : base.lighter(125));
    glow.setColorAt(1.0, on_ ? base : base.darker(115));
    painter.setBrush(glow);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1.0));
    painter.drawEllipse(circle);
}

}  // namespace zv::gui
