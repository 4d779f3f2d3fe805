#pragma once

#include <functional>
#include <string>

#include "print/data_sheet.h"

class QPainter;
class QPageLayout;
class QPagedPaintDevice;

namespace zv::gui {

// Progress of a printout, 0..100, as the sheet reports it.
using TSheetProgress = std::function<void(int)>;

// Paints the sheet's drawing commands on a device of this resolution, turning to the device's
// next page where the sheet's next page begins; the printable area's origin is the painter's.
void PaintDataSheet(QPainter& painter, QPagedPaintDevice& device, const TDataSheet& sheet,
                    double dotsPerInch, const TSheetProgress& progress = {});

// The printable area of a printer's page in the sheet's units (0.01 mm).
struct TSheetArea {
    int Width = 0;
    int Height = 0;
};
TSheetArea SheetAreaOf(const QPageLayout& layout);

// Writes the sheet as an A4 PDF whose margins leave the printable area it was laid out for.
// Needs a QGuiApplication. Returns an empty string on success, else the reason.
std::string WriteDataSheetPdf(const TDataSheet& sheet, const std::string& path,
                              const TSheetProgress& progress = {});

}  // namespace zv::gui
