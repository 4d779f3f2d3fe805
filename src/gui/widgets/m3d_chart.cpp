#include "widgets/m3d_chart.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "app/look.h"

namespace zv::gui {

namespace {

constexpr int kTopValue = 255;
constexpr double kClickRadius = 14.0;  // pixels around a grid point

bool SameMarker(const TMapChartState& a, const TMapChartState& b) {
    return a.MarkerVisible == b.MarkerVisible && a.MarkerT == b.MarkerT && a.MarkerR == b.MarkerR &&
           a.MarkerHeight == b.MarkerHeight;
}

// What the mesh picture depends on besides the map: its colours, and the unit texts that set
// the margins.
bool SameMeshLook(const TMapChartState& a, const TMapChartState& b) {
    const TMapChartColours& x = a.Colours;
    const TMapChartColours& y = b.Colours;
    return x.Background == y.Background && x.MapLines == y.MapLines &&
           x.FrameLines == y.FrameLines && a.ThrottleUnit == b.ThrottleUnit &&
           a.RpmUnit == b.RpmUnit;
}

// What is drawn over the mesh picture: the axes and the cursor.
bool SameOverlay(const TMapChartState& a, const TMapChartState& b) {
    const TMapChartColours& x = a.Colours;
    const TMapChartColours& y = b.Colours;
    return a.ThrottleSites == b.ThrottleSites && a.RpmSites == b.RpmSites &&
           a.ThrottleLabels == b.ThrottleLabels && a.RpmLabels == b.RpmLabels &&
           a.CursorVisible == b.CursorVisible && a.CursorT == b.CursorT && a.CursorR == b.CursorR &&
           x.XScale == y.XScale && x.XHighLightScale == y.XHighLightScale && x.ZScale == y.ZScale &&
           x.ZHighLightScale == y.ZHighLightScale;
}

// Past this many changed cells (a new data set, a whole map read) the mesh is painted anew.
constexpr int kPartialRepaintCells = 16;

// The order in which site numbers claim their place: the ends first, then halves, quarters and
// so on, so that numbers thinned out for lack of room stay evenly spread.
constexpr std::array<int, 16> kLabelOrder = {0, 15, 8, 4, 12, 2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13};

QRectF Bounds(const QPointF* points, std::size_t count) {
    double left = points[0].x(), right = left, top = points[0].y(), bottom = top;
    for (std::size_t i = 1; i < count; ++i) {
        left = std::min(left, points[i].x());
        right = std::max(right, points[i].x());
        top = std::min(top, points[i].y());
        bottom = std::max(bottom, points[i].y());
    }
    return {QPointF(left, top), QPointF(right, bottom)};
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
    const bool sameLook = SameMeshLook(state, state_);
    if (map == map_ && sameLook && SameOverlay(state, state_) && SameMarker(state, state_))
        return;
    const std::array<std::uint8_t, 256> before = map_;
    map_ = map;
    state_ = state;
    state_.Map = nullptr;  // the copy above is what the chart paints
    if (!sameLook) {
        meshValid_ = false;
    } else if (meshValid_ && map != before) {
        const TProjection pr = Projection();
        const auto old = std::span<const std::uint8_t, 256>(before);
        int changed = 0;
        for (int t = 0; t < 16; ++t) {
            for (int r = 0; r < 16; ++r) {
                if (FuelMapCell(old, t, r) != Cell(t, r)) {
                    meshDirty_ = meshDirty_.united(CellArea(pr, t, r, FuelMapCell(old, t, r)));
                    ++changed;
                }
            }
        }
        meshValid_ = changed <= kPartialRepaintCells;
    }
    update();
}

std::uint8_t TM3DChart1::Cell(int t, int r) const {
    return FuelMapCell(std::span<const std::uint8_t, 256>(map_), t, r);
}

// The cell's four quads with its old and its new height, and a margin for the lines' edges.
QRectF TM3DChart1::CellArea(const TProjection& pr, int t, int r, int before) const {
    std::vector<QPointF> points{pr.At(t, r, before)};
    for (int nt = std::max(0, t - 1); nt <= std::min(15, t + 1); ++nt) {
        for (int nr = std::max(0, r - 1); nr <= std::min(15, r + 1); ++nr)
            points.push_back(pr.At(nt, nr, Cell(nt, nr)));
    }
    return Bounds(points.data(), points.size()).adjusted(-3, -3, 3, 3);
}

// The floor diamond takes the lower part of the widget, the value scale the upper part; the
// side margins leave room for the site numbers and the bold unit texts beside the corners.
TM3DChart1::TProjection TM3DChart1::Projection() const {
    const QFontMetricsF fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetricsF strong(bold);
    const double widest =
        std::max({fm.horizontalAdvance(QStringLiteral("10000")),
                  strong.horizontalAdvance(QString::fromStdString(state_.ThrottleUnit)),
                  strong.horizontalAdvance(QString::fromStdString(state_.RpmUnit))});
    const double side = widest + fm.height();
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
    meshValid_ = false;
}

void TM3DChart1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        meshValid_ = false;
    QWidget::changeEvent(event);
}

void TM3DChart1::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (!meshValid_ || mesh_.size() != size() * ratio) {
        if (mesh_.size() != size() * ratio) {
            mesh_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
            mesh_.setDevicePixelRatio(ratio);
        }
        PaintMeshPicture(QRectF(rect()));
        meshValid_ = true;
    } else if (!meshDirty_.isEmpty()) {
        PaintMeshPicture(meshDirty_);
    }
    meshDirty_ = QRectF();
    const TProjection pr = Projection();
    QPainter p(this);
    p.drawImage(0, 0, mesh_);
    p.setRenderHint(QPainter::Antialiasing);
    PaintAxes(p, pr);
    if (state_.CursorVisible)
        PaintCursor(p, pr);
    if (state_.MarkerVisible)
        PaintMarker(p, pr);
}

// Paints the background, frame and mesh inside `area` of the mesh picture; what lies outside
// stays as it was.
void TM3DChart1::PaintMeshPicture(const QRectF& area) {
    const TProjection pr = Projection();
    const QRect pixels = area.toAlignedRect().intersected(rect());
    QPainter c(&mesh_);
    c.setClipRect(pixels);
    c.fillRect(pixels, ColourOf(state_.Colours.Background));
    c.setFont(font());
    c.setRenderHint(QPainter::Antialiasing);
    PaintFrame(c, pr);
    PaintMesh(c, pr, QRectF(pixels));
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
    const QPen dotted(frame, 1.0, Qt::DotLine);
    const QFontMetricsF fm(font());
    for (const int h : {64, 128, 192, kTopValue}) {
        if (h < kTopValue) {
            p.setPen(dotted);
            p.drawLine(pr.At(15, 0, h), pr.At(15, 15, h));
            p.drawLine(pr.At(15, 15, h), pr.At(0, 15, h));
        }
        p.setPen(frame);
        const QString text = QString::number(h);
        const QPointF at = pr.At(15, 0, h);
        p.drawText(at + QPointF(-fm.horizontalAdvance(text) - 4, fm.ascent() / 2), text);
    }
}

// Cells from the back to the front, each filled with the background: nearer cells hide what
// lies behind them, so the mesh reads as a surface. The fill needs no smoothing (the lines
// cover its edges), and lines one pixel wide take the painter's fast path.
void TM3DChart1::PaintMesh(QPainter& p, const TProjection& pr, const QRectF& area) const {
    const QColor background = ColourOf(state_.Colours.Background);
    const QPen line(ColourOf(state_.Colours.MapLines), 1.0);
    for (int sum = 28; sum >= 0; --sum) {
        for (int t = std::min(14, sum); t >= 0 && sum - t <= 14; --t) {
            const int r = sum - t;
            const QPointF quad[] = {pr.At(t, r, Cell(t, r)), pr.At(t + 1, r, Cell(t + 1, r)),
                                    pr.At(t + 1, r + 1, Cell(t + 1, r + 1)),
                                    pr.At(t, r + 1, Cell(t, r + 1)), pr.At(t, r, Cell(t, r))};
            if (!Bounds(quad, 4).adjusted(-2, -2, 2, 2).intersects(area))
                continue;
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::NoPen);
            p.setBrush(background);
            p.drawConvexPolygon(quad, 4);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(line);
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(quad, 5);
        }
    }
}

// Site numbers along the two front edges, throttle to the left and rpm to the right, with
// their unit texts at the far corners. Numbers that would run into one already drawn are left
// out, so they never overlap at any size; the cursor's numbers always show.
void TM3DChart1::PaintAxes(QPainter& p, const TProjection& pr) const {
    QFont bold = font();
    bold.setBold(true);
    const QFontMetricsF normal(font());
    const QFontMetricsF strong(bold);
    const TMapChartColours& c = state_.Colours;
    std::vector<QRectF> taken;
    // Draws `text` with its left end (or right end when `leftOf`) at x, its top at y.
    auto place = [&](const QString& text, double x, double y, bool leftOf, bool isBold,
                     std::uint32_t colour) {
        const QFontMetricsF& fm = isBold ? strong : normal;
        const double w = fm.horizontalAdvance(text);
        const QRectF box(leftOf ? x - w : x, y, w, fm.height());
        const QRectF room = box.adjusted(-3, -1, 3, 1);
        for (const QRectF& other : taken) {
            if (other.intersects(room))
                return;
        }
        taken.push_back(box);
        p.setFont(isBold ? bold : font());
        p.setPen(ColourOf(colour));
        p.drawText(QPointF(box.left(), box.top() + fm.ascent()), text);
    };
    const double below = normal.ascent() * 0.9 - normal.ascent();
    const double above = -6 - strong.ascent();
    place(QString::fromStdString(state_.ThrottleUnit), pr.At(15, 0, 0).x() - 6,
          pr.At(15, 0, 0).y() + above, true, true, c.XScale);
    place(QString::fromStdString(state_.RpmUnit), pr.At(0, 15, 0).x() + 6,
          pr.At(0, 15, 0).y() + above, false, true, c.ZScale);
    auto throttle = [&](int i, bool highlight) {
        const QPointF at = pr.At(i, 0, 0);
        place(QString::number(state_.ThrottleLabels[static_cast<std::size_t>(i)]), at.x() - 6,
              at.y() + below, true, highlight, highlight ? c.XHighLightScale : c.XScale);
    };
    auto rpm = [&](int i, bool highlight) {
        const QPointF at = pr.At(0, i, 0);
        place(QString::number(state_.RpmLabels[static_cast<std::size_t>(i)]), at.x() + 6,
              at.y() + below, false, highlight, highlight ? c.ZHighLightScale : c.ZScale);
    };
    if (state_.CursorVisible) {
        throttle(state_.CursorT, true);
        rpm(state_.CursorR, true);
    }
    for (const int i : kLabelOrder) {
        throttle(i, false);
        rpm(i, false);
    }
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
