#include "dialogs/comparison_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/look.h"
#include "pages/view_text.h"
#include "widgets/comparison_grid.h"
#include "widgets/difference_colour.h"
#include "widgets/screen_fit.h"

namespace zv::gui {

namespace {

QGroupBox* Titled(const std::string& title, QWidget* content) {
    auto* box = new QGroupBox(Q(title));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(kSpacing, kSpacing, kSpacing, kSpacing);
    layout->addWidget(content);
    return box;
}

}  // namespace

TComparisonDialog::TComparisonDialog(const TComparisonView& view, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Q(view.Caption + ": " + view.ThisHead + " / " + view.ThatHead));
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(kGroupSpacing);
    auto* summary = new QLabel(Q(view.Summary));
    summary->setWordWrap(true);
    outer->addWidget(summary);

    map_ = new TComparisonGrid;
    map_->SetState(view.Map, view.ThrottleLabels, view.RpmLabels);
    afr_ = new TComparisonGrid;
    afr_->SetState(view.AfrMap, view.ThrottleLabels, view.RpmLabels);
    auto* grids = new QHBoxLayout;
    grids->setSpacing(kGroupSpacing);
    grids->addWidget(Titled(view.MapTitle, map_));
    grids->addWidget(Titled(view.AfrTitle, afr_));
    outer->addLayout(grids, 3);
    outer->addWidget(Legend(view));
    outer->addWidget(Lists(view), 2);

    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(Q(view.CloseButton), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    outer->addWidget(buttons);
    FitToScreen(this, {1200, 860});
}

// A swatch of each tint with its range, and which value stands above which in a cell.
QWidget* TComparisonDialog::Legend(const TComparisonView& view) {
    auto* legend = new QWidget;
    auto* row = new QHBoxLayout(legend);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSpacing);
    for (const TLegendEntry& entry : view.Legend) {
        auto* swatch = new QLabel;
        swatch->setFixedSize(18, 14);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, DifferenceColour(entry.Class, *swatch));
        swatch->setPalette(palette);
        swatch->setFrameShape(QFrame::Box);
        row->addWidget(swatch);
        row->addWidget(new QLabel(Q(entry.Text)));
        row->addSpacing(kSpacing);
    }
    row->addStretch(1);
    row->addWidget(new QLabel(Q(view.CellOrder)));
    return legend;
}

QWidget* TComparisonDialog::Lists(const TComparisonView& view) {
    auto* table = new QTableWidget(0, 3);
    table->setHorizontalHeaderLabels({Q(view.NameHead), Q(view.ThisHead), Q(view.ThatHead)});
    table->verticalHeader()->hide();
    // Rows of one line of text: on a short screen the grids above keep their room.
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    for (const TCompareList& list : view.Lists) {
        const int title = table->rowCount();
        table->insertRow(title);
        auto* head = new QTableWidgetItem(Q(list.Title));
        QFont bold = head->font();
        bold.setBold(true);
        head->setFont(bold);
        table->setItem(title, 0, head);
        table->setSpan(title, 0, 1, 3);
        for (const TCompareRow& item : list.Rows) {
            const int at = table->rowCount();
            table->insertRow(at);
            table->setItem(at, 0, new QTableWidgetItem(Q(item.Name)));
            table->setItem(at, 1, new QTableWidgetItem(Q(item.This)));
            table->setItem(at, 2, new QTableWidgetItem(Q(item.That)));
        }
    }
    return table;
}

}  // namespace zv::gui
