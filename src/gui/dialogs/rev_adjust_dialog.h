#pragma once

#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zv {
class TRevAdjustDlg;
}

namespace zv::gui {

class KeyControlWidget;

// The site adjust dialog: two group boxes of sixteen site panels each, in four columns of eight,
// the selected panel aqua. Keys go to its own key sink and from there to core.
class TRevAdjustDialog : public QDialog {
    Q_OBJECT
  public:
    TRevAdjustDialog(TRevAdjustDlg& model, QWidget* parent);
    ~TRevAdjustDialog() override;

    int exec() override;
    void Render();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QGroupBox* Group(int firstColumn);

    TRevAdjustDlg& model_;
    KeyControlWidget* keySink_ = nullptr;
    QGroupBox* throttleGroup_ = nullptr;
    QGroupBox* rpmGroup_ = nullptr;
    std::array<QLabel*, 4> unitLabels_{};
    std::array<QLabel*, 32> panels_{};
    QPushButton* closeButton_ = nullptr;
    QLabel* siteMoveLabel_ = nullptr;
    QComboBox* siteMoveChoice_ = nullptr;
};

}  // namespace zv::gui
