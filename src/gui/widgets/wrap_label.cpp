#include "widgets/wrap_label.h"

#include <QResizeEvent>
#include <algorithm>

namespace zv::gui {

TWrapLabel::TWrapLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
}

QSize TWrapLabel::minimumSizeHint() const {
    QSize least = QLabel::minimumSizeHint();
    if (width() > 0)
        least.setHeight(std::max(least.height(), heightForWidth(width())));
    return least;
}

// A new width can mean another number of lines: the layout must ask again.
void TWrapLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        updateGeometry();
}

}  // namespace zv::gui
