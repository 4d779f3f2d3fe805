#include "dialogs/type_config2_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/look.h"
#include "dialogs/lamp_function_box.h"
#include "editors/type_config2_dlg.h"
#include "pages/view_text.h"

namespace zv::gui {

namespace {

constexpr int kTimer1Ms = 100;

QGroupBox* ListGroup(QComboBox*& list) {
    auto* group = new QGroupBox;
    auto* layout = new QVBoxLayout(group);
    list = new QComboBox;
    layout->addWidget(list);
    return group;
}

}  // namespace

TTypeConfig2Dialog::TTypeConfig2Dialog(TTypeConfig2Dlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    model_.FormShow();
    groupE_ = ListGroup(inputE_);
    groupF_ = ListGroup(inputF_);
    lamps_ = new TLampFunctionBox(model_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kGroupSpacing);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(groupE_);
    layout->addWidget(groupF_);
    layout->addWidget(lamps_);
    layout->addWidget(buttons_);

    timer1_.setSingleShot(true);
    timer1_.setInterval(kTimer1Ms);
    connect(&timer1_, &QTimer::timeout, this, [this] {
        model_.Timer1Timer();
        Render();
    });
    model_.StartTimer1 = [this] { timer1_.start(); };
    connect(inputE_, &QComboBox::activated, this, [this](int index) {
        model_.InputESelectionComboBoxChange(index);
        Render();
    });
    connect(inputF_, &QComboBox::activated, this, [this](int index) {
        model_.InputFSelectionComboBoxChange(index);
        Render();
    });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Render();
}

TTypeConfig2Dialog::~TTypeConfig2Dialog() {
    model_.StartTimer1 = nullptr;
}

void TTypeConfig2Dialog::Render() {
    const TTypeConfig2DlgState& s = model_.State();
    setWindowTitle(Q(s.Caption));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Q(s.Cancel));
    groupE_->setTitle(Q(s.InputEGroup));
    groupF_->setTitle(Q(s.InputFGroup));
    for (QComboBox* list : {inputE_, inputF_}) {
        const QSignalBlocker block(list);
        if (list->count() == 0)
            for (const std::string& text : s.Selections)
                list->addItem(Q(text));
    }
    inputE_->setCurrentIndex(s.InputE);
    inputF_->setCurrentIndex(s.InputF);
    lamps_->Render();
}

void TTypeConfig2Dialog::accept() {
    if (model_.OkButtonClick())
        QDialog::accept();
}

void TTypeConfig2Dialog::reject() {
    model_.CancelButtonClick();
    QDialog::reject();
}

}  // namespace zv::gui
