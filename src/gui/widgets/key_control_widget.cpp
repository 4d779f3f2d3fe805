#include "widgets/key_control_widget.h"

#include <QKeyEvent>

#include "config/key_control.h"
#include "widgets/virtual_key.h"

namespace zv::gui {

KeyControlWidget::KeyControlWidget(TKeyControl& control, QWidget* parent)
    : QWidget(parent), control_(control) {
    setObjectName(QString::fromStdString(control.Name));
    setFocusPolicy(Qt::StrongFocus);
    // It takes no room and paints nothing, but stays "visible" so that it can hold the focus.
    setFixedSize(0, 0);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool KeyControlWidget::event(QEvent* event) {
    // Tab and Shift+Tab would move the focus on before keyPressEvent sees them.
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void KeyControlWidget::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const int code = VirtualKeyOf(*event);
    if (code == 0)
        return;
    if (event->modifiers() & Qt::ShiftModifier)
        control_.ShiftKeyDown(code);
    else
        control_.KeyDown(code);
}

}  // namespace zv::gui
