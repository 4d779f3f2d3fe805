#include "logview/log_hit_grid.h"

#include <QPainter>
#include <cmath>

#include "editors/map_sites.h"
#include "pages/view_text.h"

namespace zv::gui {

namespace {

constexpr int kCells = 16;
constexpr double kLegendHeight = 22.0;

// Counts run from white to a deep blue; errors and corrections from blue (rich or taking fuel
// away) through white at 0 to red (lean or adding fuel).
QColor Blend(const QColor& a, const QColor& b, double f) {
    f = std::clamp(f, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * f),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * f),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * f));
}

const QColor kLow(0x3a, 0x6e, 0xd0);
const QColor kZero(0xff, 0xff, 0xff);
const QColor kHigh(0xd8, 0x3a, 0x2a);

}  // namespace

TLogHitGrid::TLogHitGrid(const TLogViewModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {}

void TLogHitGrid::SetMeasure(TLogHitMeasure measure) {
    measure_ = measure;
    update();
}

void TLogHitGrid::SetCorner(const std::string& corner) {
    corner_ = Q(corner);
    update();
}

QSize TLogHitGrid::sizeHint() const {
    return {17 * 52, 17 * 24 + static_cast<int>(kLegendHeight) + 8};
}

QSize TLogHitGrid::minimumSizeHint() const {
    return {17 * 40, 17 * 18 + static_cast<int>(kLegendHeight) + 8};
}

TLogHitGrid::TScale TLogHitGrid::ScaleOf() const {
    TScale scale{0.0, 0.0};
    for (int t = 0; t < kCells; ++t) {
        for (int r = 0; r < kCells; ++r) {
            if (auto v = model_.HitCounts().Value(t, r, measure_))
                scale = {std::min(scale.Low, *v), std::max(scale.High, *v)};
        }
    }
    if (measure_ != TLogHitMeasure::Count) {
        const double reach = std::max({std::fabs(scale.Low), std::fabs(scale.High), 0.1});
        return {-reach, reach};
    }
    return {0.0, std::max(scale.High, 1.0)};
}

QColor TLogHitGrid::ColourOf(double value, const TScale& scale) const {
    if (measure_ == TLogHitMeasure::Count)
        return Blend(kZero, kLow, value / scale.High);
    return value < 0 ? Blend(kZero, kLow, value / scale.Low) : Blend(kZero, kHigh, value / scale.High);
}

QString TLogHitGrid::CellText(const std::optional<double>& value) const {
    if (!value)
        return QString();
    if (measure_ == TLogHitMeasure::Count)
        return QString::number(static_cast<long long>(*value));
    return QString::number(*value, 'f', measure_ == TLogHitMeasure::AfrError ? 2 : 1);
}

void TLogHitGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const TLogHitCounts& hits = model_.HitCounts();
    const double cw = width() / 17.0;
    const double ch = (height() - kLegendHeight - 8) / 17.0;
    const TScale scale = ScaleOf();
    p.setPen(palette().text().color());
    p.drawText(QRectF(0, 0, cw, ch), Qt::AlignCenter, corner_);
    for (int i = 0; i < kCells; ++i) {
        // Rpm rises to the right; the highest throttle site is the top row, as on the map table.
        p.drawText(QRectF(cw * (i + 1), 0, cw, ch), Qt::AlignCenter,
                   QString::number(SiteLabel(hits.Rpm[static_cast<std::size_t>(i)], kRpmScaleMax)));
        p.drawText(QRectF(0, ch * (i + 1), cw, ch), Qt::AlignCenter,
                   QString::number(SiteLabel(hits.Throttle[static_cast<std::size_t>(15 - i)],
                                             kThrottleScaleMax)));
    }
    for (int row = 0; row < kCells; ++row) {
        const int t = 15 - row;
        for (int r = 0; r < kCells; ++r) {
            const QRectF cell(cw * (r + 1), ch * (row + 1), cw, ch);
            const std::optional<double> v = hits.Value(t, r, measure_);
            p.fillRect(cell, v ? ColourOf(*v, scale) : palette().window().color());
            p.setPen(palette().mid().color());
            p.drawRect(cell);
            p.setPen(Qt::black);
            p.drawText(cell, Qt::AlignCenter, CellText(v));
        }
    }
    // Legend: the colour run with the values at its ends, under the cells from the first to the
    // last column.
    const QRectF legend(cw, height() - kLegendHeight - 2, width() - cw - 1, kLegendHeight);
    const int steps = 40;
    for (int i = 0; i < steps; ++i) {
        const double v = scale.Low + (scale.High - scale.Low) * (i + 0.5) / steps;
        p.fillRect(QRectF(legend.left() + legend.width() * i / steps, legend.top(),
                          legend.width() / steps + 1, legend.height()),
                   ColourOf(v, scale));
    }
    p.setPen(palette().mid().color());
    p.drawRect(legend);
    p.setPen(Qt::black);
    const auto number = [&](double v) {
        return measure_ == TLogHitMeasure::Count ? QString::number(std::lround(v))
                                                 : QString::number(v, 'f', 1);
    };
    p.drawText(legend.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, number(scale.Low));
    p.drawText(legend.adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, number(scale.High));
    if (measure_ != TLogHitMeasure::Count)
        p.drawText(legend, Qt::AlignCenter, QStringLiteral("0"));
}

}  // namespace zv::gui
