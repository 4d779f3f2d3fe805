#pragma once

#include <QWidget>

#include "compare/comparison_view.h"

namespace zv::gui {

// A map of the comparison window: 16 x 16 cells laid out as the fuel map table (highest
// throttle site at the top, lowest speed on the left); a differing cell shows both values, one
// above the other, on the tint of its difference.
class TComparisonGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TComparisonGrid(QWidget* parent = nullptr);

    void SetState(const zv::TCompareGrid& cells, const std::array<int, 16>& throttleLabels,
                  const std::array<int, 16>& rpmLabels);
    QRectF CellRect(int t, int r) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

    // Two lines of the small font and a little air above and below them.
    double MinimumRowHeight() const;

  private:
    QFont SmallFont() const;
    double HeaderWidth() const;
    double HeaderHeight() const;

    zv::TCompareGrid cells_;
    std::array<int, 16> throttleLabels_{};
    std::array<int, 16> rpmLabels_{};
};

}  // namespace zv::gui
