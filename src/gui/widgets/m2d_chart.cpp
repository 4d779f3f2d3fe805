#include "widgets/m2d_chart.h"

#include "pages/view_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace zv::gui {

namespace {

// Steps of the value axis: the first count that gives round numbers with a line at zero (20
// for 0..100, 50 for -100..100, 0.5 for the factor), five otherwise.
bool Whole(double x) {
    return std::abs(x - std::round(x)) < 1e-9;
}

int ValueTicks(double min, double max, int decimals) {
    const double unit = decimals > 0 ? 0.1 : 1.0;
    for (int n : {5, 4, 6, 8}) {
        const double step = (max - min) / n;
        const bool round =
            Whole(step / unit) && static_cast<long>(std::round(step / unit)) % 5 == 0;
        if (round && (min >= 0.0 || Whole(-min / step)))
            return n;
    }
    return 5;
}

const QColor kCursorColour(0x00, 0xFF, 0xFF);  // aqua
const QColor kMarkerColour(0xFF, 0xFF, 0x00);  // yellow

}  // namespace

TM2DsChart::TM2DsChart(QWidget* parent) : TM2DsChart(false, parent) {}

TM2DsChart::TM2DsChart(bool columns, QWidget* parent) : QWidget(parent), columns_(columns) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void TM2DsChart::SetState(const TCurveChartState& state) {
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 16; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(state.Point(i));
    const TCurveChartState& s = state_;
    const bool same = bytes == shown_ && s.MaxValue == state.MaxValue &&
                      s.InputAxis == state.InputAxis && s.ValueAxis == state.ValueAxis &&
                      s.ValueUnit == state.ValueUnit && s.ValueMin == state.ValueMin &&
                      s.ValueMax == state.ValueMax && s.CursorVisible == state.CursorVisible &&
                      s.Cursor == state.Cursor && s.MarkerVisible == state.MarkerVisible &&
                      s.Marker == state.Marker;
    state_ = state;
    shown_ = bytes;
    if (!same)
        update();
}

QRectF TM2DsChart::PlotRect() const {
    const QFontMetrics fm = fontMetrics();
    const double left = fm.height() * 1.6 + fm.horizontalAdvance(QStringLiteral("-100.0")) + 8;
    const double bottom = fm.height() * 2.6;
    const double top = fm.height() * 0.8;
    const double right = fm.horizontalAdvance(QStringLiteral("100")) * 0.8 + 4;
    return QRectF(left, top, std::max(10.0, width() - left - right),
                  std::max(10.0, height() - top - bottom));
}

double TM2DsChart::PointX(const QRectF& plot, double i) const {
    const double inset = columns_ ? plot.width() / 32.0 : 0.0;
    return plot.left() + inset + (plot.width() - 2 * inset) * i / 15.0;
}

double TM2DsChart::PointOfX(const QRectF& plot, double x) const {
    const double inset = columns_ ? plot.width() / 32.0 : 0.0;
    return (x - plot.left() - inset) / (plot.width() - 2 * inset) * 15.0;
}

double TM2DsChart::YOfValue(const QRectF& plot, double value) const {
    const double span = state_.ValueMax - state_.ValueMin;
    const double f = span != 0.0 ? (value - state_.ValueMin) / span : 0.0;
    return plot.bottom() - std::clamp(f, 0.0, 1.0) * plot.height();
}

// Byte MaxValue reaches the top of the value axis; bytes above it (read with another mode)
// stay at the top.
QPointF TM2DsChart::PointAt(const QRectF& plot, int i) const {
    const double x = PointX(plot, i);
    const double f = state_.MaxValue > 0 ? double(state_.Point(i)) / state_.MaxValue : 0.0;
    return {x, plot.bottom() - std::clamp(f, 0.0, 1.0) * plot.height()};
}

void TM2DsChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = PlotRect();
    DrawAxes(painter, plot);
    DrawCurve(painter, plot);
    if (state_.MarkerVisible) {
        const double x = PointX(plot, state_.Marker * 15.0 / 255.0);
        painter.setPen(QPen(kMarkerColour.darker(115), 3.0));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

void TM2DsChart::DrawAxes(QPainter& painter, const QRectF& plot) const {
    const QPalette& pal = palette();
    const QFontMetrics fm = fontMetrics();
    const int ticks = ValueTicks(state_.ValueMin, state_.ValueMax, state_.ValueDecimals);
    painter.setPen(QPen(pal.color(QPalette::Mid), 1.0));
    for (int k = 0; k <= ticks; ++k) {
        const double y = plot.bottom() - plot.height() * k / ticks;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    for (int i = 0; i < 16; ++i) {
        const double x = PointX(plot, i);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter.setPen(pal.color(QPalette::Text));
    painter.drawRect(plot);
    for (int k = 0; k <= ticks; ++k) {
        const double value = state_.ValueMin + (state_.ValueMax - state_.ValueMin) * k / ticks;
        const double y = plot.bottom() - plot.height() * k / ticks;
        const QString text = QString::number(value, 'f', state_.ValueDecimals);
        painter.drawText(QRectF(0, y - fm.height() / 2.0, plot.left() - 9, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
    for (int i = 0; i < 16; i += 3) {
        const double x = PointX(plot, i);
        const QString text = QString::number(i * 17 * 100 / 255);
        painter.drawText(QRectF(x - 30, plot.bottom() + 2, 60, fm.height()), Qt::AlignCenter, text);
    }
    painter.drawText(
        QRectF(plot.left(), plot.bottom() + fm.height() * 1.3, plot.width(), fm.height()),
        Qt::AlignCenter, Q(state_.InputAxis) + QStringLiteral("  [%]"));
    painter.save();
    painter.translate(fm.height() * 0.2, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), fm.height() * 1.2),
                     Qt::AlignCenter,
                     Q(state_.ValueAxis) + QStringLiteral("  ") + Q(state_.ValueUnit));
    painter.restore();
}

void TM2DsChart::DrawCurve(QPainter& painter, const QRectF& plot) const {
    const QColor line = palette().color(QPalette::Highlight);
    if (columns_) {
        const double w = (PointX(plot, 1) - PointX(plot, 0)) * 0.5;
        for (int i = 0; i < 16; ++i) {
            const QPointF p = PointAt(plot, i);
            const QRectF bar(p.x() - w / 2, p.y(), w, plot.bottom() - p.y());
            painter.fillRect(bar.intersected(plot), line);
        }
    } else {
        QPainterPath path(PointAt(plot, 0));
        for (int i = 1; i < 16; ++i)
            path.lineTo(PointAt(plot, i));
        painter.setPen(QPen(line, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setBrush(line);
        for (int i = 0; i < 16; ++i)
            painter.drawEllipse(PointAt(plot, i), 3.0, 3.0);
    }
    if (state_.CursorVisible) {
        const QPointF p = PointAt(plot, state_.Cursor);
        painter.setPen(QPen(palette().color(QPalette::Text), 1.0, Qt::DashLine));
        painter.drawLine(QPointF(p.x(), plot.top()), QPointF(p.x(), plot.bottom()));
        painter.setPen(QPen(palette().color(QPalette::Text), 1.5));
        painter.setBrush(kCursorColour);
        painter.drawRect(QRectF(p.x() - 6, p.y() - 6, 12, 12));
    }
}

void TM2DsChart::mousePressEvent(QMouseEvent* event) {
    const QRectF plot = PlotRect();
    const double f = PointOfX(plot, event->position().x());
    const int point = static_cast<int>(std::lround(std::clamp(f, 0.0, 15.0)));
    Q_EMIT PointClicked(point);
}

}  // namespace zv::gui
