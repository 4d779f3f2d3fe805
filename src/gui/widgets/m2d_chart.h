#pragma once

#include <QWidget>

#include "editors/curve_chart_state.h"

namespace zv::gui {

// The 2-D curve chart: 16 points over the input axis (0..100 %), the value axis with its texts,
// the edit cursor on one point and the live marker at the input's value. A click picks the
// nearest point.
class TM2DsChart : public QWidget {
    Q_OBJECT
  public:
    explicit TM2DsChart(QWidget* parent = nullptr);

    void SetState(const TCurveChartState& state);

    QSize sizeHint() const override { return {420, 300}; }
    QSize minimumSizeHint() const override { return {240, 160}; }

  Q_SIGNALS:
    void PointClicked(int point);

  protected:
    // Columns instead of a line, for the plain chart of the oldest units.
    explicit TM2DsChart(bool columns, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRectF PlotRect() const;
    // Where the 16 points stand across the plot: its whole width for a curve; for columns half a
    // column's slot in from each edge, so that the first and last column show whole.
    double PointX(const QRectF& plot, double i) const;
    double PointOfX(const QRectF& plot, double x) const;
    QPointF PointAt(const QRectF& plot, int i) const;
    double YOfValue(const QRectF& plot, double value) const;
    void DrawAxes(QPainter& painter, const QRectF& plot) const;
    void DrawCurve(QPainter& painter, const QRectF& plot) const;

    TCurveChartState state_;
    std::array<std::uint8_t, 16> shown_{};  // the bytes last painted, so that repaints are rare
    bool columns_ = false;
};

// The plain chart of the oldest units' idle page.
class TM2DChart : public TM2DsChart {
    Q_OBJECT
  public:
    explicit TM2DChart(QWidget* parent = nullptr) : TM2DsChart(true, parent) {}
};

}  // namespace zv::gui
