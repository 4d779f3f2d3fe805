#include "widgets/map_table.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "widgets/block_wash.h"
#include "widgets/difference_colour.h"

namespace zv::gui {

namespace {

// Cool to hot over the byte's range, light enough for black digits.
QColor ValueColour(int value) {
    const double hue = (1.0 - value / 255.0) * 0.66;  // blue .. red
    return QColor::fromHsvF(static_cast<float>(hue), 0.45f, 1.0f);
}

}  // namespace

TMapTable::TMapTable(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

QSize TMapTable::sizeHint() const {
    const QFontMetrics fm(font());
    return {static_cast<int>(HeaderWidth() + 16 * fm.horizontalAdvance(QStringLiteral(" 255"))),
            static_cast<int>(HeaderHeight() + 16 * fm.height() * 1.4)};
}

// Narrow columns take a smaller font (see CellFont), down to three-quarters of the normal one.
QSize TMapTable::minimumSizeHint() const {
    const QFontMetricsF fm(font());
    return {static_cast<int>(HeaderWidth() +
                             16 * (fm.horizontalAdvance(QStringLiteral("255")) * 0.75 + 3)),
            static_cast<int>(HeaderHeight() + 16 * fm.height() * 0.9)};
}

double TMapTable::HeaderWidth() const {
    return QFontMetricsF(font()).horizontalAdvance(QStringLiteral(" 100 %"));
}

double TMapTable::HeaderHeight() const {
    return QFontMetricsF(font()).height() * 2.4;
}

// The widget's font, made smaller when three digits would not fit a cell.
QFont TMapTable::CellFont() const {
    QFont f = font();
    const QRectF cell = CellRect(0, 0);
    const QFontMetricsF fm(f);
    const double scale =
        std::min({1.0, (cell.width() - 3) / fm.horizontalAdvance(QStringLiteral("255")),
                  (cell.height() - 1) / fm.height()});
    if (scale < 1.0)
        f.setPointSizeF(std::max(5.0, f.pointSizeF() * scale));
    return f;
}

void TMapTable::SetState(const TMapChartState& state) {
    std::array<std::uint8_t, 256> map{};
    if (state.Map)
        std::memcpy(map.data(), state.Map, map.size());
    const int liveT = state.MarkerVisible ? static_cast<int>(std::lround(state.MarkerT)) : -1;
    const int liveR = state.MarkerVisible ? static_cast<int>(std::lround(state.MarkerR)) : -1;
    if (map == map_ && liveT == liveT_ && liveR == liveR_ &&
        state.CursorVisible == state_.CursorVisible && state.CursorT == state_.CursorT &&
        state.CursorR == state_.CursorR && state.Selection == state_.Selection &&
        state.ThrottleLabels == state_.ThrottleLabels && state.RpmLabels == state_.RpmLabels &&
        state.RpmUnit == state_.RpmUnit)
        return;
    map_ = map;
    state_ = state;
    state_.Map = nullptr;
    liveT_ = liveT;
    liveR_ = liveR;
    update();
}

void TMapTable::SetOverlay(bool shown, const TClassGrid& classes) {
    if (shown == overlayShown_ && classes == overlay_)
        return;
    overlayShown_ = shown;
    overlay_ = classes;
    update();
}

QColor TMapTable::CellColour(int t, int r, int value) const {
    if (t == liveT_ && r == liveR_)
        return {0xFF, 0xFF, 0x00};
    const QColor own =
        overlayShown_
            ? DifferenceColour(overlay_[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)],
                               *this)
            : ValueColour(value);
    return InBlock(t, r) ? BlockWash(own, *this) : own;
}

// Row 0 at the top holds throttle site 15; column 0 holds rpm site 0.
QRectF TMapTable::CellRect(int t, int r) const {
    const double w = (width() - HeaderWidth()) / 16.0;
    const double h = (height() - HeaderHeight()) / 16.0;
    return {HeaderWidth() + r * w, HeaderHeight() + (15 - t) * h, w, h};
}

void TMapTable::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const QColor text = palette().color(QPalette::Text);
    const QColor grid = palette().color(QPalette::Mid);
    const QFont cellFont = CellFont();
    QFont headerFont = font();
    headerFont.setPointSizeF(std::min(font().pointSizeF() * 0.85, cellFont.pointSizeF() * 0.9));
    p.setFont(headerFont);
    p.setPen(palette().color(QPalette::WindowText));
    const double headerH = HeaderHeight();
    p.drawText(QRectF(0, 0, HeaderWidth(), headerH), Qt::AlignCenter,
               QStringLiteral("%\n") + QString::fromStdString(state_.RpmUnit));
    for (int r = 0; r < 16; ++r) {
        QRectF head = CellRect(0, r);
        head.setTop(0);
        head.setHeight(headerH);
        const bool cursor = state_.CursorVisible && r == state_.CursorR;
        QFont f = headerFont;
        f.setBold(cursor);
        p.setFont(f);
        // Alternate rows keep five-digit speeds apart in narrow columns.
        const Qt::Alignment align = Qt::AlignHCenter | (r % 2 ? Qt::AlignBottom : Qt::AlignTop);
        p.drawText(head.adjusted(0, 2, 0, -2), align | Qt::TextDontClip,
                   QString::number(state_.RpmLabels[static_cast<std::size_t>(r)]));
    }
    for (int t = 0; t < 16; ++t) {
        QRectF head = CellRect(t, 0);
        head.setLeft(0);
        head.setWidth(HeaderWidth() - 4);
        QFont f = headerFont;
        f.setBold(state_.CursorVisible && t == state_.CursorT);
        p.setFont(f);
        p.drawText(head, Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(state_.ThrottleLabels[static_cast<std::size_t>(t)]));
    }
    p.setFont(cellFont);
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const QRectF cell = CellRect(t, r);
            const int value = FuelMapCell(std::span<const std::uint8_t, 256>(map_), t, r);
            p.fillRect(cell, CellColour(t, r, value));
            p.setPen(grid);
            p.drawRect(cell);
            p.setPen(text);
            p.drawText(cell, Qt::AlignCenter, QString::number(value));
        }
    }
    PaintSelection(p);
    // The cursor cell turns dark with its value in aqua, as the chart's cursor label, so it
    // stands out on the lightest cells; the operating point's cell is yellow as the chart's
    // marker, or, inside the cursor, marked by yellow bars above and below the value. Bars at
    // the sides would take the width a three-digit value needs in a narrow column.
    if (!state_.CursorVisible)
        return;
    const QRectF cell = CellRect(state_.CursorT, state_.CursorR);
    const QColor aqua(0x00, 0xFF, 0xFF);
    p.fillRect(cell, Qt::black);
    p.setPen(QPen(aqua, 2));
    p.drawRect(cell.adjusted(1, 1, -1, -1));
    if (liveT_ == state_.CursorT && liveR_ == state_.CursorR) {
        const QColor yellow(0xFF, 0xFF, 0x00);
        const QRectF inside = cell.adjusted(2, 2, -2, -2);
        p.fillRect(QRectF(inside.left(), inside.top(), inside.width(), 3), yellow);
        p.fillRect(QRectF(inside.left(), inside.bottom() - 3, inside.width(), 3), yellow);
    }
    // The value last, so that no frame covers it.
    const QString value = QString::number(
        FuelMapCell(std::span<const std::uint8_t, 256>(map_), state_.CursorT, state_.CursorR));
    p.setFont(CursorFont(cellFont, value, cell.width() - 6));
    p.setPen(aqua);
    p.drawText(cell, Qt::AlignCenter | Qt::TextDontClip, value);
}

// Bold where the value fits inside the cursor frame in bold; in a narrow column the cell's own
// weight, and smaller still where even that would reach the frame.
QFont TMapTable::CursorFont(const QFont& cellFont, const QString& value, double room) {
    QFont bold = cellFont;
    bold.setBold(true);
    if (QFontMetricsF(bold).horizontalAdvance(value) <= room)
        return bold;
    QFont plain = cellFont;
    const double wide = QFontMetricsF(plain).horizontalAdvance(value);
    if (wide > room && room > 0)
        plain.setPointSizeF(plain.pointSizeF() * room / wide);
    return plain;
}

bool TMapTable::InBlock(int t, int r) const {
    return state_.CursorVisible && state_.Selection.Count() > 1 && state_.Selection.Contains(t, r);
}

void TMapTable::PaintSelection(QPainter& p) const {
    const TCellRect& block = state_.Selection;
    if (!InBlock(block.TLow, block.RLow))
        return;
    PaintBlockFrame(p, CellRect(block.THigh, block.RLow).united(CellRect(block.TLow, block.RHigh)),
                    *this);
}

std::pair<int, int> TMapTable::CellAt(const QPointF& at) const {
    for (int t = 0; t < 16; ++t)
        for (int r = 0; r < 16; ++r)
            if (CellRect(t, r).contains(at))
                return {t, r};
    return {-1, -1};
}

// The right button opens the block menu; the page decides where the cursor goes first.
void TMapTable::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (const auto cell = CellAt(event->position()); cell.first >= 0)
            Q_EMIT CellRightPressed(cell.first, cell.second);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = dragged_ = CellAt(event->position());
    if (pressed_.first >= 0)
        Q_EMIT CellClicked(pressed_.first, pressed_.second);
}

void TMapTable::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || pressed_.first < 0)
        return;
    const auto cell = CellAt(event->position());
    if (cell.first < 0 || cell == dragged_)
        return;
    dragged_ = cell;
    Q_EMIT CellsDragged(pressed_.first, pressed_.second, cell.first, cell.second);
}

}  // namespace zv::gui
