// The Window menu's log viewer and zvcontrol --log.
#include "app/main_form.h"
#include "logview/log_view_texts.h"
#include "logview/log_view_window.h"
#include "online/online_mode.h"
#include "print/data_sheet.h"

namespace zv::gui {

TLogViewWindow* TMainForm::LogView() const {
    return logView_.data();
}

void TMainForm::OpenLogClick() {
    const Language lang = form_.CurrentLanguage();
    FileDialogRequest request;
    request.Title = LogViewTexts(lang).OpenLogTitle;
    request.Filter = logger_->LogFilter();
    if (const auto path = dialogs_.OpenFileDialog(request))
        OpenLogView(*path);
}

// Replayed records reach the dashboard and the page on view as the unit's do; online the unit's
// own records have them, so the viewer asks for the link's state before each line.
bool TMainForm::OpenLogView(const std::string& path) {
    const Language lang = form_.CurrentLanguage();
    TLogOpenResult opened = OpenLogForViewer(path);
    if (!opened.Data) {
        dialogs_.MessageBox(MsgKind::Error, LogViewTexts(lang).ErrorCaption,
                            opened.Error.Pick(lang), MsgButtons::Ok);
        return false;
    }
    if (logView_)
        logView_->close();
    TLogViewerHost host{main_.Data(), timers_,
                        [this] { return UnitCountsAsConnected(online_->LinkState()); },
                        [this](const TLiveRecord& record) {
                            online_->ShowReplayedRecord(record);
                            form_.ShowLiveFrame(record);
                            Render();
                        },
                        [this] {
                            online_->EndReplay();
                            Render();
                        }};
    logView_ = new TLogViewWindow(path, std::move(*opened.Data), std::move(host), lang, this);
    connect(logView_, &TLogViewWindow::AutotuneRequested, this,
            [this, path] { OpenAutotuneWithLog(path); });
    logView_->SetDataFolder(main_.DataFolder());
    connect(logView_, &TLogViewWindow::OpenDataSetRequested, this,
            [this](const std::string& file) { main_.OpenRecentFileClick(file); });
    logView_->show();
    logView_->raise();
    logView_->activateWindow();
    return true;
}

}  // namespace zv::gui
