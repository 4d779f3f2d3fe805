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
    // The neutral face is a shade darker than the buttons' near-white, so that a white panel
    // (the selected one on some pages) stands out from it at a glance.
    QPalette p = palette();
    const QColor back = look == Look::Aqua    ? QColor(0x00, 0xFF, 0xFF)
                        : look == Look::White ? QColor(Qt::white)
                                              : QApplication::palette().color(QPalette::Midlight);
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
}

void TValuePanel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    Q_EMIT Clicked();
}

}  // namespace zv::gui
