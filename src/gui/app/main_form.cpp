#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>

#include "app/command_line.h"
#include "app/control_panel.h"
#include "app/logger_wiring.h"
#include "app/look.h"
#include "app/page_occupancy.h"
#include "app/top_stripe.h"
#include "app/user_language.h"
#include "autotune/autotune_window.h"
#include "backup/backup_text.h"
#include "dialogs/about_box.h"
#include "dialogs/key_config_dialog.h"
#include "dialogs/key_reference_dialog.h"
#include "dialogs/page_select_window.h"
#include "dialogs/type_config2_dialog.h"
#include "dialogs/type_config_dialog.h"
#include "logview/log_view_window.h"
#include "online/online_mode.h"
#include "paced/paced_sim_port.h"
#include "pages/view_text.h"
#include "port_switch.h"
#include "tcom_manager.h"
#include "tserial.h"
#include "widgets/key_control_widget.h"
#include "widgets/screen_fit.h"

namespace zv::gui {

namespace {

constexpr int kRenderMs = 50;
constexpr int kDateTimeMs = 1000;
constexpr int kVirtualKeyF1 = 112;

// F5..F11 as Windows virtual-key codes; 0 for any other key.
int OperatingKeyCode(const QKeyEvent& event) {
    const int key = event.key();
    if (key < Qt::Key_F5 || key > Qt::Key_F11 || key == Qt::Key_F6)
        return 0;
    return kVirtualKeyF1 + (key - Qt::Key_F1);
}

}  // namespace

TMainForm::TMainForm(const TProgramOptions& options, std::unique_ptr<SettingsStore> store)
    : options_(options),
      startPage_(options.StartPage),
      store_(std::move(store)),
      qtDialogs_([this] { return main_.CurrentLanguage(); }),
      dialogs_(options.ScriptedDialogs ? *options.ScriptedDialogs : qtDialogs_),
      main_(dialogs_, *store_),
      form_(main_, *store_),
      keyConfig_(keyCtrl_, *store_),
      pageSelect_(main_.Data()),
      host_(main_, form_, keyCtrl_) {
    qtDialogs_.SetParent(this);
    FormCreate();
}

TMainForm::~TMainForm() {
    main_.DataSetLoaded = nullptr;
    main_.ShowComparison = nullptr;
    main_.OverlayChanged = nullptr;
    comManager_->OnPortArrived = nullptr;
    comManager_->OnPortRemoved = nullptr;
    commentPage_.reset();
    // The views go before the page models they paint.
    delete takeCentralWidget();
    for (int page = 0; page < kPageCount; ++page)
        form_.SetPage(page, nullptr);
}

TStartEnvironment TMainForm::Environment() const {
    TStartEnvironment env;
    env.UserPath =
        options_.UserPath.empty()
            ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString()
            : options_.UserPath;
    env.UserLanguageId = UserLanguageId();
    env.NowText = QLocale::system()
                      .toString(QDateTime::currentDateTime(), QLocale::ShortFormat)
                      .toStdString();
    return env;
}

// The order of creation matters: settings before the menus that show them, the link before
// the language is applied (its port and displays follow the settings), and the online mode
// starts last, when everything it reports to exists.
void TMainForm::FormCreate() {
    FitToScreen(this, {1280, 800});
    const std::string startFile = StartUpFile(options_.StartFile, options_.ProgramDir);
    setWindowTitle(QString::fromUtf8(kProgramTitle));

    form_.LoadSettings(Environment());
    keyCtrl_.KeyUpSmallCode = static_cast<std::uint8_t>(form_.Started().KeyUpSmallCode);
    keyCtrl_.KeyDownSmallCode = static_cast<std::uint8_t>(form_.Started().KeyDownSmallCode);

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    panel_ = new TControlPanel;
    topStripe_ = new TTopStripe;
    BuildNotebook();
    auto* central = new QWidget;
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(topStripe_);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    // On a short screen (or a large font) the column scrolls instead of being cut off.
    auto* panelScroll = new QScrollArea;
    panelScroll->setWidget(panel_);
    panelScroll->setWidgetResizable(true);
    panelScroll->setFrameShape(QFrame::NoFrame);
    panelScroll->setFocusPolicy(Qt::NoFocus);
    panelScroll->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelScroll->setFixedWidth(panel_->minimumWidth() +
                               style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    body->addWidget(panelScroll);
    auto* notebookColumn = new QVBoxLayout;
    notebookColumn->setContentsMargins(0, 0, 0, 0);
    notebookColumn->setSpacing(0);
    notebookColumn->addWidget(pageNamePanel_);
    notebookColumn->addWidget(notebook_, 1);
    body->addLayout(notebookColumn, 1);
    outer->addLayout(body, 1);
    setCentralWidget(central);

    CreatePorts();
    online_ = &main_.ConnectLink(timers_, *port_);
    online_->StatusShown = [this](const std::string& text) {
        if (options_.StatusToStderr)
            std::cerr << "status: " << text << std::endl;
        ShowBackupSaved();
    };
    online_->PageKey = [this](int keyCode) { form_.PageKey(keyCode); };
    online_->DataTakenOver = [this] {
        form_.LoadPagesFromImage();
        pageSelect_.SetPageMask(main_.Data().DeviceData.Firmware);
        DataSetChangedForTuning();
        // The take-over refreshes the controls after telling the pages; paint what it decided.
        QTimer::singleShot(0, this, [this] {
            AfterControlsRefreshed();
            ChooseStartPage();
            Render();
        });
    };
    ConnectDataLogger(*online_, *logger_);
    topStripe_->WidthChanged = [this](int width) { online_->SetTopStripeWidth(width); };
    form_.ShowPageSelection = [this] { ShowPageSelection(); };
    main_.DataSetLoaded = [this] { DataSetLoaded(); };
    WirePages();
    WireComparison();
    WireAutotune();

    main_.Data().DeviceData.Firmware = 0;
    WirePageSelect();
    pageSelect_.SetPageMask(0);
    form_.ConfigureLink(*online_, PortThisRun());
    online_->PortMenuChanged = [this] { PaintPortMenu(); };
    online_->RebuildPortMenu();
    // Ports that come or go change the menu at once.
    comManager_->OnPortArrived = [this] { online_->RebuildPortMenu(); };
    comManager_->OnPortRemoved = [this] { online_->RebuildPortMenu(); };
    ApplyLanguage(options_.Lang.value_or(main_.CurrentLanguage()));
    ConnectControls();
    qApp->installEventFilter(this);

    // Keys go to the key dispatch through the notebook's invisible key sink.
    keySink_ = new KeyControlWidget(keyCtrl_, notebook_);
    keyCtrl_.OnKey = [this](std::uint8_t code) { DispatchKey(code); };
    keyCtrl_.OnShiftKey = [this](std::uint8_t code) {
        form_.PageShiftKey(code);
        Render();
    };
    keyConfig_.Accepted = [this] { form_.StepKeysChanged(); };
    keySink_->setFocus();

    renderTimer_ = new QTimer(this);
    renderTimer_->setInterval(kRenderMs);
    connect(renderTimer_, &QTimer::timeout, this, &TMainForm::Render);
    renderTimer_->start();
    dateTimeTimer_ = new QTimer(this);
    dateTimeTimer_->setInterval(kDateTimeMs);
    connect(dateTimeTimer_, &QTimer::timeout, this, &TMainForm::UpdateDateTimePanel);
    dateTimeTimer_->start();
    UpdateDateTimePanel();

    online_->PendingFile = startFile;
    online_->StartUp();
    Render();
}

// The link's status panel moves on to the download at once; the status bar keeps saying where
// the backup went.
void TMainForm::ShowBackupSaved() {
    const std::string& backup = online_->LastBackupPath();
    if (backup.empty() || backup == shownBackup_)
        return;
    shownBackup_ = backup;
    const TStatusNote note = BackupSavedNote(backup, main_.CurrentLanguage());
    messagePanel_->setText(Q(note.Text));
    messagePanel_->setToolTip(Q(note.Tip));
}

void TMainForm::CreatePorts() {
    comManager_ = std::make_unique<port::TCOMManager>();
    serial_ = std::make_unique<port::TSerial>(*comManager_);
    serial_->OnAdapterLatency = [this](int comPort, int latencyMs) {
        main_.AdapterLatencyFound(comPort, latencyMs);
    };
    const int simFirmware = options_.Port && options_.Port->Type == TPortName::Kind::Sim
                                ? options_.Port->Firmware
                                : kDefaultSimFirmware;
    simPort_ = std::make_unique<sim::TPacedSimPort>(timers_, simFirmware);
    if (options_.SimImage)
        simPort_->Unit().LoadImage(*options_.SimImage);
    simPort_->Unit().Engine().Cycle().SetDrive(options_.SimDrive);
    port_ = std::make_unique<port::TPortSwitch>(*simPort_, *serial_);
}

// The port named on the command line as a port number: the built-in unit, a COM port, or the
// number a device path gets for this run. Nothing when none was named (the stored port holds).
std::optional<int> TMainForm::PortThisRun() const {
    if (!options_.Port)
        return std::nullopt;
    switch (options_.Port->Type) {
        case TPortName::Kind::Sim:
            return kSimulatedUnitPort;
        case TPortName::Kind::Com:
            return options_.Port->Number;
        case TPortName::Kind::Device:
            break;
    }
    const int number = comManager_->AddDevicePath(options_.Port->Path);
    if (number == 0) {
        std::cerr << "zvcontrol: port " << options_.Port->Path
                  << " does not exist; the stored port is used\n";
        return std::nullopt;
    }
    return number;
}

TDLoggerHost TMainForm::LoggerHost() {
    TDLoggerHost host;
    host.CurrentLanguage = [this] { return main_.CurrentLanguage(); };
    host.RecentDir = [this] { return main_.RecentDir(); };
    host.WBO2DispOnF = [this] { return form_.Started().WBO2DispOnF; };
    host.WidebandDevice = [this] {
        return form_.Settings().i_ReadInteger("Options", "WBO2ModuleType", 0);
    };
    host.ReleaseLogger = [this] { online_->ReleaseLogger(); };
    host.ShowPageSelection = [this] { ShowPageSelection(); };
    return host;
}

// What the comment page holds is the comment: the operator's edits are in it before a save.
std::vector<std::string> TMainForm::CommentLines() const {
    return commentForm_->CommentLines();
}

void TMainForm::WirePageSelect() {
    pageSelectWindow_ = new PageSelectWindow(pageSelect_, this);
    // The Edit menu's keys also while the page list has them.
    pageSelectWindow_->addActions({undoAction_, redoAction_, copyAction_, pasteAction_});
    // The band beside the page's heading is free on every page: with the margin every page keeps
    // at its top it is made high enough to hold the list in two rows, so that the list never has
    // to cover a page.
    pageNamePanel_->setMinimumHeight(pageSelectWindow_->TwoRowsHeight() - kSpacing);
    pageSelect_.SwitchNotebookPage = [this](int page) { ShowNotebookPage(page); };
    pageSelect_.PageMenuChanged = [this] { PageMenuChanged(); };
    pageSelect_.FocusMainKeyControl = [this] {
        if (keySink_)
            keySink_->setFocus();
    };
}

// Pages hear the live records, the page selection and the window actions they ask for.
void TMainForm::WirePages() {
    typeConfig_.Accepted = [this] { InputConfigAccepted(); };
    typeConfig2_.Accepted = [this] { InputConfigAccepted(); };
    online_->WBODebounceLevel = host_.WBODebounceLevel();
    online_->ShowLiveFrame = [this](const TLiveRecord& record) { form_.ShowLiveFrame(record); };
    pageSelect_.ShowPage = [this](int page) { form_.ShowPage(page); };
    pageSelect_.RefreshPage = [this](int page) { form_.RefreshPage(page); };
    host_.OnShowPageSelection = [this] { ShowPageSelection(); };
    host_.OnFocusKeyControl = [this] { FocusKeys(); };
}

void TMainForm::PageMenuChanged() {
    for (int page = 0; page < kPageCount; ++page) {
        const TPageMenuItem& item = pageSelect_.MenuItem(page);
        QAction* action = actions_.Pages[static_cast<std::size_t>(page)];
        action->setVisible(item.Visible);
        action->setEnabled(item.Enabled);
    }
}

// The log viewer's targets and hits and the autotune window's sites follow the data set.
void TMainForm::DataSetChangedForTuning() {
    if (logView_)
        logView_->DataSetChanged();
    if (autotune_)
        autotune_->DataSetChanged();
    if (autotuneWindow_)
        autotuneWindow_->Render();
}

void TMainForm::DataSetLoaded() {
    form_.LoadPagesFromImage();
    DataSetChangedForTuning();
    pageSelect_.SetPageMask(main_.Data().DeviceData.Firmware);
    online_->RefreshControls();
    AfterControlsRefreshed();
    ChooseStartPage();
    Render();
}

// The page asked for on the command line, once a data set offers it.
void TMainForm::ChooseStartPage() {
    if (!startPage_)
        return;
    const TPageMenuItem& item = pageSelect_.MenuItem(*startPage_);
    if (!item.Visible || !item.Enabled)
        return;
    const int page = *startPage_;
    startPage_.reset();
    pageSelect_.ChoosePage(page);
    // The page was chosen already: the list gives the keys back to it.
    if (pageSelect_.Visible())
        pageSelect_.Hide();
}

void TMainForm::AfterControlsRefreshed() {
    form_.ControlsRefreshed(online_->Controls().IdleContactShows50Hz);
    panel_->IdleLedLabel->setText(QString::fromStdString(form_.IdleContactLabel()));
}

void TMainForm::DispatchKey(int keyCode) {
    online_->DispatchKey(keyCode);
    Render();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // The operating keys work wherever the focus is in this window.
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto& key = static_cast<const QKeyEvent&>(*event);
        const int code = OperatingKeyCode(key);
        const bool ours =
            widget && (widget->window() == this || widget->window() == pageSelectWindow_);
        if (key.key() == Qt::Key_F1 && ours && key.modifiers() == Qt::NoModifier) {
            if (!key.isAutoRepeat())
                KeyReferenceClick();
            return true;
        }
        if (code != 0 && ours && key.modifiers() == Qt::NoModifier) {
            // Holding a key down must not toggle the link or a switch over and over.
            if (!key.isAutoRepeat())
                DispatchKey(code);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (firstPaintDone_)
        return;
    firstPaintDone_ = true;
    QTimer::singleShot(0, this, &TMainForm::FileRestoreItem);
    if (!options_.StartLog.empty())
        QTimer::singleShot(0, this, [this] { OpenLogView(options_.StartLog); });
}

// Keys must reach the key dispatch: when the window comes back to the front with no control
// holding the focus, the key sink takes it.
void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !focusWidget() &&
        keySink_) {
        FocusKeys();
    }
}

// The keys go to the page selection while it is shown (a data set opened or taken over, a dialog
// closed, must not take them away from it), otherwise to the page on view.
void TMainForm::FocusKeys() {
    if (pageSelect_.Visible() && pageSelectWindow_)
        pageSelectWindow_->TakeKeys();
    else if (keySink_)
        keySink_->setFocus();
}

void TMainForm::FileRestoreItem() {
    switch (form_.Started().WindowState) {
        case TWindowState::Normal: {
            // The inner rectangle is stored: the frame and title bar must fit around it.
            const QRect a = screen()->availableGeometry().adjusted(kFrameSide, kFrameTop,
                                                                   -kFrameSide, -kFrameBottom);
            const TWindowRect p = NormalWindowPlace(form_.Started().NormalPlace,
                                                    {a.x(), a.y(), a.width(), a.height()});
            setGeometry(p.X, p.Y, p.Width, p.Height);
            showNormal();
            break;
        }
        case TWindowState::Minimized:
            showMinimized();
            break;
        case TWindowState::Maximized:
            // Without a window manager a maximised window keeps its size; take the screen.
            setGeometry(screen()->availableGeometry());
            showMaximized();
            break;
    }
    ShowNotebookPage(pageSelect_.CurrentPage());
    ShowPageSelection();
}

// The list stays over the page's part of the window, so that the dashboard's live values stay
// in view, and where the page on view shows nothing.
void TMainForm::PlacePageSelection() {
    const QRect area(pageNamePanel_->mapToGlobal(QPoint(0, 0)),
                     QSize(notebook_->width(), pageNamePanel_->height() + notebook_->height()));
    std::vector<QRect> occupied = OccupiedRects(notebook_->currentWidget());
    const QRect title = pageNamePanel_->fontMetrics().boundingRect(
        pageNamePanel_->contentsRect(), static_cast<int>(pageNamePanel_->alignment()),
        pageNamePanel_->text());
    occupied.emplace_back(pageNamePanel_->mapToGlobal(title.topLeft()), title.size());
    pageSelectWindow_->PlaceIn(area, occupied);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (pageSelect_.Visible())
        QTimer::singleShot(0, this, [this] { PlacePageSelection(); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closing_ || !form_.FormCloseQuery()) {
        if (!closing_)
            event->ignore();
        if (!closing_ && form_.CloseWhenTransferDone())
            CloseAfterTransfer(-1);
        return;
    }
    closing_ = true;
    logger_->CloseAtExit();
    const TWindowState state = isMinimized()   ? TWindowState::Minimized
                               : isMaximized() ? TWindowState::Maximized
                                               : TWindowState::Normal;
    std::optional<TWindowRect> place;
    if (state == TWindowState::Normal) {
        const QRect g = geometry();
        place = TWindowRect{g.x(), g.y(), g.width(), g.height()};
    }
    form_.FormClose(state, place);
    event->accept();
}

namespace {

// How long a signal waits for a transfer into the unit: a whole download takes about 8 s.
constexpr qint64 kSignalTransferWaitMs = 60000;
constexpr int kTransferPollMs = 200;

}  // namespace

void TMainForm::CloseOnSignal() {
    if (const auto transfer = form_.TransferUnderWay()) {
        std::cerr << "zvcontrol: waiting for the transfer into the unit to end (" << *transfer
                  << ")" << std::endl;
        form_.CloseWithoutTransferQuestion();
        CloseAfterTransfer(QDateTime::currentMSecsSinceEpoch() + kSignalTransferWaitMs);
        return;
    }
    close();
}

void TMainForm::CloseAfterTransfer(qint64 deadlineMs) {
    const bool late = deadlineMs >= 0 && QDateTime::currentMSecsSinceEpoch() >= deadlineMs;
    if (form_.TransferUnderWay() && !late) {
        QTimer::singleShot(kTransferPollMs, this, [this, deadlineMs] { CloseAfterTransfer(deadlineMs); });
        return;
    }
    if (deadlineMs >= 0) {
        std::cerr << "zvcontrol: " << (late ? "the transfer did not end in time; " : "")
                  << form_.UnitStateReport() << std::endl;
    }
    form_.StopWaitingForTransfer();
    close();
}

void TMainForm::UpdateDateTimePanel() {
    const std::string text = form_.DateTimePanel(QDateTime::currentSecsSinceEpoch());
    dateTimePanel_->setText(QString::fromStdString(text));
    dateTimePanel_->parentWidget()->setVisible(true);
}

void TMainForm::ShowNotebookPage(int page) {
    if (page < 0 || page >= notebook_->count())
        return;
    notebook_->setCurrentIndex(page);
    form_.NotebookPageChanged(page);
    pageNamePanel_->setText(QString::fromStdString(form_.PageNamePanel()));
    // A page previewed from the list has its own layout: the list moves only if it must.
    if (pageSelect_.Visible())
        QTimer::singleShot(0, this, [this] { PlacePageSelection(); });
}

void TMainForm::ShowPageSelection() {
    PlacePageSelection();
    pageSelect_.Show();
    // Once a page that has just come into view is laid out, the list may have to move.
    QTimer::singleShot(0, this, [this] { PlacePageSelection(); });
}

// presetRow: 0 from the up panel, 1 from the down panel, -1 from the menu (the last row stays).
void TMainForm::KeyConfigClick(int presetRow) {
    if (presetRow >= 0)
        keyConfig_.SetSelectedRow(presetRow);
    KeyConfigDialog dialog(keyConfig_, this);
    dialog.exec();
    FocusKeys();
    Render();
}

// The firmware decides which of the two input configuration dialogs the unit needs.
void TMainForm::InputConfigClick() {
    if (!form_.InputConfigEnabled())
        return;
    if (form_.TypeConfigDialog() == 1) {
        TTypeConfigDialog dialog(typeConfig_, this);
        dialog.exec();
    } else {
        TTypeConfig2Dialog dialog(typeConfig2_, this);
        dialog.exec();
    }
    FocusKeys();
    Render();
}

// An accepted input configuration changes which pages exist and what they show.
void TMainForm::InputConfigAccepted() {
    pageSelect_.SetPageMask(main_.Data().DeviceData.Firmware);
    form_.LoadPagesFromImage();
}

void TMainForm::ShowAboutBox() {
    AboutBox box(main_.CurrentLanguage(), AboutBox::DefaultPicturePath(), this);
    box.exec();
    FocusKeys();
}

void TMainForm::InfoClick() {
    const TLinkPanels& unit = online_->Panels();
    main_.ShowMessage(MsgKind::Information,
                      form_.InfoText(unit.DeviceType, unit.SerialNo, unit.VerLevel));
}

void TMainForm::KeyReferenceClick() {
    if (!keyReference_)
        keyReference_ = new TKeyReferenceDialog(this);
    keyReference_->SetReference(
        form_.PageKeyReference(keyCtrl_.StepKeys()));
    keyReference_->show();
    keyReference_->raise();
    keyReference_->activateWindow();
}

}  // namespace zv::gui
