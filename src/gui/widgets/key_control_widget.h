#pragma once

#include <QWidget>

namespace zv {
class TKeyControl;
}

namespace zv::gui {

// The invisible keyboard sink of a window: while it has the focus every key press, Tab and the
// arrows included, goes as a virtual-key code to the core key control it stands for. Shortcuts
// of the window still come first.
class KeyControlWidget : public QWidget {
    Q_OBJECT
  public:
    KeyControlWidget(TKeyControl& control, QWidget* parent);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    TKeyControl& control_;
};

}  // namespace zv::gui
