#include "app/top_stripe.h"

#include <QPainter>
#include <QResizeEvent>

#include "widgets/gradient_fill.h"

namespace zv::gui {

TTopStripe::TTopStripe(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize TTopStripe::sizeHint() const {
    return {100, qMax(4, fontMetrics().height() / 4)};
}

void TTopStripe::SetSplit(int split) {
    if (split == split_)
        return;
    split_ = split;
    update();
}

void TTopStripe::resizeEvent(QResizeEvent* event) {
    if (WidthChanged)
        WidthChanged(event->size().width());
    QWidget::resizeEvent(event);
}

void TTopStripe::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor calm = palette().color(QPalette::Window);
    const QColor accent = palette().color(QPalette::Highlight);
    const int split = qBound(0, split_, width());
    TGradientFill::Paint(painter, QRectF(0, 0, split, height()), calm, accent, Qt::Horizontal);
    TGradientFill::Paint(painter, QRectF(split, 0, width() - split, height()), accent, calm,
                         Qt::Horizontal);
}

}  // namespace zv::gui
