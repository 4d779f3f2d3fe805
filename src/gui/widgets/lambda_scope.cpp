#include "widgets/lambda_scope.h"

#include <QPainter>

#include "app/look.h"

namespace zv::gui {

TLambdaScope::TLambdaScope(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(60);
}

void TLambdaScope::resizeEvent(QResizeEvent*) {
    Clear();
}

void TLambdaScope::Clear() {
    image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image_.fill(Qt::black);
    QPainter p(&image_);
    const TTraceGrid grid = TraceGrid(height());
    const QColor colour = ColourOf(grid.Colour);
    p.setPen(QPen(colour, 1, Qt::DotLine));
    p.drawLine(0, grid.DottedTop, width(), grid.DottedTop);
    p.drawLine(0, grid.DottedBottom, width(), grid.DottedBottom);
    p.setPen(QPen(colour, 1));
    p.drawLine(0, grid.Solid, width(), grid.Solid);
}

void TLambdaScope::Apply(const TTraceDraw& draw) {
    if (draw.Clear)
        Clear();
    if (draw.Lines.empty() && !draw.Clear)
        return;
    QPainter p(&image_);
    for (const TTraceLine& line : draw.Lines) {
        p.setPen(ColourOf(line.Colour));
        p.drawLine(line.X0, line.Y0, line.X1, line.Y1);
    }
    update();
}

void TLambdaScope::SetShapes(const TTraceShape& controller, const TTraceShape& wideband) {
    auto same = [](const TTraceShape& a, const TTraceShape& b) {
        return a.Visible == b.Visible && a.Left == b.Left && a.Top == b.Top;
    };
    if (same(controller, controller_) && same(wideband, wideband_))
        return;
    controller_ = controller;
    wideband_ = wideband;
    update();
}

void TLambdaScope::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, image_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Base), 1.5));
    for (const TTraceShape* shape : {&controller_, &wideband_}) {
        if (shape->Visible && (shape->Left != 0 || shape->Top != 0))
            p.drawEllipse(QRectF(shape->Left, shape->Top + 3, 8, 8));
    }
}

}  // namespace zv::gui
