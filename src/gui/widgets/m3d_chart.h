#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <array>
#include <cstdint>

#include "editors/map_form.h"

namespace zv::gui {

// The 3-D wire chart of the fuel map: the 16 x 16 cells as a mesh over the throttle axis (to the
// left) and the rpm axis (to the right), back lines hidden behind the nearer cells, the edit
// cursor as an aqua box with its value and highlighted site numbers, the operating point as a
// yellow ball on its stalk. A click on a grid point asks for the cursor there.
class TM3DChart1 : public QWidget {
    Q_OBJECT
  public:
    explicit TM3DChart1(QWidget* parent = nullptr);

    // Takes what the chart shows; repaints only when something visible changed, and the mesh
    // only around the cells that changed.
    void SetState(const TMapChartState& state);

    QSize sizeHint() const override { return {640, 420}; }
    // Small before the table gets small: in a narrow window the table is what the operator edits.
    QSize minimumSizeHint() const override { return {200, 200}; }

  Q_SIGNALS:
    void CellClicked(int t, int r);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // The projection of the widget's current size.
    struct TProjection {
        QPointF Origin;  // grid point (0, 0) at height 0
        double Dx = 0, Dy = 0, Hs = 0;
        QPointF At(double t, double r, double h) const {
            return {Origin.x() + (r - t) * Dx, Origin.y() - (r + t) * Dy - h * Hs};
        }
    };
    TProjection Projection() const;
    std::uint8_t Cell(int t, int r) const;
    // The area a change of cell (t, r) from height `before` repaints in the mesh picture.
    QRectF CellArea(const TProjection& pr, int t, int r, int before) const;
    void PaintMeshPicture(const QRectF& area);
    void PaintFrame(class QPainter& p, const TProjection& pr) const;
    void PaintMesh(QPainter& p, const TProjection& pr, const QRectF& area) const;
    void PaintAxes(QPainter& p, const TProjection& pr) const;
    void PaintCursor(QPainter& p, const TProjection& pr) const;
    void PaintMarker(QPainter& p, const TProjection& pr) const;

    TMapChartState state_;
    std::array<std::uint8_t, 256> map_{};
    // Background, frame and mesh, painted once and then only where cells change: a live record
    // or a cursor move costs one copy of the picture and the few things drawn over it.
    QImage mesh_;
    bool meshValid_ = false;
    QRectF meshDirty_;  // the part of the picture to paint again after cell edits
};

}  // namespace zv::gui
