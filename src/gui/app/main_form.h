#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form_model.h"
#include "app/main_model.h"
#include "app/main_page_host.h"
#include "autotune/autotune_session.h"
#include "link/port_name.h"
#include "link/sim_drive.h"
#include "config/key_config_dlg.h"
#include "config/key_control.h"
#include "config/page_select.h"
#include "app/logger_wiring.h"
#include "logger/comment_form.h"
#include "editors/type_config2_dlg.h"
#include "editors/type_config_dlg.h"
#include "logger/data_logger.h"
#include "print/data_sheet.h"
#include "print/sheet_painter.h"
#include "seams/qt_dialogs.h"
#include "seams/qt_timer_service.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPrinter;
class QStackedWidget;
class QTimer;
class QToolBar;

namespace zv {
class TCurveForm;
class TOnlineMode;
namespace sim {
class TPacedSimPort;
}
namespace port {
class TCOMManager;
class TPortSwitch;
class TSerial;
}  // namespace port
}  // namespace zv

namespace zv::gui {

class KeyControlWidget;
class PageSelectWindow;
class TAutotuneWindow;
class TControlPanel;
class TIntroPage;
class TKeyReferenceDialog;
class TLogViewWindow;
class TPageView;
class TTopStripe;

// How this run starts: from the command line, or set by tests.
struct TProgramOptions {
    std::optional<TPortName> Port;  // the port for this run (not stored)
    std::optional<Language> Lang;   // the language for this run
    std::string StartFile;          // as typed on the command line
    std::string StartLog;           // a data log shown in the log viewer over the main window
    std::optional<int> StartPage;   // shown as soon as the data set offers it
    std::optional<ImageBytes> SimImage;  // the built-in simulated unit's memory at start
    TSimDrive SimDrive;                  // how the built-in simulated unit's engine runs
    std::string ProgramDir;
    std::string UserPath;                // documents folder; empty: the system's
    bool StatusToStderr = false;         // each status text of the link also as "status: <text>"
    Dialogs* ScriptedDialogs = nullptr;  // tests answer the boxes; otherwise Qt's dialogs
};

// The main window. It owns the program's objects (data set, link, online mode, pages) as the
// one top-level owner, turns input into calls of core's models and paints their state.
class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    TMainForm(const TProgramOptions& options, std::unique_ptr<SettingsStore> store);
    ~TMainForm() override;

    TMainModel& Model() { return main_; }
    TMainFormModel& FormModel() { return form_; }
    TOnlineMode& Online() { return *online_; }
    TControlPanel& Panel() { return *panel_; }
    QStackedWidget& Notebook() { return *notebook_; }
    TKeyControl& KeyCtrl() { return keyCtrl_; }
    TKeyConfigDlg& KeyConfig() { return keyConfig_; }
    TPageSelect& PageSelect() { return pageSelect_; }
    PageSelectWindow& PageSelectView() { return *pageSelectWindow_; }
    KeyControlWidget& KeySink() { return *keySink_; }
    TDLogger& DataLogger() { return *logger_; }
    TCommentForm& CommentForm() { return *commentForm_; }
    TPageView* PageView(int page) const { return pageViews_.at(static_cast<std::size_t>(page)); }
    sim::TPacedSimPort& SimPort() { return *simPort_; }  // the built-in simulated unit

    // Menu actions by name, for the wiring tests.
    struct TActions {
        QAction *New, *Open, *Save, *SaveAs, *Print, *PrinterSetup, *Close;
        QAction *KeyConfig, *InputConfig, *Connect, *Download, *Upload, *IdleControl,
            *LambdaControl, *DataLogger, *English, *German, *About, *Info, *KeyReference;
        QAction* RestoreBackup;  // File menu
        QAction* BackupOption;   // Options menu, checkable
        std::vector<QAction*> Pages;   // Window menu, one per notebook page
        std::vector<QAction*> Recent;  // recent-file items built at start
        QAction* CompareWithFile = nullptr;
        QAction* CompareWithUnit = nullptr;
        QAction* OpenLog = nullptr;  // Window menu: the log viewer
        QAction* Autotune = nullptr;  // Window menu
    };
    const TActions& Actions() const { return actions_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* OptionsMenu() const { return optionsMenu_; }
    QMenu* PortMenu() const { return portMenu_; }
    QMenu* EditMenu() const { return editMenu_; }
    QAction* UndoAction() const { return undoAction_; }
    QAction* RedoAction() const { return redoAction_; }
    QAction* CopyAction() const { return copyAction_; }
    QAction* PasteAction() const { return pasteAction_; }
    TKeyReferenceDialog* KeyReferenceView() const { return keyReference_; }
    // The log viewer opened last, while it is open.
    TLogViewWindow* LogView() const;
    // Opens a log in the viewer; a file that is no log, or an empty one, is said in a box.
    bool OpenLogView(const std::string& path);
    port::TCOMManager& ComManager() { return *comManager_; }
    // The autotune window (made at start, shown on demand) and its run.
    TAutotuneWindow& AutotuneView() { return *autotuneWindow_; }
    TAutotuneSession& Autotune() { return *autotune_; }
    // Shows the autotune window, with this log among its sources (the log viewer's way in).
    void OpenAutotuneWithLog(const std::string& path);

    // The key dispatch: operating keys run their handlers, other keys go to the page on view.
    void DispatchKey(int keyCode);
    // Paints the state of the core models; runs on its own timer and after every live record.
    void Render();

  public Q_SLOTS:
    void ApplyLanguage(Language lang);
    void MenuLanguageSelectClick(Language lang);
    void ShowNotebookPage(int page);
    void ShowPageSelection();
    // Moves the page list to where it covers nothing of the page on view.
    void PlacePageSelection();
    void KeyConfigClick(int presetRow);
    void InputConfigClick();
    void ShowAboutBox();
    void InfoClick();
    // F1 and the Help menu: the keys of the page on view.
    void KeyReferenceClick();
    void PrintClick();
    void PrinterSetupClick();
    void OpenLogClick();
    // SIGTERM and SIGINT: a transfer into the unit may end first (within a minute, said on
    // stderr with what the unit holds), then the window closes as its close button does.
    void CloseOnSignal();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FocusKeys();
    // Closes once no data are on their way into the unit any more, or at the deadline.
    void CloseAfterTransfer(qint64 deadlineMs);
    void BuildMenus();
    void BuildFileMenu();
    void BuildOptionsMenu();
    void BuildEditMenu();
    void RenderEditMenu();
    void ShowRestoredStep(bool restored);
    void BuildWindowMenu();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildNotebook();
    void AddPage(int index, std::unique_ptr<TPage> page, TPageView* view);
    void InputConfigAccepted();
    void AddCurvePage(int index, std::unique_ptr<TCurveForm> page);
    void WirePages();
    void WireComparison();
    void WireAutotune();
    void OpenAutotune();
    void ConnectControls();
    void FileMenuAboutToShow();
    void ShowBackupSaved();
    void OptionsMenuAboutToShow();
    void CreatePorts();
    std::optional<int> PortThisRun() const;
    void PaintPortMenu();
    void FileRestoreItem();
    void DataSetChangedForTuning();
    void DataSetLoaded();
    void WirePageSelect();
    void PageMenuChanged();
    void ChooseStartPage();
    void AfterControlsRefreshed();
    void RenderControls();
    void RenderDashboard();
    void RenderStatus();
    void UpdateDateTimePanel();
    void FitDateTimePanel();
    TStartEnvironment Environment() const;
    void AddLoggerPages();
    TDLoggerHost LoggerHost();
    std::vector<std::string> CommentLines() const;
    QPrinter& Printer();
    TDataSheet CurrentDataSheet(const TSheetArea& area) const;
    void PrintToPdf(const TDataSheet& sheet, const TSheetProgress& progress);

    TProgramOptions options_;
    std::optional<int> startPage_;  // the command line's page until it has been shown
    QtTimerService timers_;
    std::unique_ptr<SettingsStore> store_;
    QtDialogs qtDialogs_;
    Dialogs& dialogs_;
    // The ports outlive the link that talks through them (members go in reverse order): the
    // port list, a serial port, the built-in simulated unit and the switch between them.
    std::unique_ptr<port::TCOMManager> comManager_;
    std::unique_ptr<port::TSerial> serial_;
    std::unique_ptr<sim::TPacedSimPort> simPort_;
    std::unique_ptr<port::TPortSwitch> port_;
    TMainModel main_;
    TMainFormModel form_;
    // The main window's key sink with the two step keys, the key configuration that edits
    // them, and the page selection.
    TKeyControl keyCtrl_{"KeyCtrl"};
    TKeyConfigDlg keyConfig_;
    TPageSelect pageSelect_;
    // What the pages reach of the main window, and the pages' core models by page number (their
    // views live in the notebook).
    TMainPageHost host_;
    std::vector<std::unique_ptr<TPage>> pageModels_;
    std::array<TPageView*, kPageCount> pageViews_{};
    // The input configuration dialogs' models, made once and reused.
    TTypeConfigDlg typeConfig_{host_};
    TTypeConfig2Dlg typeConfig2_{host_};
    TOnlineMode* online_ = nullptr;
    // Pages 10 and 11 among the page models, and the comment page as the file commands see it.
    TDLogger* logger_ = nullptr;
    TCommentForm* commentForm_ = nullptr;
    std::unique_ptr<TCommentPageAdapter> commentPage_;
    std::unique_ptr<TEditNotes> editNotes_;
    std::unique_ptr<QPrinter> printer_;
    // After the main model, so that it lets go of the link's live records before the link goes.
    std::unique_ptr<TAutotuneSession> autotune_;
    TAutotuneWindow* autotuneWindow_ = nullptr;

    TControlPanel* panel_ = nullptr;
    TTopStripe* topStripe_ = nullptr;
    QStackedWidget* notebook_ = nullptr;
    TIntroPage* introPage_ = nullptr;
    KeyControlWidget* keySink_ = nullptr;
    PageSelectWindow* pageSelectWindow_ = nullptr;
    QLabel* pageNamePanel_ = nullptr;
    QLabel* portPanel_ = nullptr;
    QLabel* deviceTypePanel_ = nullptr;
    QLabel* serialNoPanel_ = nullptr;
    QLabel* verLevelPanel_ = nullptr;
    QLabel* firmwarePanel_ = nullptr;
    QLabel* logNumPanel_ = nullptr;
    QLabel* dateTimePanel_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* newButton_ = nullptr;
    QAction* openButton_ = nullptr;
    QAction* saveButton_ = nullptr;
    QAction* exitButton_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* portMenu_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    TKeyReferenceDialog* keyReference_ = nullptr;
    TActions actions_{};
    QTimer* renderTimer_ = nullptr;
    QTimer* dateTimeTimer_ = nullptr;
    std::string shownBackup_;  // the backup the status bar last named
    QLabel* messagePanel_ = nullptr;  // the status bar's note, left of the panels
    bool firstPaintDone_ = false;
    QPointer<TLogViewWindow> logView_;
    bool closing_ = false;
};

}  // namespace zv::gui
