#include "dialogs/key_reference_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "pages/view_text.h"
#include "widgets/screen_fit.h"

namespace zv::gui {

TKeyReferenceDialog::TKeyReferenceDialog(QWidget* parent) : QDialog(parent) {
    table_ = new QTableWidget(0, 2);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Rows follow the columns' widths, which are known only once the dialog is laid out.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setShowGrid(false);
    table_->setAlternatingRowColors(true);
    auto* buttons = new QDialogButtonBox;
    close_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    FitToScreen(this, {680, 520});
}

void TKeyReferenceDialog::SetReference(const TKeyReference& reference) {
    setWindowTitle(Q(reference.Title));
    close_->setText(Q(reference.CloseButton));
    table_->setRowCount(static_cast<int>(reference.Rows.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const TKeyRow& r = reference.Rows[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(Q(r.Keys)));
        table_->setItem(row, 1, new QTableWidgetItem(Q(r.Action)));
    }
}

}  // namespace zv::gui
