#include "autotune/cell_heat_map.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "pages/view_text.h"
#include "widgets/block_wash.h"
#include "widgets/difference_colour.h"
#include "widgets/map_axes.h"

namespace zv::gui {

namespace {

const QColor kGrey{0xD0, 0xD0, 0xD0};

}  // namespace

TCellHeatMap::TCellHeatMap(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

QSize TCellHeatMap::sizeHint() const {
    const QFontMetrics fm(font());
    return {static_cast<int>(HeaderWidth() + 16 * fm.horizontalAdvance(QStringLiteral("+10.0"))),
            static_cast<int>(HeaderHeight() + 16 * fm.height() * 2.0)};
}

QSize TCellHeatMap::minimumSizeHint() const {
    const QFontMetrics fm(font());
    return {
        static_cast<int>(HeaderWidth() + 16 * (fm.horizontalAdvance(QStringLiteral("+10.0")) + 4)),
        static_cast<int>(HeaderHeight() + 16 * fm.height() * 1.6)};
}

double TCellHeatMap::HeaderWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QStringLiteral(" 100 %"));
}

double TCellHeatMap::HeaderHeight() const {
    return QFontMetricsF(font()).height() * 2.4;
}

void TCellHeatMap::SetCells(const TCells& cells, const TTuneAxes& axes) {
    cells_ = cells;
    axes_ = axes;
    shown_ = true;
    update();
}

void TCellHeatMap::Clear(const TTuneAxes& axes) {
    axes_ = axes;
    shown_ = false;
    selected_ = false;
    update();
}

void TCellHeatMap::SetSelection(const std::optional<TCellRect>& block) {
    selected_ = block.has_value();
    if (block) {
        selection_.Collapse(block->TLow, block->RLow);
        selection_.Extend(block->THigh, block->RHigh);
    }
    update();
}

std::optional<TCellRect> TCellHeatMap::Selection() const {
    if (!selected_)
        return std::nullopt;
    return selection_.Rect();
}

// Row 0 at the top holds throttle site 15; column 0 holds rpm site 0, as in the fuel map table.
QRectF TCellHeatMap::CellRect(int t, int r) const {
    const double w = (width() - HeaderWidth()) / 16.0;
    const double h = (height() - HeaderHeight()) / 16.0;
    return {HeaderWidth() + r * w, HeaderHeight() + (15 - t) * h, w, h};
}

std::pair<int, int> TCellHeatMap::CellAt(const QPointF& at) const {
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r)
            if (CellRect(t, r).contains(at))
                return {t, r};
    return {-1, -1};
}

QColor TCellHeatMap::CellColour(const TTuneHeatCell& cell) const {
    return cell.Grey ? kGrey : DifferenceColour(cell.Tint, *this);
}

void TCellHeatMap::PaintHeaders(QPainter& p) const {
    QFont header = font();
    header.setPointSizeF(font().pointSizeF() * 0.85);
    p.setFont(header);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(0, 0, HeaderWidth(), HeaderHeight()), Qt::AlignCenter,
               QStringLiteral("%\n") + Q(axes_.RpmUnit));
    PaintMapAxes(
        p, [this](int t, int r) { return CellRect(t, r); }, HeaderWidth(), HeaderHeight(),
        axes_.Throttle, axes_.Rpm);
}

void TCellHeatMap::PaintCell(QPainter& p, int t, int r, const QFont& big,
                             const QFont& small) const {
    const TTuneHeatCell& cell = cells_[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    const QRectF box = CellRect(t, r);
    const bool inBlock = selected_ && selection_.Rect().Contains(t, r);
    const QColor back = CellColour(cell);
    p.fillRect(box, inBlock ? BlockWash(back, *this) : back);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(box);
    p.setPen(Qt::black);
    if (!cell.Change.empty()) {
        p.setFont(big);
        p.drawText(box.adjusted(0, 0, 0, -box.height() * 0.35), Qt::AlignCenter, Q(cell.Change));
        p.setFont(small);
        p.drawText(box.adjusted(0, box.height() * 0.55, 0, 0), Qt::AlignCenter, Q(cell.Samples));
    } else {
        p.setFont(small);
        p.drawText(box, Qt::AlignCenter, Q(cell.Samples));
    }
    if (!cell.Mark.empty()) {
        p.setFont(small);
        p.drawText(box.adjusted(2, 1, -2, -1), Qt::AlignTop | Qt::AlignLeft, Q(cell.Mark));
    }
}

void TCellHeatMap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    PaintHeaders(p);
    if (!shown_)
        return;
    // Four characters ("+9.9") must fit a cell's width, two lines its height.
    QFont big = font();
    const QRectF one = CellRect(0, 0);
    const QFontMetricsF fm(big);
    const double scale =
        std::min({1.0, (one.width() - 2) / fm.horizontalAdvance(QStringLiteral("+10.0")),
                  one.height() / (fm.height() * 1.7)});
    big.setPointSizeF(std::max(5.0, big.pointSizeF() * scale));
    QFont small = big;
    small.setPointSizeF(std::max(5.0, big.pointSizeF() * 0.75));
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r)
            PaintCell(p, t, r, big, small);
    if (selected_) {
        const TCellRect b = selection_.Rect();
        PaintBlockFrame(p, CellRect(b.THigh, b.RLow).united(CellRect(b.TLow, b.RHigh)), *this);
    }
}

void TCellHeatMap::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !shown_)
        return;
    const auto [t, r] = CellAt(event->position());
    if (t < 0)
        return;
    setFocus();
    if (event->modifiers() & Qt::ShiftModifier && selected_) {
        selection_.Extend(t, r);
    } else {
        selection_.Collapse(t, r);
    }
    selected_ = true;
    update();
    Q_EMIT SelectionChanged();
}

void TCellHeatMap::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !selected_)
        return;
    const auto [t, r] = CellAt(event->position());
    if (t < 0 || (t == selection_.CursorT() && r == selection_.CursorR()))
        return;
    selection_.Extend(t, r);
    update();
    Q_EMIT SelectionChanged();
}

// Arrows move the cell, Shift+arrows stretch the block from where it began; up is a higher
// throttle site, as the table stands.
void TCellHeatMap::keyPressEvent(QKeyEvent* event) {
    int dt = 0, dr = 0;
    switch (event->key()) {
        case Qt::Key_Up:
            dt = 1;
            break;
        case Qt::Key_Down:
            dt = -1;
            break;
        case Qt::Key_Left:
            dr = -1;
            break;
        case Qt::Key_Right:
            dr = 1;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    if (!shown_)
        return;
    if (!selected_) {
        selection_.Collapse(0, 0);
        selected_ = true;
    }
    const int t = std::clamp(selection_.CursorT() + dt, 0, 15);
    const int r = std::clamp(selection_.CursorR() + dr, 0, 15);
    if (event->modifiers() & Qt::ShiftModifier)
        selection_.Extend(t, r);
    else
        selection_.Collapse(t, r);
    update();
    Q_EMIT SelectionChanged();
}

bool TCellHeatMap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const auto [t, r] = CellAt(help->pos());
        if (shown_ && t >= 0)
            QToolTip::showText(
                help->globalPos(),
                Q(cells_[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)].Tip), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

}  // namespace zv::gui
