#include "pages/value_panel.h"

#include <QApplication>

#include "app/look.h"

namespace zv::gui {

TValuePanel::TValuePanel(QWidget* parent) : QLabel(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    // Pages paint on the base colour; the panel keeps its own.
    setBackgroundRole(QPalette::Base);
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    setFont(f);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 2 * kSpacing);
    SetLook(Look::White);
}

void TValuePanel::SetLook(Look look) {
    if (look == look_)
        return;
    look_ = look;
    ApplyColours();
}

void TValuePanel::SetTextGrey(bool grey) {
    if (grey == grey_)
        return;
    grey_ = grey;
    ApplyColours();
}

// The neutral face is a shade darker than the buttons' near-white, so that a white panel (the
// selected one on some pages) stands out from it at a glance.
void TValuePanel::ApplyColours() {
    QPalette p = palette();
    const QColor back = look_ == Look::Aqua    ? QColor(0x00, 0xFF, 0xFF)
                        : look_ == Look::White ? QColor(Qt::white)
                                               : QApplication::palette().color(QPalette::Midlight);
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::WindowText, grey_ ? QColor(0x5C, 0x5C, 0x5C) : QColor(Qt::black));
    setPalette(p);
}

void TValuePanel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    Q_EMIT Clicked();
}

TValuePanel::Look LookOf(TPanelColour colour) {
    switch (colour) {
        case TPanelColour::Aqua:
            return TValuePanel::Look::Aqua;
        case TPanelColour::ButtonFace:
            return TValuePanel::Look::ButtonFace;
        case TPanelColour::White:
            break;
    }
    return TValuePanel::Look::White;
}

}  // namespace zv::gui
