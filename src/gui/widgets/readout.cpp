#include "widgets/readout.h"

#include <QEvent>
#include <QPainter>

namespace zv::gui {

TReadout::TReadout(const QString& widestText, double scale, QWidget* parent)
    : QWidget(parent), widest_(widestText), scale_(scale) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    UpdateFont();
}

void TReadout::UpdateFont() {
    QFont big = QWidget::font();
    big.setPointSizeF(
        QFontInfo(parentWidget() ? parentWidget()->font() : QWidget::font()).pointSizeF() * scale_);
    big.setBold(true);
    setFont(big);
    updateGeometry();
}

void TReadout::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ParentChange)
        UpdateFont();
    QWidget::changeEvent(event);
}

void TReadout::SetText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

QSize TReadout::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(widest_) + fm.averageCharWidth(), fm.height()};
}

void TReadout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, text_);
}

void TReadout::mouseDoubleClickEvent(QMouseEvent* event) {
    Q_EMIT DoubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace zv::gui
