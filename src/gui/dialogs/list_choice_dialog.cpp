#include "dialogs/list_choice_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zv::gui {

namespace {

const TextPair kCancel = {"Abbrechen", "Cancel"};

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TListChoiceDialog::TListChoiceDialog(const ListDialogRequest& request, Language lang,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Utf8(request.Title));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);
    layout->addWidget(new QLabel(Utf8(request.Label)));
    list_ = new QListWidget;
    for (const auto& item : request.Items)
        list_->addItem(Utf8(item));
    list_->setCurrentRow(0);
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 48);
    layout->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(kCancel.Pick(lang)));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::optional<std::size_t> TListChoiceDialog::Chosen() const {
    const int row = list_->currentRow();
    if (row < 0)
        return std::nullopt;
    return static_cast<std::size_t>(row);
}

}  // namespace zv::gui
