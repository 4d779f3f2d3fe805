// Print and Printer set-up: the data sheet on the default printer, or as a PDF without one.
#include <QDesktopServices>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QUrl>
#include <cstdio>
#include <ctime>

#include "app/main_form.h"
#include "dialogs/printout_window.h"
#include "online/online_mode.h"
#include "print/data_sheet.h"
#include "print/sheet_painter.h"
#include "widgets/key_control_widget.h"

namespace zv::gui {

namespace {

std::string WithPath(const char* pattern, const std::string& path) {
    std::string text = pattern;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

}  // namespace

QPrinter& TMainForm::Printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

TDataSheet TMainForm::CurrentDataSheet(const TSheetArea& area) const {
    TDataSheetInput input;
    if (area.Width > 0 && area.Height > 0) {
        input.PageWidth = area.Width;
        input.PageHeight = area.Height;
    }
    input.Data = &main_.Data();
    input.Lang = main_.CurrentLanguage();
    input.Connected = UnitCountsAsConnected(online_->LinkState());
    input.Comment = CommentLines();
    input.Now = std::time(nullptr);
    return BuildDataSheet(input);
}

// No printer dialog: the sheet goes to the chosen (at first the default) printer at once, laid
// out for its page; without a printer it becomes the same PDF that zvtool print writes.
void TMainForm::PrintClick() {
    PrintoutWindow window(this);
    window.show();
    window.raise();
    window.SetProgress(0);
    const auto progress = [&window](int percent) { window.SetProgress(percent); };
    if (QPrinterInfo::availablePrinters().isEmpty() && Printer().outputFileName().isEmpty()) {
        PrintToPdf(CurrentDataSheet({}), progress);
    } else {
        QPrinter& printer = Printer();
        printer.setPageOrientation(QPageLayout::Portrait);
        const TDataSheet sheet = CurrentDataSheet(SheetAreaOf(printer.pageLayout()));
        printer.setDocName(QString::fromStdString(sheet.JobTitle));
        QPainter painter;
        if (painter.begin(&printer)) {
            PaintDataSheet(painter, printer, sheet, printer.resolution(), progress);
            painter.end();
        }
    }
    window.hide();
    keySink_->setFocus();
}

void TMainForm::PrintToPdf(const TDataSheet& sheet, const TSheetProgress& progress) {
    const std::string path = DataSheetPdfPath(main_.Data().FileName, main_.RecentDir());
    const Language lang = main_.CurrentLanguage();
    const std::string error = WriteDataSheetPdf(sheet, path, progress);
    if (!error.empty()) {
        main_.ShowMessage(MsgKind::Error, WithPath(DataSheetPdfFailed().Pick(lang), error));
        return;
    }
    if (main_.ShowMessage(MsgKind::Information, WithPath(DataSheetPdfWritten().Pick(lang), path),
                          MsgButtons::YesNo) == MsgAnswer::Yes) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    }
}

void TMainForm::PrinterSetupClick() {
    QPrintDialog dialog(&Printer(), this);
    dialog.exec();
    keySink_->setFocus();
}

}  // namespace zv::gui
