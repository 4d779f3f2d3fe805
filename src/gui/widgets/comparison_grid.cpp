#include "widgets/comparison_grid.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "pages/view_text.h"
#include "widgets/difference_colour.h"
#include "widgets/map_axes.h"

namespace zv::gui {

TComparisonGrid::TComparisonGrid(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

// A cell holds two lines of the small font: where the data sets differ, this value stands over
// that one, and both must show whole at every size the window takes.
QSize TComparisonGrid::sizeHint() const {
    const QSize least = minimumSizeHint();
    return {least.width() * 5 / 4, least.height() * 5 / 4};
}

QSize TComparisonGrid::minimumSizeHint() const {
    const QFontMetricsF fm(SmallFont());
    const double cellWidth = fm.horizontalAdvance(QStringLiteral("14.7")) + 4;
    return {static_cast<int>(std::ceil(HeaderWidth() + 16 * cellWidth)),
            static_cast<int>(std::ceil(HeaderHeight() + 16 * MinimumRowHeight()))};
}

double TComparisonGrid::MinimumRowHeight() const {
    return 2 * QFontMetricsF(SmallFont()).height() + 4;
}

QFont TComparisonGrid::SmallFont() const {
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.75);
    return small;
}

double TComparisonGrid::HeaderWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QStringLiteral(" 100 "));
}

double TComparisonGrid::HeaderHeight() const {
    return QFontMetricsF(font()).height() * 2.2;
}

void TComparisonGrid::SetState(const zv::TCompareGrid& cells,
                               const std::array<int, 16>& throttleLabels,
                               const std::array<int, 16>& rpmLabels) {
    cells_ = cells;
    throttleLabels_ = throttleLabels;
    rpmLabels_ = rpmLabels;
    update();
}

QRectF TComparisonGrid::CellRect(int t, int r) const {
    const double w = (width() - HeaderWidth()) / 16.0;
    const double h = (height() - HeaderHeight()) / 16.0;
    return {HeaderWidth() + r * w, HeaderHeight() + (15 - t) * h, w, h};
}

void TComparisonGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QFont small = SmallFont();
    p.setFont(small);
    p.setPen(palette().color(QPalette::WindowText));
    PaintMapAxes(
        p, [this](int t, int r) { return CellRect(t, r); }, HeaderWidth(), HeaderHeight(),
        throttleLabels_, rpmLabels_);
    const QColor grid = palette().color(QPalette::Mid);
    const QColor text = palette().color(QPalette::Text);
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const TCompareCell& cell =
                cells_[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
            const QRectF box = CellRect(t, r);
            p.fillRect(box, DifferenceColour(cell.Class, *this));
            p.setPen(grid);
            p.drawRect(box);
            p.setPen(text);
            QFont f = small;
            f.setBold(cell.Class != 0);
            p.setFont(f);
            p.drawText(box, Qt::AlignCenter, Q(cell.Text));
        }
    }
}

}  // namespace zv::gui
