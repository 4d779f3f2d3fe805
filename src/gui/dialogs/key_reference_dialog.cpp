#include "dialogs/key_reference_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "pages/view_text.h"

namespace zv::gui {

TKeyReferenceDialog::TKeyReferenceDialog(QWidget* parent) : QDialog(parent) {
    table_ = new QTableWidget(0, 2);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setShowGrid(false);
    table_->setAlternatingRowColors(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(620, 460);
}

void TKeyReferenceDialog::SetReference(const TKeyReference& reference) {
    setWindowTitle(Q(reference.Title));
    table_->setRowCount(static_cast<int>(reference.Rows.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const TKeyRow& r = reference.Rows[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(Q(r.Keys)));
        table_->setItem(row, 1, new QTableWidgetItem(Q(r.Action)));
    }
    table_->resizeRowsToContents();
}

}  // namespace zv::gui
