#include "widgets/afr_grid.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "pages/view_text.h"
#include "widgets/block_wash.h"
#include "widgets/difference_colour.h"

namespace zv::gui {

namespace {

constexpr int kN = kWBO2GridSize;
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);

// Rich targets warm, lean ones cool, light enough for black digits; the band is what the keys
// allow (10.5 .. 16.8).
QColor TargetColour(const QString& text) {
    bool ok = false;
    const double afr = text.toDouble(&ok);
    if (!ok)
        return {0xD8, 0xD8, 0xD8};
    const double x = std::clamp((afr - 10.5) / (16.8 - 10.5), 0.0, 1.0);
    return QColor::fromHsvF(static_cast<float>(x * 0.62), 0.28f, 1.0f);
}

}  // namespace

TAfrGrid::TAfrGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TAfrGrid::SetOverlay(bool shown, const TClassGrid& classes) {
    if (shown == overlayShown_ && classes == overlay_)
        return;
    overlayShown_ = shown;
    overlay_ = classes;
    update();
}

// Row 1 holds the highest throttle site, column 1 the lowest speed site.
QColor TAfrGrid::TargetBack(int col, int row, const QString& text) const {
    if (!overlayShown_)
        return TargetColour(text);
    return DifferenceColour(overlay_[static_cast<std::size_t>(kN - 1 - row)][static_cast<std::size_t>(col - 1)],
                            *this);
}

double TAfrGrid::HeaderWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QStringLiteral(" % \\ rpm "));
}

QSize TAfrGrid::sizeHint() const {
    const QFontMetrics fm(font());
    return {static_cast<int>(HeaderWidth() + 16 * fm.horizontalAdvance(QStringLiteral(" 16.8 "))),
            static_cast<int>(17 * fm.height() * 1.5)};
}

QSize TAfrGrid::minimumSizeHint() const {
    const QFontMetricsF fm(font());
    return {
        static_cast<int>(HeaderWidth() + 16 * fm.horizontalAdvance(QStringLiteral("16.8")) * 0.8),
        static_cast<int>(17 * fm.height() * 1.05)};
}

QRectF TAfrGrid::CellRect(int col, int row) const {
    const double w = (width() - HeaderWidth()) / 16.0;
    const double h = height() / static_cast<double>(kN);
    const double x = col == 0 ? 0.0 : HeaderWidth() + (col - 1) * w;
    return {x, row * h, col == 0 ? HeaderWidth() : w, h};
}

// The cells' font shrinks when "16.8" would not fit, down to three-quarters of the normal one.
QFont TAfrGrid::CellFont() const {
    QFont f = font();
    const QRectF cell = CellRect(1, 1);
    const QFontMetricsF fm(f);
    const double scale =
        std::min({1.0, (cell.width() - 4) / fm.horizontalAdvance(QStringLiteral("16.8")),
                  (cell.height() - 1) / fm.height()});
    if (scale < 1.0)
        f.setPointSizeF(std::max(f.pointSizeF() * 0.75, f.pointSizeF() * scale));
    return f;
}

// The rpm header holds up to five digits where the cells hold four characters: on a narrow
// grid its font shrinks further until the widest speed fits, so that neighbours keep apart.
QFont TAfrGrid::HeaderFont(const QFont& cellFont) const {
    QFont f = cellFont;
    f.setPointSizeF(cellFont.pointSizeF() * 0.9);
    const QFontMetricsF fm(f);
    double widest = 0.0;
    for (int col = 1; col < kN; ++col)
        widest = std::max(widest,
                          fm.horizontalAdvance(Q(cells_[0][static_cast<std::size_t>(col)])));
    const double room = CellRect(1, 0).width() - 4;
    if (widest > room && widest > 0.0)
        f.setPointSizeF(std::max(font().pointSizeF() * 0.55, f.pointSizeF() * room / widest));
    return f;
}

void TAfrGrid::SetState(const TWBO2Grid& cells, int col, int row, bool selected,
                        const TCellRect& block) {
    if (cells == cells_ && col == col_ && row == row_ && selected == selected_ && block == block_)
        return;
    block_ = block;
    cells_ = cells;
    col_ = col;
    row_ = row;
    selected_ = selected;
    update();
}

void TAfrGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const QColor grid = palette().color(QPalette::Mid);
    const QColor header = palette().color(QPalette::Button);
    const QFont cellFont = CellFont();
    const QFont headerFont = HeaderFont(cellFont);
    for (int row = 0; row < kN; ++row) {
        for (int col = 0; col < kN; ++col) {
            const QRectF cell = CellRect(col, row);
            const QString text =
                Q(cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]);
            const bool isHeader = row == 0 || col == 0;
            const bool current = col == col_ && row == row_;
            QFont f = isHeader ? headerFont : cellFont;
            f.setBold(current || (isHeader && (row == row_ || col == col_)));
            p.setFont(f);
            QColor back = isHeader ? header : TargetBack(col, row, text);
            if (current)
                back = selected_ ? kAqua : kYellow;
            else if (!isHeader && InBlock(col, row))
                back = BlockWash(back, *this);
            p.fillRect(cell, back);
            p.setPen(grid);
            p.drawRect(cell);
            p.setPen(!isHeader && text == QStringLiteral("NC") && !current
                         ? palette().color(QPalette::Disabled, QPalette::Text)
                         : QColor(Qt::black));
            p.drawText(cell, Qt::AlignCenter, text);
        }
    }
    PaintBlock(p);
    if (selected_) {
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(CellRect(col_, row_).adjusted(1, 1, -1, -1));
    }
}

bool TAfrGrid::InBlock(int col, int row) const {
    return selected_ && block_.Count() > 1 && block_.Contains(kN - 1 - row, col - 1);
}

void TAfrGrid::PaintBlock(QPainter& p) const {
    if (!InBlock(block_.RLow + 1, kN - 1 - block_.TLow))
        return;
    const QRectF area = CellRect(block_.RLow + 1, kN - 1 - block_.THigh)
                            .united(CellRect(block_.RHigh + 1, kN - 1 - block_.TLow));
    PaintBlockFrame(p, area, *this);
}

std::pair<int, int> TAfrGrid::CellAt(const QPointF& at) const {
    for (int row = 0; row < kN; ++row)
        for (int col = 0; col < kN; ++col)
            if (CellRect(col, row).contains(at))
                return {col, row};
    return {-1, -1};
}

void TAfrGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed_ = dragged_ = CellAt(event->position());
    if (event->button() == Qt::RightButton) {
        if (const auto cell = CellAt(event->position()); cell.first >= 0)
            Q_EMIT CellRightPressed(cell.first, cell.second);
    }
}

void TAfrGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || pressed_.first < 1 || pressed_.second < 1)
        return;
    const auto cell = CellAt(event->position());
    if (cell.first < 1 || cell.second < 1 || cell == dragged_)
        return;
    dragged_ = cell;
    Q_EMIT CellsDragged(pressed_.first, pressed_.second, cell.first, cell.second);
}

// A release after a drag leaves the block the drag made; the right button opens the menu.
void TAfrGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool dragged = dragged_ != pressed_;
    pressed_ = dragged_ = {-1, -1};
    const auto cell = CellAt(event->position());
    if (!dragged && cell.first >= 0)
        Q_EMIT CellClicked(cell.first, cell.second);
}

}  // namespace zv::gui
