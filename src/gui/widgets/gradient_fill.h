#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

namespace zv::gui {

// A rectangle filled with a linear gradient between two colours, left to right or top to
// bottom. Paint() serves widgets that draw gradients as part of themselves.
class TGradientFill : public QWidget {
    Q_OBJECT
  public:
    explicit TGradientFill(QWidget* parent = nullptr);

    void SetColours(const QColor& from, const QColor& to);
    void SetOrientation(Qt::Orientation orientation);

    static void Paint(QPainter& painter, const QRectF& rect, const QColor& from, const QColor& to,
                      Qt::Orientation orientation);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor from_;
    QColor to_;
    Qt::Orientation orientation_ = Qt::Horizontal;
};

}  // namespace zv::gui
