#include "dialogs/lamp_function_box.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "editors/type_config_base.h"

namespace zv::gui {

TLampFunctionBox::TLampFunctionBox(TTypeConfigBase& model, QWidget* parent)
    : QGroupBox(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);
    revLim_ = new QCheckBox;
    lambda_ = new QCheckBox;
    layout->addWidget(revLim_);
    layout->addWidget(lambda_);
    connect(revLim_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.LampAsRevLimCheckBoxClick(checked);
        Render();
    });
    connect(lambda_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.LampAsLambdaCheckBoxClick(checked);
        Render();
    });
}

void TLampFunctionBox::Render() {
    const TLampBoxes& lamps = model_.Lamps();
    setVisible(lamps.Visible);
    setTitle(QString::fromStdString(lamps.Group));
    revLim_->setText(QString::fromStdString(lamps.RevLimText));
    lambda_->setText(QString::fromStdString(lamps.LambdaText));
    revLim_->setChecked(lamps.AsRevLim);
    lambda_->setChecked(lamps.AsLambda);
}

}  // namespace zv::gui
