#include "pages/page_button.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "widgets/readout.h"

namespace zv::gui {

QToolButton* PageToolButton(bool checkable) {
    auto* b = new QToolButton;
    b->setCheckable(checkable);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

TValueColumn BuildValueColumn(const QString& widestValue) {
    TValueColumn v;
    v.Panel = new QWidget;
    v.Column = new QVBoxLayout(v.Panel);
    v.Column->setContentsMargins(0, 0, 0, 0);
    v.Column->setSpacing(kSpacing);
    v.ManLabel = new QLabel;
    v.ManValue = new TReadout(widestValue, 2.6);
    v.AutoLabel = new QLabel;
    v.AutoValue = new TReadout(widestValue, 2.6);
    v.Column->addWidget(v.ManLabel);
    v.Column->addWidget(v.ManValue);
    v.Column->addSpacing(kGroupSpacing);
    v.Column->addWidget(v.AutoLabel);
    v.Column->addWidget(v.AutoValue);
    v.Column->addStretch(1);
    return v;
}

}  // namespace zv::gui
