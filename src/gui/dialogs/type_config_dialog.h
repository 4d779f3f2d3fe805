#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;

namespace zv {
class TTypeConfigDlg;
}

namespace zv::gui {

class TLampFunctionBox;

// The input configuration of the units up to firmware index 27, modal from the Options menu.
class TTypeConfigDialog : public QDialog {
    Q_OBJECT
  public:
    TTypeConfigDialog(TTypeConfigDlg& model, QWidget* parent = nullptr);

    QCheckBox& TempAsLambdaBox() { return *tempAsLambda_; }
    QCheckBox& GPAsLambdaBox() { return *gpAsLambda_; }
    QComboBox& ModuleList() { return *modules_; }
    TLampFunctionBox& LampBox() { return *lamps_; }

  public Q_SLOTS:
    void accept() override;
    void reject() override;

  private:
    void Render();

    TTypeConfigDlg& model_;
    QGroupBox* lambdaGroup_ = nullptr;
    QCheckBox* tempAsLambda_ = nullptr;
    QCheckBox* gpAsLambda_ = nullptr;
    QCheckBox* tempAsWBO_ = nullptr;
    QComboBox* modules_ = nullptr;
    TLampFunctionBox* lamps_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace zv::gui
