#pragma once

#include <QWidget>

#include "compare/difference_overlay.h"
#include "lambda/wbo2_form.h"

namespace zv::gui {

// The AFR target map as a 17 x 17 table: rpm sites across the top, throttle sites down the
// left, targets tinted from rich (warm) to lean (cool) and the cells without target ("NC") grey.
// The current cell is aqua while the grid has the keys, else yellow as the live operating point.
// It never takes the keyboard focus; a mouse-up reports the cell (row or column 0: a header).
class TAfrGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TAfrGrid(QWidget* parent = nullptr);

    void SetState(const TWBO2Grid& cells, int col, int row, bool selected);
    QRectF CellRect(int col, int row) const;
    // With the overlay shown, targets take the tint of how far they moved (classes by throttle
    // and speed site, as the map table's) instead of their own colours.
    void SetOverlay(bool shown, const TClassGrid& classes);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    void CellClicked(int col, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    double HeaderWidth() const;
    QFont CellFont() const;
    QColor TargetBack(int col, int row, const QString& text) const;
    QFont HeaderFont(const QFont& cellFont) const;

    TWBO2Grid cells_;
    int col_ = 1;
    int row_ = 1;
    bool selected_ = false;
    bool overlayShown_ = false;
    TClassGrid overlay_{};
};

}  // namespace zv::gui
