#include "print/sheet_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace zv::gui {

namespace {

constexpr double kUnitsPerInch = 2540.0;  // the sheet counts in 0.01 mm
constexpr int kPdfDotsPerInch = 1200;

// The sheet names Arial; where it is missing, a font of the same widths stands in.
QFont SheetFont(const TSheetFont& f, double scale) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(SheetEm(f.Points) * scale))));
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    return font;
}

QPen SheetPen(int width, double scale) {
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, width * scale));
    return pen;
}

}  // namespace

void PaintDataSheet(QPainter& painter, QPagedPaintDevice& device, const TDataSheet& sheet,
                    double dotsPerInch, const TSheetProgress& progress) {
    const double scale = dotsPerInch / kUnitsPerInch;
    const auto at = [scale](int x, int y) { return QPointF(x * scale, y * scale); };
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    int page = 0;
    for (const TSheetItem& item : sheet.Items) {
        for (; page < item.Page; ++page)
            device.newPage();
        switch (item.Kind) {
            case TSheetItemKind::Frame:
                painter.setPen(SheetPen(item.PenWidth, scale));
                painter.setBrush(Qt::white);
                painter.drawRect(QRectF(at(item.X, item.Y), at(item.X2, item.Y2)));
                break;
            case TSheetItemKind::Line:
                painter.setPen(SheetPen(item.PenWidth, scale));
                painter.drawLine(at(item.X, item.Y), at(item.X2, item.Y2));
                break;
            case TSheetItemKind::Text: {
                // The sheet places a text by the top left corner of its cell; Qt by its baseline.
                const QFont font = SheetFont(item.Font, scale);
                painter.setFont(font);
                painter.setPen(Qt::black);
                const QFontMetricsF metrics(font, painter.device());
                const QString text = QString::fromStdString(item.Text);
                const double shift =
                    item.Align == TSheetAlign::Right ? -metrics.horizontalAdvance(text) : 0.0;
                painter.drawText(at(item.X, item.Y) + QPointF(shift, metrics.ascent()), text);
                break;
            }
            case TSheetItemKind::Progress:
                if (progress)
                    progress(item.Progress);
                break;
        }
    }
}

TSheetArea SheetAreaOf(const QPageLayout& layout) {
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return {static_cast<int>(mm.width() * 100), static_cast<int>(mm.height() * 100)};
}

std::string WriteDataSheetPdf(const TDataSheet& sheet, const std::string& path,
                              const TSheetProgress& progress) {
    QPdfWriter writer(QString::fromStdString(path));
    writer.setTitle(QString::fromStdString(sheet.JobTitle));
    writer.setCreator(QStringLiteral("ZEVRIN Control V3.28#00"));
    writer.setResolution(kPdfDotsPerInch);
    // Margins in millimetres around the printable area the sheet was laid out for.
    const double side = (kSheetPaperWidth - sheet.PageWidth) / 200.0;
    const double top = (kSheetPaperHeight - sheet.PageHeight) / 200.0;
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(side, top, side, top), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return path + ": the file cannot be written";
    PaintDataSheet(painter, writer, sheet, writer.resolution(), progress);
    if (!painter.end())
        return path + ": the PDF could not be written";
    return {};
}

}  // namespace zv::gui
