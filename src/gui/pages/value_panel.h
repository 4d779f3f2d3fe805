#pragma once

#include <QLabel>

namespace zv::gui {

// A framed value of an editor page that the keys edit: white, aqua while selected, or the
// button face when the page gave the keys away. A click selects it.
class TValuePanel : public QLabel {
    Q_OBJECT
  public:
    explicit TValuePanel(QWidget* parent = nullptr);

    enum class Look { White, Aqua, ButtonFace };
    void SetLook(Look look);

  Q_SIGNALS:
    void Clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    Look look_ = Look::ButtonFace;
};

}  // namespace zv::gui
