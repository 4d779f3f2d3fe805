#pragma once

#include <QPainter>
#include <QWidget>
#include <utility>

#include "compare/difference_overlay.h"
#include "lambda/wbo2_form.h"

namespace zv::gui {

// The AFR target map as a 17 x 17 table: rpm sites across the top, throttle sites down the
// left, targets tinted from rich (warm) to lean (cool) and the cells without target ("NC") grey.
// The current cell is aqua while the grid has the keys, else yellow as the live operating point.
// A block of cells is tinted and framed in the highlight colour. It never takes the keyboard
// focus; a mouse-up reports the cell (row or column 0: a header), a drag the block from where it
// began.
class TAfrGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TAfrGrid(QWidget* parent = nullptr);

    void SetState(const TWBO2Grid& cells, int col, int row, bool selected, const TCellRect& block);
    QRectF CellRect(int col, int row) const;
    // With the overlay shown, targets take the tint of how far they moved (classes by throttle
    // and speed site, as the map table's) instead of their own colours.
    void SetOverlay(bool shown, const TClassGrid& classes);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    void CellClicked(int col, int row);
    void CellRightPressed(int col, int row);
    void CellsDragged(int anchorCol, int anchorRow, int col, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    double HeaderWidth() const;
    QFont CellFont() const;
    QColor TargetBack(int col, int row, const QString& text) const;
    QFont HeaderFont(const QFont& cellFont) const;
    // The cell under a point as (col, row), or (-1, -1) outside the grid.
    std::pair<int, int> CellAt(const QPointF& at) const;
    bool InBlock(int col, int row) const;
    void PaintBlock(QPainter& p) const;

    TWBO2Grid cells_;
    int col_ = 1;
    int row_ = 1;
    bool selected_ = false;
    TCellRect block_;
    std::pair<int, int> pressed_{-1, -1};
    std::pair<int, int> dragged_{-1, -1};
    bool overlayShown_ = false;
    TClassGrid overlay_{};
};

}  // namespace zv::gui
