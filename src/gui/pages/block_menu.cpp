#include "pages/block_menu.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/look.h"
#include "pages/view_text.h"
#include "widgets/virtual_key.h"

namespace zv::gui {

TBlockMenu::TBlockMenu(std::function<void(TBlockOp)> run, QWidget* parent)
    : QMenu(parent), run_(std::move(run)) {}

// The menu is built anew only when its texts change (a language switch).
void TBlockMenu::SetItems(const std::vector<TBlockMenuItem>& items) {
    const bool same = items.size() == items_.size() &&
                      std::equal(items.begin(), items.end(), items_.begin(),
                                 [](const TBlockMenuItem& a, const TBlockMenuItem& b) {
                                     return a.Text == b.Text && a.Key == b.Key;
                                 });
    if (same)
        return;
    items_ = items;
    clear();
    for (const TBlockMenuItem& item : items_) {
        if (BlockMenuGroupStart(item.Op))
            addSeparator();
        // Text after a tab stands in the menu's key column; the key itself reaches the page
        // through the key control, not as a shortcut of the menu.
        QAction* action = addAction(Q(item.Text) + QLatin1Char('\t') + Q(item.Key));
        const TBlockOp op = item.Op;
        connect(action, &QAction::triggered, this, [this, op] { run_(op); });
    }
}

void TBlockMenu::keyPressEvent(QKeyEvent* event) {
    const int key = VirtualKeyOf(*event);
    const auto op = key > 0 && key < 256 ? BlockOpOfKey(static_cast<std::uint8_t>(key)) : std::nullopt;
    if (!op) {
        QMenu::keyPressEvent(event);
        return;
    }
    close();
    run_(*op);
}

void TBlockMenu::AttachTo(QWidget* widget) {
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, this,
            [this, widget](const QPoint& at) { popup(widget->mapToGlobal(at)); });
}

std::optional<double> AskBlockValue(QWidget* parent, const TValuePrompt& prompt) {
    QDialog dialog(parent);
    dialog.setWindowTitle(Q(prompt.Caption));
    auto* column = new QVBoxLayout(&dialog);
    column->setSpacing(kSpacing);
    auto* label = new QLabel(Q(prompt.Label));
    auto* value = new QDoubleSpinBox;
    // The program shows numbers with a point whatever the locale; typing takes the same.
    value->setLocale(QLocale::c());
    value->setDecimals(prompt.Decimals);
    value->setRange(prompt.Min, prompt.Max);
    value->setValue(prompt.Initial);
    value->selectAll();
    label->setBuddy(value);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(Q(prompt.OkButton));
    buttons->button(QDialogButtonBox::Cancel)->setText(Q(prompt.CancelButton));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(label);
    column->addWidget(value);
    column->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return value->value();
}

}  // namespace zv::gui
