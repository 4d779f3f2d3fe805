#pragma once

#include <QColor>
#include <QWidget>

namespace zv::gui {

// A filled figure that stands for a state by its colour: the mixture tendency's triangles and
// circle, the plot legend's colour keys. Its size follows the font, so it scales with the
// screen's pixel density.
class TShape : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Circle, TriangleUp, TriangleDown, Square };

    // scale: size against the font's line height.
    TShape(Kind kind, double scale = 1.0, QWidget* parent = nullptr);

    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Kind kind_;
    double scale_;
    QColor colour_;
};

}  // namespace zv::gui
