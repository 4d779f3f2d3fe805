#include "app/page_occupancy.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyleOptionGroupBox>

#include "pages/page_view.h"

namespace zv::gui {

namespace {

QRect Global(const QWidget* widget, const QRect& local) {
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

// Widgets that only hold others: the room they take is free where their children leave it.
bool HoldsOnly(const QWidget* widget) {
    const QMetaObject* type = widget->metaObject();
    return type == &QWidget::staticMetaObject || type == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QStackedWidget*>(widget) ||
           type == &QScrollArea::staticMetaObject || qobject_cast<const TPageView*>(widget);
}

QRect LabelText(const QLabel* label) {
    if (label->text().isEmpty())
        return label->pixmap().isNull() ? QRect() : label->rect();
    const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return label->fontMetrics()
        .boundingRect(label->contentsRect(), flags, label->text())
        .intersected(label->rect());
}

QRect GroupTitle(const QGroupBox* box) {
    if (box->title().isEmpty())
        return QRect();
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
}

void Collect(const QWidget* widget, std::vector<QRect>& out) {
    for (const QObject* child : widget->children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || !w->isVisible() || w->isWindow())
            continue;
        QRect local;
        if (const auto* label = qobject_cast<const QLabel*>(w))
            local = LabelText(label);
        else if (!HoldsOnly(w))
            local = w->rect();
        else if (const auto* box = qobject_cast<const QGroupBox*>(w))
            local = GroupTitle(box);
        if (!local.isEmpty())
            out.push_back(Global(w, local));
        if (HoldsOnly(w))
            Collect(w, out);
    }
}

}  // namespace

std::vector<QRect> OccupiedRects(const QWidget* page) {
    std::vector<QRect> out;
    if (page)
        Collect(page, out);
    return out;
}

}  // namespace zv::gui
