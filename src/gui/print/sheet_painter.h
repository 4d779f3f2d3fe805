#pragma once

#include <functional>
#include <string>

#include "print/data_sheet.h"

class QPainter;

namespace zv::gui {

// Progress of a printout, 0..100, as the sheet reports it.
using TSheetProgress = std::function<void(int)>;

// Paints the sheet's drawing commands on a device of this resolution; the page's origin is the
// painter's origin.
void PaintDataSheet(QPainter& painter, const TDataSheet& sheet, double dotsPerInch,
                    const TSheetProgress& progress = {});

// Writes the sheet as a one-page A4 PDF. Needs a QGuiApplication. Returns an empty string on
// success, else the reason.
std::string WriteDataSheetPdf(const TDataSheet& sheet, const std::string& path,
                              const TSheetProgress& progress = {});

}  // namespace zv::gui
