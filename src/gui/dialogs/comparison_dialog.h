#pragma once

#include <QDialog>

#include "compare/comparison_view.h"

namespace zv::gui {

class TComparisonGrid;

// The comparison of two data sets: what differs in one line, both maps as grids with the
// differing cells tinted and a legend of the tints, and the differing sites, curve points,
// parameters and comment lines as a list of name, this value, that value. It only shows.
class TComparisonDialog : public QDialog {
    Q_OBJECT
  public:
    TComparisonDialog(const TComparisonView& view, QWidget* parent);

    TComparisonGrid& MapGrid() { return *map_; }
    TComparisonGrid& AfrGrid() { return *afr_; }

  private:
    QWidget* Legend(const TComparisonView& view);
    QWidget* Lists(const TComparisonView& view);

    TComparisonGrid* map_ = nullptr;
    TComparisonGrid* afr_ = nullptr;
};

}  // namespace zv::gui
