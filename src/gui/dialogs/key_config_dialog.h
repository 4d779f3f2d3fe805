#pragma once

#include <QDialog>
#include <array>

class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zv {
class TKeyConfigDlg;
}

namespace zv::gui {

class ColourPanel;
class KeyControlWidget;

// The modal dialog in which the operator assigns the two step keys. It paints the core model
// and passes keys and clicks to it; exec() gives Accepted when the model took the keys over.
class KeyConfigDialog : public QDialog {
    Q_OBJECT
  public:
    KeyConfigDialog(TKeyConfigDlg& model, QWidget* parent = nullptr);
    ~KeyConfigDialog() override;

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Refresh();
    void BuildRow(QGridLayout* grid, int row);

    TKeyConfigDlg& model_;
    KeyControlWidget* keySink_ = nullptr;
    QGroupBox* group_ = nullptr;
    QLabel* codeHeader_ = nullptr;
    QLabel* keyHeader_ = nullptr;
    std::array<QLabel*, 2> rowLabels_{};
    std::array<ColourPanel*, 2> codePanels_{};
    std::array<ColourPanel*, 2> keyPanels_{};
    std::array<QLabel*, 3> hints_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace zv::gui
