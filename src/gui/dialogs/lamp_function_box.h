#pragma once

#include <QGroupBox>

class QCheckBox;

namespace zv {
class TTypeConfigBase;
}

namespace zv::gui {

// The lamp function group of both input configuration dialogs: shift lights or mixture
// indicators, exactly one of the two checked.
class TLampFunctionBox : public QGroupBox {
    Q_OBJECT
  public:
    explicit TLampFunctionBox(TTypeConfigBase& model, QWidget* parent = nullptr);

    void Render();
    QCheckBox& RevLimBox() { return *revLim_; }
    QCheckBox& LambdaBox() { return *lambda_; }

  private:
    TTypeConfigBase& model_;
    QCheckBox* revLim_ = nullptr;
    QCheckBox* lambda_ = nullptr;
};

}  // namespace zv::gui
