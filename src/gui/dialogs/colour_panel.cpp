#include "dialogs/colour_panel.h"

#include <QMouseEvent>

namespace zv::gui {

QColor ColourOfRgb(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

ColourPanel::ColourPanel(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    SetLowered(false);
}

void ColourPanel::SetColours(std::uint32_t background, std::uint32_t text) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColourOfRgb(background));
    pal.setColor(QPalette::WindowText, ColourOfRgb(text));
    setPalette(pal);
}

void ColourPanel::SetLowered(bool lowered) {
    // The margin stands in for the border, so that the text does not jump when it comes.
    setFrameStyle(lowered ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
    setLineWidth(1);
    const int margin = lowered ? 0 : 1;
    setContentsMargins(margin, margin, margin, margin);
}

void ColourPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit Clicked();
    QLabel::mousePressEvent(event);
}

void ColourPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

}  // namespace zv::gui
