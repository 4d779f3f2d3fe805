#include "dialogs/type_config_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/look.h"
#include "dialogs/lamp_function_box.h"
#include "editors/type_config_dlg.h"
#include "pages/view_text.h"

namespace zv::gui {

TTypeConfigDialog::TTypeConfigDialog(TTypeConfigDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    model_.FormShow();
    lambdaGroup_ = new QGroupBox;
    auto* lambda = new QVBoxLayout(lambdaGroup_);
    tempAsLambda_ = new QCheckBox;
    gpAsLambda_ = new QCheckBox;
    tempAsWBO_ = new QCheckBox;
    modules_ = new QComboBox;  // the eight devices only: no typed text
    lambda->addWidget(tempAsLambda_);
    lambda->addWidget(gpAsLambda_);
    lambda->addWidget(tempAsWBO_);
    lambda->addWidget(modules_);
    lamps_ = new TLampFunctionBox(model_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kGroupSpacing);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lambdaGroup_);
    layout->addWidget(lamps_);
    layout->addWidget(buttons_);

    connect(tempAsLambda_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.TempInputAsLambdaCheckBoxClick(checked);
        Render();
    });
    connect(gpAsLambda_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.GPInputAsLambdaCheckBoxClick(checked);
        Render();
    });
    connect(tempAsWBO_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.TempInputAsWBOCheckBoxClick(checked);
        Render();
    });
    connect(modules_, &QComboBox::activated, this, [this](int index) {
        model_.WBOModuleComboBoxChange(index);
        Render();
    });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Render();
}

void TTypeConfigDialog::Render() {
    const TTypeConfigDlgState& s = model_.State();
    setWindowTitle(Q(s.Caption));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Q(s.Cancel));
    lambdaGroup_->setTitle(Q(s.LambdaGroup));
    tempAsLambda_->setText(Q(s.TempAsLambdaText));
    gpAsLambda_->setText(Q(s.GPAsLambdaText));
    tempAsWBO_->setText(Q(s.TempAsWBOText));
    tempAsLambda_->setChecked(s.TempAsLambda);
    gpAsLambda_->setChecked(s.GPAsLambda);
    tempAsWBO_->setChecked(s.TempAsWBO);
    tempAsWBO_->setEnabled(s.WBOEnabled);
    modules_->setEnabled(s.WBOEnabled);
    const QSignalBlocker block(modules_);
    if (modules_->count() == 0)
        for (const std::string& text : s.Modules)
            modules_->addItem(Q(text));
    modules_->setCurrentIndex(s.ModuleIndex);
    lamps_->Render();
}

void TTypeConfigDialog::accept() {
    if (model_.OkButtonClick())
        QDialog::accept();
}

void TTypeConfigDialog::reject() {
    model_.CancelButtonClick();
    QDialog::reject();
}

}  // namespace zv::gui
