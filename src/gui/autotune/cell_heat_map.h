#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <utility>

#include "autotune/autotune_session.h"
#include "cells/cell_selection.h"

namespace zv::gui {

// Autotune's proposal over the fuel map's sites, laid out as the fuel map table (highest
// throttle site at the top, lowest speed on the left): each cell tinted by its change, with the
// change in percent and, smaller, its sample count; cells that could not be tuned grey; a
// locked cell or a doubtful proposal marked in its corner. A drag or Shift+arrows choose a
// block of cells.
class TCellHeatMap : public QWidget {
    Q_OBJECT
  public:
    using TCells = std::array<std::array<TTuneHeatCell, 16>, 16>;  // [t][r]

    explicit TCellHeatMap(QWidget* parent = nullptr);

    void SetCells(const TCells& cells, const TTuneAxes& axes);
    // No result: empty cells under the data set's own sites.
    void Clear(const TTuneAxes& axes);
    bool HasCells() const { return shown_; }
    // The block, or nothing when none is chosen (a single clicked cell is a block of one).
    void SetSelection(const std::optional<TCellRect>& block);
    std::optional<TCellRect> Selection() const;
    QRectF CellRect(int t, int r) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    void SelectionChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

  private:
    double HeaderWidth() const;
    double HeaderHeight() const;
    std::pair<int, int> CellAt(const QPointF& at) const;
    void PaintHeaders(QPainter& p) const;
    void PaintCell(QPainter& p, int t, int r, const QFont& big, const QFont& small) const;
    QColor CellColour(const TTuneHeatCell& cell) const;

    TCells cells_{};
    TTuneAxes axes_;
    bool shown_ = false;
    TCellSelection selection_;
    bool selected_ = false;
};

}  // namespace zv::gui
