#include "widgets/m3d_chart.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/look.h"

namespace zv::gui {

namespace {

constexpr int kTopValue = 255;
constexpr double kClickRadius = 14.0;  // pixels around a grid point

bool SameMarker(const TMapChartState& a, const TMapChartState& b) {
    return a.MarkerVisible == b.MarkerVisible && a.MarkerT == b.MarkerT && a.MarkerR == b.MarkerR &&
           a.MarkerHeight == b.MarkerHeight;
}

// Everything but the marker.
bool SameChart(const TMapChartState& a, const TMapChartState& b) {
    const TMapChartColours& x = a.Colours;
    const TMapChartColours& y = b.Colours;
    return a.ThrottleSites == b.ThrottleSites && a.RpmSites == b.RpmSites &&
           a.ThrottleLabels == b.ThrottleLabels && a.RpmLabels == b.RpmLabels &&
           a.ThrottleUnit == b.ThrottleUnit && a.RpmUnit == b.RpmUnit &&
           a.CursorVisible == b.CursorVisible && a.CursorT == b.CursorT && a.CursorR == b.CursorR &&
           x.Background == y.Background && x.MapLines == y.MapLines &&
           x.FrameLines == y.FrameLines && x.XScale == y.XScale &&
           x.XHighLightScale == y.XHighLightScale && x.ZScale == y.ZScale &&
           x.ZHighLightScale == y.ZHighLightScale;
}

}  // namespace

TM3DChart1::TM3DChart1(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void TM3DChart1::SetState(const TMapChartState& state) {
    std::array<std::uint8_t, 256> map{};
    if (state.Map)
        std::memcpy(map.data(), state.Map, map.size());
    const bool sameChart = map == map_ && SameChart(state, state_);
    if (sameChart && SameMarker(state, state_))
        return;
    cacheValid_ = cacheValid_ && sameChart;
    map_ = map;
    state_ = state;
    state_.Map = nullptr;  // the copy above is what the chart paints
    update();
}

std::uint8_t TM3DChart1::Cell(int t, int r) const {
    return FuelMapCell(std::span<const std::uint8_t, 256>(map_), t, r);
}

// The floor diamond takes the lower part of the widget, the value scale the upper part; the
// margins leave room for the site numbers.
TM3DChart1::TProjection TM3DChart1::Projection() const {
    const QFontMetricsF fm(font());
    const double side = fm.horizontalAdvance(QStringLiteral("10000")) + fm.height();
    const double top = fm.height() * 1.5;
    const double bottom = fm.height() * 2.5;
    TProjection pr;
    pr.Dx = std::max(1.0, (width() - 2 * side) / 30.0);
    const double usable = std::max(10.0, height() - top - bottom);
    pr.Dy = std::min(pr.Dx * 0.5, usable * 0.4 / 30.0);
    pr.Hs = (usable - 30.0 * pr.Dy) / kTopValue;
    pr.Origin = QPointF(width() / 2.0, height() - bottom);
    return pr;
}

void TM3DChart1::resizeEvent(QResizeEvent*) {
    cacheValid_ = false;
}

void TM3DChart1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        cacheValid_ = false;
    QWidget::changeEvent(event);
}

void TM3DChart1::paintEvent(QPaintEvent*) {
    const TProjection pr = Projection();
    const qreal ratio = devicePixelRatioF();
    if (!cacheValid_ || cache_.size() != size() * ratio) {
        cache_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        cache_.setDevicePixelRatio(ratio);
        cache_.fill(ColourOf(state_.Colours.Background));
        QPainter c(&cache_);
        c.setFont(font());
        c.setRenderHint(QPainter::Antialiasing);
        PaintFrame(c, pr);
        PaintMesh(c, pr);
        PaintAxes(c, pr);
        if (state_.CursorVisible)
            PaintCursor(c, pr);
        cacheValid_ = true;
    }
    QPainter p(this);
    p.drawImage(0, 0, cache_);
    p.setRenderHint(QPainter::Antialiasing);
    if (state_.MarkerVisible)
        PaintMarker(p, pr);
}

// The floor, the two back walls' edges and the value scale on the left wall.
void TM3DChart1::PaintFrame(QPainter& p, const TProjection& pr) const {
    const QColor frame = ColourOf(state_.Colours.FrameLines);
    p.setPen(QPen(frame, 1.0));
    const QPointF floor[] = {pr.At(0, 0, 0), pr.At(15, 0, 0), pr.At(15, 15, 0), pr.At(0, 15, 0)};
    p.drawPolygon(floor, 4);
    for (const auto& [t, r] : {std::pair{15, 0}, std::pair{15, 15}, std::pair{0, 15}})
        p.drawLine(pr.At(t, r, 0), pr.At(t, r, kTopValue));
    p.drawLine(pr.At(15, 0, kTopValue), pr.At(15, 15, kTopValue));
    p.drawLine(pr.At(15, 15, kTopValue), pr.At(0, 15, kTopValue));
    QPen dotted(frame, 1.0, Qt::DotLine);
    const QFontMetricsF fm(font());
    for (int v = 64; v <= kTopValue; v += 64) {
        const int h = std::min(v, kTopValue);
        p.setPen(dotted);
        p.drawLine(pr.At(15, 0, h), pr.At(15, 15, h));
        p.drawLine(pr.At(15, 15, h), pr.At(0, 15, h));
        p.setPen(frame);
        const QPointF at = pr.At(15, 0, h);
        p.drawText(at + QPointF(-fm.horizontalAdvance(QString::number(h)) - 4, fm.ascent() / 2),
                   QString::number(h));
    }
}

// Cells from the back to the front, each filled with the background: nearer cells hide what
// lies behind them, so the mesh reads as a surface.
void TM3DChart1::PaintMesh(QPainter& p, const TProjection& pr) const {
    const QColor background = ColourOf(state_.Colours.Background);
    p.setPen(QPen(ColourOf(state_.Colours.MapLines), 1.2));
    p.setBrush(background);
    for (int sum = 28; sum >= 0; --sum) {
        for (int t = std::min(14, sum); t >= 0 && sum - t <= 14; --t) {
            const int r = sum - t;
            const QPointF quad[] = {pr.At(t, r, Cell(t, r)), pr.At(t + 1, r, Cell(t + 1, r)),
                                    pr.At(t + 1, r + 1, Cell(t + 1, r + 1)),
                                    pr.At(t, r + 1, Cell(t, r + 1))};
            p.drawPolygon(quad, 4);
        }
    }
    p.setBrush(Qt::NoBrush);
}

void TM3DChart1::PaintAxes(QPainter& p, const TProjection& pr) const {
    const QFontMetricsF fm(font());
    QFont bold = font();
    bold.setBold(true);
    const TMapChartColours& c = state_.Colours;
    // Numbers that would run into each other are thinned out; the cursor's numbers always show.
    const double spacing = std::hypot(pr.Dx, pr.Dy);
    const int step = spacing >= fm.height() * 1.05 ? 1 : spacing * 2 >= fm.height() * 1.05 ? 2 : 4;
    for (int i = 0; i < 16; ++i) {
        const bool tCursor = state_.CursorVisible && i == state_.CursorT;
        const bool rCursor = state_.CursorVisible && i == state_.CursorR;
        const bool shown = i % step == 0 || i == 15;
        // Throttle numbers left of the front-left edge, rpm numbers right of the front-right edge.
        const QString tText = QString::number(state_.ThrottleLabels[static_cast<std::size_t>(i)]);
        const QString rText = QString::number(state_.RpmLabels[static_cast<std::size_t>(i)]);
        if (shown || tCursor) {
            p.setFont(tCursor ? bold : font());
            p.setPen(ColourOf(tCursor ? c.XHighLightScale : c.XScale));
            const QPointF tAt = pr.At(i, 0, 0) + QPointF(-6, fm.ascent() * 0.9);
            p.drawText(tAt - QPointF(QFontMetricsF(p.font()).horizontalAdvance(tText), 0), tText);
        }
        if (shown || rCursor) {
            p.setFont(rCursor ? bold : font());
            p.setPen(ColourOf(rCursor ? c.ZHighLightScale : c.ZScale));
            p.drawText(pr.At(0, i, 0) + QPointF(6, fm.ascent() * 0.9), rText);
        }
    }
    p.setFont(bold);
    p.setPen(ColourOf(c.XScale));
    const QString tUnit = QString::fromStdString(state_.ThrottleUnit);
    p.drawText(pr.At(15, 0, 0) + QPointF(-QFontMetricsF(bold).horizontalAdvance(tUnit) - 6, -6),
               tUnit);
    p.setPen(ColourOf(c.ZScale));
    p.drawText(pr.At(0, 15, 0) + QPointF(6, -6), QString::fromStdString(state_.RpmUnit));
    p.setFont(font());
}

void TM3DChart1::PaintCursor(QPainter& p, const TProjection& pr) const {
    const int t = state_.CursorT;
    const int r = state_.CursorR;
    const int value = Cell(t, r);
    const QColor aqua(0x00, 0xFF, 0xFF);
    const QPointF at = pr.At(t, r, value);
    p.setPen(QPen(aqua, 1.0, Qt::DashLine));
    p.drawLine(pr.At(t, r, 0), at);
    p.setPen(QPen(aqua, 2.0));
    const double box = std::max(4.0, pr.Dx * 0.35);
    p.drawRect(QRectF(at.x() - box, at.y() - box, 2 * box, 2 * box));
    QFont big = font();
    big.setBold(true);
    big.setPointSizeF(font().pointSizeF() * 1.4);
    p.setFont(big);
    const QString text = QString::number(value);
    const QFontMetricsF fm(big);
    const QRectF label(at.x() + box + 4, at.y() - box - fm.height(), fm.horizontalAdvance(text) + 8,
                       fm.height());
    p.fillRect(label, ColourOf(state_.Colours.Background));
    p.drawText(label, Qt::AlignCenter, text);
    p.setFont(font());
}

void TM3DChart1::PaintMarker(QPainter& p, const TProjection& pr) const {
    const QColor yellow(0xFF, 0xFF, 0x00);
    const QPointF at = pr.At(state_.MarkerT, state_.MarkerR, state_.MarkerHeight);
    p.setPen(QPen(yellow, 1.5));
    p.drawLine(pr.At(state_.MarkerT, state_.MarkerR, 0), at);
    p.setBrush(yellow);
    const double radius = std::max(4.0, pr.Dx * 0.3);
    p.drawEllipse(at, radius, radius);
    p.setBrush(Qt::NoBrush);
}

void TM3DChart1::mousePressEvent(QMouseEvent* event) {
    const TProjection pr = Projection();
    const QPointF click = event->position();
    double best = kClickRadius * kClickRadius;
    int bestT = -1, bestR = -1;
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const QPointF d = pr.At(t, r, Cell(t, r)) - click;
            const double dist = d.x() * d.x() + d.y() * d.y();
            if (dist < best) {
                best = dist;
                bestT = t;
                bestR = r;
            }
        }
    }
    if (bestT >= 0)
        Q_EMIT CellClicked(bestT, bestR);
}

}  // namespace zv::gui
