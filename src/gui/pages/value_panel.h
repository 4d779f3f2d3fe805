#pragma once

#include <QLabel>

#include "pages/panel_colour.h"

namespace zv::gui {

// A framed value of an editor page that the keys edit: white, aqua while selected, or the
// button face when the page gave the keys away. A click selects it.
class TValuePanel : public QLabel {
    Q_OBJECT
  public:
    explicit TValuePanel(QWidget* parent = nullptr);

    enum class Look { White, Aqua, ButtonFace };
    void SetLook(Look look);
    // Grey digits for a value the panel shows but the keys cannot change.
    void SetTextGrey(bool grey);

  Q_SIGNALS:
    void Clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void ApplyColours();

    Look look_ = Look::ButtonFace;
    bool grey_ = false;
};

// The look of a panel colour that core decided.
TValuePanel::Look LookOf(TPanelColour colour);

}  // namespace zv::gui
