#include "pages/page_button.h"

#include <QToolButton>

namespace zv::gui {

QToolButton* PageToolButton(bool checkable) {
    auto* b = new QToolButton;
    b->setCheckable(checkable);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

}  // namespace zv::gui
