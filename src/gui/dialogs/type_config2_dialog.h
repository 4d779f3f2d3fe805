#pragma once

#include <QDialog>
#include <QTimer>

class QComboBox;
class QDialogButtonBox;
class QGroupBox;

namespace zv {
class TTypeConfig2Dlg;
}

namespace zv::gui {

class TLampFunctionBox;

// The input configuration of the units above firmware index 27, modal from the Options menu.
class TTypeConfig2Dialog : public QDialog {
    Q_OBJECT
  public:
    TTypeConfig2Dialog(TTypeConfig2Dlg& model, QWidget* parent = nullptr);
    ~TTypeConfig2Dialog() override;

    QComboBox& InputEList() { return *inputE_; }
    QComboBox& InputFList() { return *inputF_; }
    TLampFunctionBox& LampBox() { return *lamps_; }

  public Q_SLOTS:
    void accept() override;
    void reject() override;

  private:
    void Render();

    TTypeConfig2Dlg& model_;
    QGroupBox* groupE_ = nullptr;
    QGroupBox* groupF_ = nullptr;
    QComboBox* inputE_ = nullptr;
    QComboBox* inputF_ = nullptr;
    TLampFunctionBox* lamps_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QTimer timer1_;
};

}  // namespace zv::gui
