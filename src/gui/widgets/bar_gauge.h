#pragma once

#include <QColor>
#include <QWidget>

namespace zv::gui {

// A bar that fills from its start in proportion to position / maximum, horizontal (from the
// left) or vertical (from the bottom), with optional tick marks at equal steps. Colours
// default to the palette's highlight on the base colour.
class TBarGauge : public QWidget {
    Q_OBJECT
  public:
    explicit TBarGauge(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    void SetMaximum(int maximum);
    void SetPosition(int position);
    void SetBarColour(const QColor& colour);
    void SetBackColour(const QColor& colour);  // invalid: the palette's base colour
    void SetMarks(int count);                  // marks divide the scale into count steps
    // The bar's thickness in text lines (horizontal) or its length (vertical).
    void SetThickness(double lines);

    int Position() const { return position_; }
    int Maximum() const { return maximum_; }
    QColor BarColour() const { return barColour_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Qt::Orientation orientation_;
    int maximum_ = 100;
    int position_ = 0;
    int marks_ = 0;
    double thickness_ = 0.8;
    QColor barColour_;
    QColor backColour_;
};

}  // namespace zv::gui
