#pragma once

#include <QPainter>
#include <QWidget>
#include <array>
#include <cstdint>
#include <utility>

#include "compare/difference_overlay.h"
#include "editors/map_form.h"

namespace zv::gui {

// The fuel map as a 16 x 16 table of its values, highest throttle site at the top, coloured by
// value from cool to hot, with the edit cursor dark with aqua digits and the cell of the
// operating point in yellow, a block of cells tinted and framed in the highlight colour. A click
// on a cell asks for the cursor there, a drag for the block from where it began.
class TMapTable : public QWidget {
    Q_OBJECT
  public:
    explicit TMapTable(QWidget* parent = nullptr);

    void SetState(const TMapChartState& state);
    // With the overlay shown, cells take the tint of how far they moved instead of the value
    // colours, and unmoved cells stay plain.
    void SetOverlay(bool shown, const TClassGrid& classes);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QRectF CellRect(int t, int r) const;

  Q_SIGNALS:
    void CellClicked(int t, int r);
    void CellRightPressed(int t, int r);
    void CellsDragged(int anchorT, int anchorR, int t, int r);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    double HeaderWidth() const;
    double HeaderHeight() const;
    QFont CellFont() const;
    static QFont CursorFont(const QFont& cellFont, const QString& value, double room);
    QColor CellColour(int t, int r, int value) const;
    // The cell under a point as (t, r), or (-1, -1) outside the cells.
    std::pair<int, int> CellAt(const QPointF& at) const;
    bool InBlock(int t, int r) const;
    void PaintSelection(QPainter& p) const;

    TMapChartState state_;
    std::array<std::uint8_t, 256> map_{};
    int liveT_ = -1;
    int liveR_ = -1;
    bool overlayShown_ = false;
    TClassGrid overlay_{};
    std::pair<int, int> pressed_{-1, -1};
    std::pair<int, int> dragged_{-1, -1};
};

}  // namespace zv::gui
