#pragma once

#include <QColor>
#include <QWidget>

namespace zv::gui {

// A round lamp: lit in its colour, or dark. Its size follows the font, so it scales with the
// screen's pixel density.
class TLed : public QWidget {
    Q_OBJECT
  public:
    explicit TLed(const QColor& onColour, QWidget* parent = nullptr);

    void SetOn(bool on);
    bool On() const { return on_; }
    void SetOnColour(const QColor& colour);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor onColour_;
    bool on_ = false;
};

}  // namespace zv::gui
