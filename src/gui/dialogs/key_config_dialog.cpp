#include "dialogs/key_config_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/key_config_dlg.h"
#include "dialogs/colour_panel.h"
#include "widgets/key_control_widget.h"

namespace zv::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

KeyConfigDialog::KeyConfigDialog(TKeyConfigDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("KeyConfigDlg");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(12);

    group_ = new QGroupBox(this);
    auto* grid = new QGridLayout(group_);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);
    codeHeader_ = new QLabel(group_);
    keyHeader_ = new QLabel(group_);
    grid->addWidget(codeHeader_, 0, 1, Qt::AlignHCenter);
    grid->addWidget(keyHeader_, 0, 2, Qt::AlignHCenter);
    for (int row = 0; row < 2; ++row)
        BuildRow(grid, row);
    grid->setColumnStretch(0, 1);
    layout->addWidget(group_);

    auto* hintBox = new QVBoxLayout;
    hintBox->setSpacing(0);
    for (auto*& hint : hints_) {
        hint = new QLabel(this);
        hintBox->addWidget(hint);
    }
    layout->addLayout(hintBox);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    // The buttons answer the mouse only: every key belongs to the key sink.
    ok_->setFocusPolicy(Qt::NoFocus);
    cancel_->setFocusPolicy(Qt::NoFocus);
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, [this] { model_.OkClick(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { model_.CancelClick(); });
    layout->addWidget(buttons);

    keySink_ = new KeyControlWidget(model_.KeyCtrl, this);
    model_.Changed = [this] { Refresh(); };
    Refresh();
}

KeyConfigDialog::~KeyConfigDialog() {
    model_.Changed = nullptr;
}

void KeyConfigDialog::BuildRow(QGridLayout* grid, int row) {
    const auto index = static_cast<std::size_t>(row);
    rowLabels_[index] = new QLabel(group_);
    codePanels_[index] = new ColourPanel(group_);
    keyPanels_[index] = new ColourPanel(group_);
    const QFontMetrics metrics(font());
    codePanels_[index]->setMinimumWidth(metrics.horizontalAdvance("0000") + 12);
    keyPanels_[index]->setMinimumWidth(metrics.horizontalAdvance("Scroll Lock") + 12);
    for (ColourPanel* panel : {codePanels_[index], keyPanels_[index]}) {
        panel->setAlignment(Qt::AlignCenter);
        panel->setMinimumHeight(metrics.height() + 8);
        panel->SetLowered(true);
        connect(panel, &ColourPanel::Clicked, this, [this, row] {
            model_.CodePanelClick(row);
            keySink_->setFocus();
        });
    }
    grid->addWidget(rowLabels_[index], row + 1, 0);
    grid->addWidget(codePanels_[index], row + 1, 1);
    grid->addWidget(keyPanels_[index], row + 1, 2);
}

void KeyConfigDialog::Refresh() {
    const TKeyConfigTexts& texts = model_.Texts();
    setWindowTitle(Q(texts.Caption));
    group_->setTitle(Q(texts.Group));
    codeHeader_->setText(Q(texts.CodeHeader));
    keyHeader_->setText(Q(texts.KeyHeader));
    for (std::size_t i = 0; i < 2; ++i) {
        const TKeyConfigRow row = model_.Row(static_cast<int>(i));
        rowLabels_[i]->setText(Q(texts.RowLabels[i]));
        codePanels_[i]->setText(Q(row.CodeText));
        keyPanels_[i]->setText(Q(row.KeyText));
        codePanels_[i]->SetColours(row.PanelColour, row.TextColour);
        keyPanels_[i]->SetColours(row.PanelColour, row.TextColour);
    }
    for (std::size_t i = 0; i < hints_.size(); ++i)
        hints_[i]->setText(Q(texts.Hints[i]));
    ok_->setText(Q(texts.Ok));
    cancel_->setText(Q(texts.Cancel));

    if (!isVisible())
        return;
    if (model_.ModalResult() == TKeyConfigDlg::ResultOk)
        done(Accepted);
    if (model_.ModalResult() == TKeyConfigDlg::ResultCancel)
        done(Rejected);
}

void KeyConfigDialog::reject() {
    // The title bar's close button: the same as Cancel.
    if (model_.ModalResult() == TKeyConfigDlg::ResultNone) {
        model_.CancelClick();
    } else {
        QDialog::reject();
    }
}

void KeyConfigDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_.FormActivate();
    keySink_->setFocus();
}

}  // namespace zv::gui
