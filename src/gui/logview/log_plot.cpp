#include "logview/log_plot.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <vector>

#include "pages/view_text.h"

namespace zv::gui {

namespace {

constexpr double kLeftMargin = 52.0;  // the axis numbers
constexpr double kRightMargin = 8.0;
constexpr int kNoteRows = 2;
constexpr double kNoteRow = 16.0;
constexpr double kNoteBand = kNoteRows * kNoteRow;  // note labels above the strips
constexpr double kTimeBand = 20.0;  // time labels below
constexpr double kStripGap = 4.0;
constexpr int kDragThreshold = 3;
constexpr double kWheelStep = 1.25;  // zoom of one wheel notch
constexpr double kNoteLabelWidth = 160.0;
constexpr double kNoteLabelGap = 4.0;
constexpr double kNoteLabelInset = 2.0;  // text beside its marker line, not on it

const QColor kTraceColours[] = {QColor(0x1f, 0x5f, 0xbf), QColor(0x2c, 0x8c, 0x2c),
                                QColor(0xb0, 0x60, 0x00), QColor(0xc0, 0x20, 0x20),
                                QColor(0x70, 0x30, 0xa0), QColor(0x00, 0x80, 0x80)};
const QColor kTargetColour(0xd0, 0x00, 0xd0);
const QColor kCursorColour(0xe0, 0x20, 0x20);
const QColor kNoteColour(0x80, 0x80, 0x80);

// A readable tick step for a span: 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min ...
double TickStep(double span, double width) {
    const double wanted = span / std::max(1.0, width / 90.0);
    for (double step : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0})
        if (step >= wanted)
            return step;
    return 3600.0 * std::ceil(wanted / 3600.0);
}

QString AxisNumber(double v) {
    return std::fabs(v - std::round(v)) < 1e-9 ? QString::number(static_cast<long long>(std::round(v)))
                                               : QString::number(v, 'f', 1);
}

}  // namespace

QString LogClock(double seconds, TLogClockForm form) {
    return QString::fromStdString(LogClockText(seconds, form));
}

TLogPlot::TLogPlot(TLogViewModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLogPlot::SetTargetName(const std::string& name) {
    targetName_ = name;
    update();
}

QSize TLogPlot::minimumSizeHint() const {
    return {320, 200};
}

QRectF TLogPlot::PlotArea() const {
    return QRectF(kLeftMargin, kNoteBand, std::max(1.0, width() - kLeftMargin - kRightMargin),
                  std::max(1.0, height() - kNoteBand - kTimeBand));
}

double TLogPlot::TimeAt(double x) const {
    const QRectF a = PlotArea();
    return model_.ViewStart() + (x - a.left()) / a.width() * (model_.ViewEnd() - model_.ViewStart());
}

double TLogPlot::XOf(double time) const {
    const QRectF a = PlotArea();
    const double span = model_.ViewEnd() - model_.ViewStart();
    return a.left() + (span > 0.0 ? (time - model_.ViewStart()) / span * a.width() : 0.0);
}

std::string TLogPlot::NameOf(std::size_t channel) const {
    return model_.Channels()[channel].Target ? targetName_ : model_.Channels()[channel].Name;
}

// The target is drawn into the strip of the measured AFR; every other channel has its own.
std::vector<TLogPlot::TStrip> TLogPlot::Strips() const {
    std::vector<std::size_t> own;
    for (std::size_t c : model_.Shown()) {
        const bool overlaid = model_.Channels()[c].Target && !own.empty() &&
                              model_.Channels()[own.back()].Unit == "AFR";
        if (!overlaid)
            own.push_back(c);
    }
    std::vector<TStrip> strips;
    const QRectF a = PlotArea();
    const double h = own.empty() ? 0.0 : (a.height() - kStripGap * double(own.size() - 1)) / double(own.size());
    for (std::size_t i = 0; i < own.size(); ++i)
        strips.push_back({own[i], QRectF(a.left(), a.top() + double(i) * (h + kStripGap), a.width(), h)});
    return strips;
}

void TLogPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.fillRect(PlotArea(), palette().base());
    const std::vector<TStrip> strips = Strips();
    for (std::size_t i = 0; i < strips.size(); ++i)
        PaintStrip(p, strips[i]);
    for (std::size_t c : model_.Shown()) {
        if (!model_.Channels()[c].Target)
            continue;
        for (const TStrip& s : strips) {
            if (model_.Channels()[s.Channel].Unit == "AFR" && s.Channel != c)
                PaintTrace(p, c, s.Area, kTargetColour, Qt::DashLine);
        }
    }
    PaintNotes(p);
    PaintTimeAxis(p);
    const double x = XOf(model_.CursorTime());
    if (x >= PlotArea().left() && x <= PlotArea().right()) {
        p.setPen(QPen(kCursorColour, 1.5));
        p.drawLine(QPointF(x, PlotArea().top()), QPointF(x, PlotArea().bottom()));
    }
}

void TLogPlot::PaintStrip(QPainter& p, const TStrip& strip) const {
    const TLogChannel& c = model_.Channels()[strip.Channel];
    const QRectF& a = strip.Area;
    p.setPen(QPen(palette().mid().color(), 1.0));
    p.drawRect(a);
    const QColor colour =
        c.Target ? kTargetColour : kTraceColours[strip.Channel % std::size(kTraceColours)];
    PaintTrace(p, strip.Channel, a, colour, Qt::SolidLine);
    // Name and unit inside the strip's top left corner, over a wash that keeps them readable
    // above the trace; the axis ends in the margin.
    const QFontMetricsF fm(font());
    QString title = Q(NameOf(strip.Channel));
    const QString unit = Q(c.Unit);
    if (!unit.isEmpty() && !title.endsWith(QStringLiteral("[%1]").arg(unit)))
        title += QStringLiteral(" [%1]").arg(unit);
    const QRectF label(a.left() + 3, a.top() + 1, fm.horizontalAdvance(title) + 6, fm.height());
    QColor wash = palette().base().color();
    wash.setAlpha(200);
    p.fillRect(label, wash);
    p.setPen(colour);
    p.drawText(label, Qt::AlignCenter, title);
    p.setPen(palette().text().color());
    if (a.height() >= 2.0 * fm.height()) {
        p.drawText(QRectF(0, a.top(), kLeftMargin - 4, fm.height()), Qt::AlignRight | Qt::AlignTop,
                   AxisNumber(c.High));
        p.drawText(QRectF(0, a.bottom() - fm.height(), kLeftMargin - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignBottom, AxisNumber(c.Low));
    }
}

// Every line of the span goes into the path, however many share a pixel column, so that a
// spike stays visible at every zoom.
void TLogPlot::PaintTrace(QPainter& p, std::size_t channel, const QRectF& area,
                          const QColor& colour, Qt::PenStyle style) const {
    const TLogChannel& c = model_.Channels()[channel];
    const std::size_t count = model_.Data().LineCount();
    if (count == 0)
        return;
    const std::size_t first = model_.LineAt(model_.ViewStart()).value_or(0);
    const std::size_t last = std::min(count - 1, model_.LineAt(model_.ViewEnd()).value_or(0) + 1);
    const auto y = [&](double v) {
        const double f = (v - c.Low) / (c.High - c.Low);
        return area.bottom() - std::clamp(f, -0.02, 1.02) * area.height();
    };
    QPainterPath path;
    bool open = false;
    for (std::size_t line = first; line <= last; ++line) {
        const std::optional<double> v = model_.Value(channel, line);
        if (!v) {
            open = false;  // a gap where there is no value
            continue;
        }
        const QPointF at(XOf(model_.Data().Time(line)), y(*v));
        if (open)
            path.lineTo(at);
        else
            path.moveTo(at);
        open = true;
    }
    p.save();
    p.setClipRect(area.adjusted(0, -1, 0, 1));
    p.setPen(QPen(colour, 1.2, style));
    p.drawPath(path);
    p.restore();
}

void TLogPlot::PaintTimeAxis(QPainter& p) const {
    const QRectF a = PlotArea();
    const double span = model_.ViewEnd() - model_.ViewStart();
    const double step = TickStep(span, a.width());
    const TLogClockForm form = LogClockForm(model_.LogEnd());
    p.setPen(palette().text().color());
    for (double t = std::ceil(model_.ViewStart() / step) * step; t <= model_.ViewEnd() + 1e-9;
         t += step) {
        const double x = XOf(t);
        p.drawLine(QPointF(x, a.bottom()), QPointF(x, a.bottom() + 4));
        p.drawText(QRectF(x - 40, a.bottom() + 4, 80, kTimeBand - 4), Qt::AlignHCenter | Qt::AlignTop,
                   LogClock(t, form));
    }
}

TLogPlot::TLaidNotes TLogPlot::LayOutNotes() const {
    const QFontMetricsF fm(font());
    TLaidNotes laid;
    laid.Notes = model_.VisibleNotes();
    for (const TLogNote* note : laid.Notes) {
        laid.Texts.push_back(Q(note->Text).section(QLatin1Char('\n'), 0, 0));
        laid.Labels.push_back(
            {XOf(note->Time), fm.horizontalAdvance(laid.Texts.back()) + kNoteLabelInset});
    }
    laid.Places = LayOutNoteLabels(laid.Labels, kNoteRows, kNoteLabelWidth, kNoteLabelGap);
    return laid;
}

QRectF TLogPlot::LabelRect(const TLaidNotes& laid, std::size_t i) const {
    return QRectF(laid.Labels[i].X + kNoteLabelInset, laid.Places[i].Row * kNoteRow,
                  std::max(0.0, laid.Places[i].Width - kNoteLabelInset), kNoteRow);
}

void TLogPlot::PaintNotes(QPainter& p) const {
    const QRectF a = PlotArea();
    const QFontMetricsF fm(font());
    const TLaidNotes laid = LayOutNotes();
    for (std::size_t i = 0; i < laid.Notes.size(); ++i) {
        const double x = laid.Labels[i].X;
        p.setPen(QPen(kNoteColour, 1.0, Qt::DotLine));
        p.drawLine(QPointF(x, a.top()), QPointF(x, a.bottom()));
        const QRectF rect = LabelRect(laid, i);
        if (rect.width() <= 0.0)
            continue;
        p.setPen(palette().text().color());
        p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(laid.Texts[i], Qt::ElideRight, rect.width()));
    }
}

const TLogNote* TLogPlot::NoteNear(QPointF at) const {
    const TLaidNotes laid = LayOutNotes();
    for (std::size_t i = 0; i < laid.Notes.size(); ++i) {
        if (LabelRect(laid, i).contains(at))
            return laid.Notes[i];
    }
    for (std::size_t i = 0; i < laid.Notes.size(); ++i) {
        if (std::fabs(laid.Labels[i].X - at.x()) <= 4.0)
            return laid.Notes[i];
    }
    return nullptr;
}

void TLogPlot::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    model_.Zoom(TimeAt(event->position().x()), std::pow(kWheelStep, notches));
    update();
    Q_EMIT Changed();
    event->accept();
}

void TLogPlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressAt_ = event->position().toPoint();
    pressViewStart_ = model_.ViewStart();
    dragging_ = false;
    pressed_ = true;
}

void TLogPlot::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (pressed_ && (event->buttons() & Qt::LeftButton)) {
        const int dx = at.toPoint().x() - pressAt_.x();
        dragging_ = dragging_ || std::abs(dx) > kDragThreshold;
        if (dragging_) {
            const double perPixel = (model_.ViewEnd() - model_.ViewStart()) / PlotArea().width();
            model_.Pan(pressViewStart_ - dx * perPixel - model_.ViewStart());
            update();
            Q_EMIT Changed();
        }
        return;
    }
    if (const TLogNote* note = NoteNear(at))
        QToolTip::showText(event->globalPosition().toPoint(), Q(note->Text), this);
    else
        QToolTip::hideText();
}

void TLogPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    if (!dragging_) {
        model_.SetCursorTime(TimeAt(event->position().x()));
        update();
        Q_EMIT Changed();
    }
}

}  // namespace zv::gui
