// Menus, tool bar, status panels and notebook of the main window, and their captions.
#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QMenu>
#include <QMenuBar>

#include "autotune/autotune_session.h"
#include "autotune/autotune_window.h"
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/control_panel.h"
#include "app/look.h"
#include "app/main_form.h"
#include "backup/backup_text.h"
#include "logview/log_view_texts.h"
#include "logview/log_view_window.h"
#include "online/online_mode.h"
#include "pages/comment_page_view.h"
#include "pages/intro_page.h"
#include "editors/curve_form.h"
#include "editors/lamp_form.h"
#include "editors/map_form.h"
#include "editors/param_form.h"
#include "lambda/lambda_form.h"
#include "lambda/wbo2_form.h"
#include "pages/curve_form_view.h"
#include "pages/lambda_form_view.h"
#include "pages/lamp_form_view.h"
#include "pages/logger_page_view.h"
#include "pages/map_form_view.h"
#include "pages/page_view.h"
#include "pages/param_form_view.h"
#include "pages/wbo2_form_view.h"
#include "widgets/readout.h"

namespace zv::gui {

namespace {

// Holds a page at the room the window gives it and scrolls only below the page's minimum size. A
// plain resizable scroll area would hold a page with word-wrapped labels at its preferred height
// and scroll where the page fits.
class PageScrollArea : public QScrollArea {
  protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        FitPage();
    }
    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::Resize)
            FitPage();
        return QScrollArea::viewportEvent(event);
    }

  private:
    void FitPage() {
        if (QWidget* page = widget())
            page->resize(viewport()->size().expandedTo(page->minimumSizeHint()));
    }
};

}  // namespace

namespace {

constexpr int kLoggerPage = 10;
constexpr int kCommentPage = 11;

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* KeyAction(QMenu* menu, Qt::Key key, bool checkable) {
    QAction* action = menu->addAction(QString());
    // The key is shown in the menu; the key itself reaches the key dispatch, not the action.
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setCheckable(checkable);
    return action;
}

// A muted page that stands for an editor still to come.
QWidget* PendingPage(QLabel*& text) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    text = new QLabel;
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    text->setForegroundRole(QPalette::Dark);
    layout->addWidget(text);
    return page;
}

QLabel* StatusPanel(int widthChars) {
    auto* label = new QLabel;
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * widthChars);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

void TMainForm::BuildMenus() {
    BuildFileMenu();
    BuildEditMenu();
    BuildOptionsMenu();
    BuildWindowMenu();
    helpMenu_ = menuBar()->addMenu(QString());
    actions_.KeyReference = helpMenu_->addAction(QString(), this, &TMainForm::KeyReferenceClick);
    actions_.About = menuBar()->addAction(QString());
    connect(actions_.About, &QAction::triggered, this, &TMainForm::ShowAboutBox);
    actions_.Info = menuBar()->addAction(QString());
    connect(actions_.Info, &QAction::triggered, this, &TMainForm::InfoClick);
}

void TMainForm::BuildFileMenu() {
    fileMenu_ = menuBar()->addMenu(QString());
    actions_.New = fileMenu_->addAction(QString(), this, [this] { main_.NewZVFileClick(); });
    actions_.Open = fileMenu_->addAction(QString(), this, [this] { main_.OpenZVFileClick(); });
    actions_.Save = fileMenu_->addAction(QString(), this, [this] { main_.ZVFileSaveClick(); });
    actions_.SaveAs =
        fileMenu_->addAction(QString(), this, [this] { main_.MenuSaveZVFileAsClick(); });
    actions_.RestoreBackup = fileMenu_->addAction(QString(), this, [this] {
        main_.RestoreBackupClick();
        Render();
    });
    actions_.CompareWithFile =
        fileMenu_->addAction(QString(), this, [this] { main_.CompareWithFileClick(); });
    actions_.CompareWithUnit =
        fileMenu_->addAction(QString(), this, [this] { main_.CompareWithUnitClick(); });
    fileMenu_->addSeparator();
    actions_.Print = fileMenu_->addAction(QString(), this, &TMainForm::PrintClick);
    actions_.PrinterSetup = fileMenu_->addAction(QString(), this, &TMainForm::PrinterSetupClick);
    fileMenu_->addSeparator();
    actions_.Close = fileMenu_->addAction(QString(), this, &QWidget::close);
    actions_.Close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    // The recent files of the last runs; the items built at start stay as they are.
    if (!form_.RecentMenuItems().empty())
        fileMenu_->addSeparator();
    for (const TRecentItem& item : form_.RecentMenuItems()) {
        const std::string path = item.Path;
        QAction* action = fileMenu_->addAction(Q(item.Caption), this,
                                               [this, path] { main_.OpenRecentFileClick(path); });
        actions_.Recent.push_back(action);
    }
    connect(fileMenu_, &QMenu::aboutToShow, this, &TMainForm::FileMenuAboutToShow);
}

void TMainForm::BuildOptionsMenu() {
    optionsMenu_ = menuBar()->addMenu(QString());
    portMenu_ = optionsMenu_->addMenu(QString());
    connect(portMenu_, &QMenu::aboutToShow, this, [this] { online_->CheckPortMenu(); });
    languageMenu_ = optionsMenu_->addMenu(QString());
    actions_.English = languageMenu_->addAction(
        QString(), this, [this] { MenuLanguageSelectClick(Language::English); });
    actions_.German = languageMenu_->addAction(
        QString(), this, [this] { MenuLanguageSelectClick(Language::German); });
    actions_.KeyConfig = optionsMenu_->addAction(QString(), this, [this] { KeyConfigClick(-1); });
    actions_.InputConfig = optionsMenu_->addAction(QString(), this, &TMainForm::InputConfigClick);
    actions_.BackupOption =
        optionsMenu_->addAction(QString(), this, [this] { form_.BackupOptionClick(); });
    actions_.BackupOption->setCheckable(true);
    optionsMenu_->addSeparator();
    actions_.Connect = KeyAction(optionsMenu_, Qt::Key_F5, true);
    actions_.Download = KeyAction(optionsMenu_, Qt::Key_F8, false);
    actions_.Upload = KeyAction(optionsMenu_, Qt::Key_F7, false);
    actions_.IdleControl = KeyAction(optionsMenu_, Qt::Key_F9, true);
    actions_.LambdaControl = KeyAction(optionsMenu_, Qt::Key_F10, true);
    actions_.DataLogger = optionsMenu_->addAction(QString());
    actions_.DataLogger->setCheckable(true);
    connect(actions_.Connect, &QAction::triggered, this, [this] { DispatchKey(key::F5); });
    connect(actions_.Download, &QAction::triggered, this, [this] { DispatchKey(key::F8); });
    connect(actions_.Upload, &QAction::triggered, this, [this] { DispatchKey(key::F7); });
    connect(actions_.IdleControl, &QAction::triggered, this, [this] { DispatchKey(key::F9); });
    connect(actions_.LambdaControl, &QAction::triggered, this, [this] { DispatchKey(key::F10); });
    connect(actions_.DataLogger, &QAction::triggered, this, [this] {
        online_->MenuLoggerClick();
        Render();
    });
    connect(optionsMenu_, &QMenu::aboutToShow, this, &TMainForm::OptionsMenuAboutToShow);
}

void TMainForm::BuildWindowMenu() {
    windowMenu_ = menuBar()->addMenu(QString());
    for (int page = 0; page < kPageCount; ++page) {
        actions_.Pages.push_back(windowMenu_->addAction(
            QString(), this, [this, page] { pageSelect_.ChoosePage(page); }));
    }
    windowMenu_->addSeparator();
    actions_.OpenLog = windowMenu_->addAction(QString(), this, &TMainForm::OpenLogClick);
    actions_.Autotune = windowMenu_->addAction(QString(), this, [this] { OpenAutotune(); });
}

// The file buttons sit in the menu bar's corner: a tool bar row of its own would take height
// that the dashboard needs on small screens.
void TMainForm::BuildToolBar() {
    toolBar_ = new QToolBar;
    toolBar_->setIconSize(
        QSize(toolBar_->fontMetrics().height(), toolBar_->fontMetrics().height()));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    menuBar()->setCornerWidget(toolBar_, Qt::TopRightCorner);
    QStyle* s = style();
    newButton_ = toolBar_->addAction(s->standardIcon(QStyle::SP_FileIcon), QString(), actions_.New,
                                     &QAction::trigger);
    openButton_ = toolBar_->addAction(s->standardIcon(QStyle::SP_DialogOpenButton), QString(),
                                      actions_.Open, &QAction::trigger);
    saveButton_ = toolBar_->addAction(s->standardIcon(QStyle::SP_DialogSaveButton), QString(),
                                      actions_.Save, &QAction::trigger);
    toolBar_->addSeparator();
    exitButton_ = toolBar_->addAction(s->standardIcon(QStyle::SP_BrowserStop), QString(), this,
                                      &QWidget::close);
}

// The clock's panel holds its widest text in either language at the font it is drawn in.
void TMainForm::FitDateTimePanel() {
    const QFontMetrics fm = dateTimePanel_->fontMetrics();
    int width = 0;
    for (const std::string& text : TMainFormModel::DateTimePanelWidest())
        width = std::max(width, fm.horizontalAdvance(QString::fromStdString(text)));
    dateTimePanel_->setMinimumWidth(width + 2 * fm.averageCharWidth());
}

void TMainForm::BuildStatusBar() {
    portPanel_ = StatusPanel(16);
    deviceTypePanel_ = StatusPanel(12);
    serialNoPanel_ = StatusPanel(10);
    verLevelPanel_ = StatusPanel(8);
    firmwarePanel_ = StatusPanel(8);
    logNumPanel_ = StatusPanel(6);
    dateTimePanel_ = StatusPanel(22);
    dateTimePanel_->setObjectName(QStringLiteral("DateTimePanel"));
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    // The panels keep their width; a long note is cut, never the window made wider.
    messagePanel_ = new QLabel;
    messagePanel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(messagePanel_, 1);
    for (QLabel* panel : {portPanel_, deviceTypePanel_, serialNoPanel_, verLevelPanel_, firmwarePanel_,
                          logNumPanel_, dateTimePanel_}) {
        // Each panel brings its separator, so that an empty panel leaves no empty box.
        auto* holder = new QWidget;
        auto* row = new QHBoxLayout(holder);
        row->setContentsMargins(0, 0, 0, 0);
        auto* separator = new QFrame;
        separator->setFrameShape(QFrame::VLine);
        separator->setFrameShadow(QFrame::Sunken);
        row->addWidget(separator);
        row->addWidget(panel);
        holder->setVisible(false);
        statusBar()->addPermanentWidget(holder);
    }
    FitDateTimePanel();
}

void TMainForm::BuildNotebook() {
    pageNamePanel_ = new QLabel;
    QFont title = pageNamePanel_->font();
    title.setPointSizeF(title.pointSizeF() * 1.5);
    title.setBold(true);
    pageNamePanel_->setFont(title);
    pageNamePanel_->setContentsMargins(kGroupSpacing * 2, kGroupSpacing, kGroupSpacing, kSpacing);
    pageNamePanel_->setAutoFillBackground(true);
    pageNamePanel_->setBackgroundRole(QPalette::Base);

    notebook_ = new QStackedWidget;
    notebook_->setAutoFillBackground(true);
    notebook_->setBackgroundRole(QPalette::Base);
    introPage_ = new TIntroPage;
    notebook_->addWidget(introPage_);
    for (int page = 1; page < kPageCount; ++page) {
        QLabel* text = nullptr;
        notebook_->addWidget(PendingPage(text));
        text->setObjectName(QStringLiteral("pendingText"));
    }
    auto map = std::make_unique<TMapForm>(host_);
    auto* mapView = new TMapFormView(*map);
    AddPage(1, std::move(map), mapView);
    AddCurvePage(2, std::make_unique<TIdleOldForm>(host_));
    AddCurvePage(3, std::make_unique<TIdleForm>(host_));
    auto lambda = std::make_unique<TLambdaForm>(host_);
    auto* lambdaView = new TLambdaFormView(*lambda);
    AddPage(4, std::move(lambda), lambdaView);
    auto wbo2 = std::make_unique<TWBO2Form>(host_);
    auto* wbo2View = new TWBO2FormView(*wbo2);
    AddPage(5, std::move(wbo2), wbo2View);
    auto params = std::make_unique<TParamForm>(host_);
    auto* paramsView = new TParamFormView(*params);
    AddPage(6, std::move(params), paramsView);
    AddCurvePage(7, std::make_unique<TGPForm>(host_));
    AddCurvePage(8, std::make_unique<TTempForm>(host_));
    auto lamps = std::make_unique<TLampForm>(host_);
    auto* lampsView = new TLampFormView(*lamps);
    AddPage(9, std::move(lamps), lampsView);
    AddLoggerPages();
}

void TMainForm::AddCurvePage(int index, std::unique_ptr<TCurveForm> page) {
    auto* view = new TCurveFormView(*page);
    AddPage(index, std::move(page), view);
}

// Pages 10 and 11: the data logger, and the comment page that the file commands fill and read.
void TMainForm::AddLoggerPages() {
    auto logger = std::make_unique<TDLogger>(main_.Data(), dialogs_, timers_, LoggerHost());
    logger_ = logger.get();
    AddPage(kLoggerPage, std::move(logger), new TDLoggerView(*logger_));
    editNotes_ = std::make_unique<TEditNotes>(main_, *logger_);
    auto comment = std::make_unique<TCommentForm>(QFont().pointSize());
    commentForm_ = comment.get();
    commentForm_->ShowPageSelection = [this] { ShowPageSelection(); };
    commentPage_ = std::make_unique<TCommentPageAdapter>(main_, *commentForm_);
    AddPage(kCommentPage, std::move(comment), new TCommentFormView(*commentForm_));
}

// A page is its core model plus its view; the view takes the page's place in the notebook. On a
// small screen or at a large scale a page that needs more room than the window has scrolls,
// instead of pushing the window past the screen's edge.
void TMainForm::AddPage(int index, std::unique_ptr<TPage> page, TPageView* view) {
    auto* scroll = new PageScrollArea;
    scroll->setWidget(view);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    // Keys belong to the key control: a scroll bar that took the focus when the window was
    // activated would swallow Page Up and Page Down.
    scroll->horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
    scroll->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    scroll->setBackgroundRole(QPalette::Base);
    QWidget* pending = notebook_->widget(index);
    notebook_->insertWidget(index, scroll);
    notebook_->removeWidget(pending);
    delete pending;
    pageViews_[static_cast<std::size_t>(index)] = view;
    form_.SetPage(index, page.get());
    page->SetLanguage(main_.CurrentLanguage());
    pageModels_.push_back(std::move(page));
}

void TMainForm::ConnectControls() {
    TControlPanel& p = *panel_;
    connect(p.OffOnlineButton, &QToolButton::clicked, this, [this] { DispatchKey(key::F5); });
    connect(p.UpLoadButton, &QToolButton::clicked, this, [this] { DispatchKey(key::F7); });
    connect(p.DownLoadButton, &QToolButton::clicked, this, [this] { DispatchKey(key::F8); });
    connect(p.IdleActiveButton, &QToolButton::clicked, this, [this] { DispatchKey(key::F9); });
    connect(p.NBLambdaActiveButton, &QToolButton::clicked, this, [this] { DispatchKey(key::F10); });
    connect(p.WBO2LambdaActiveButton, &QToolButton::clicked, this,
            [this] { DispatchKey(key::F11); });
    connect(p.LoggerButton, &QToolButton::clicked, this, [this] {
        online_->LoggerButtonClick();
        Render();
    });
    connect(p.KeyUpPanel, &QToolButton::clicked, this, [this] { KeyConfigClick(0); });
    connect(p.KeyDownPanel, &QToolButton::clicked, this, [this] { KeyConfigClick(1); });
    connect(p.AFRTopPanel, &TReadout::DoubleClicked, this, [this] {
        form_.AFRPanelDblClick();
        RenderDashboard();
    });
}

void TMainForm::FileMenuAboutToShow() {
    actions_.Print->setEnabled(form_.PrintEnabled());
    actions_.RestoreBackup->setEnabled(main_.RestoreBackupEnabled());
    actions_.CompareWithUnit->setEnabled(main_.CanCompareWithUnit());
}

void TMainForm::OptionsMenuAboutToShow() {
    const bool enabled = form_.InputConfigEnabled();
    actions_.InputConfig->setEnabled(enabled);
    actions_.LambdaControl->setEnabled(enabled);
    actions_.BackupOption->setChecked(form_.BackupBeforeDownload());
}

// Items are replaced only when the list changed: a click on an item repaints the check marks
// from inside that item's own signal, where the item must live on.
void TMainForm::PaintPortMenu() {
    const TPortMenu& menu = online_->PortMenu();
    QList<QAction*> actions = portMenu_->actions();
    bool same = actions.size() == static_cast<qsizetype>(menu.Items.size());
    for (qsizetype i = 0; same && i < actions.size(); ++i)
        same = actions[i]->text() == Q(menu.Items[static_cast<std::size_t>(i)]);
    if (!same) {
        portMenu_->clear();
        for (const std::string& item : menu.Items) {
            QAction* action = portMenu_->addAction(Q(item));
            action->setCheckable(true);
            connect(action, &QAction::triggered, this, [this, item] { online_->MComClick(item); });
        }
        actions = portMenu_->actions();
    }
    for (QAction* action : actions)
        action->setChecked(action->text().toStdString() == menu.Checked);
}

void TMainForm::MenuLanguageSelectClick(Language lang) {
    form_.MenuLanguageSelectClick(lang);
    ApplyLanguage(lang);
}

void TMainForm::ApplyLanguage(Language lang) {
    form_.ApplyLanguage(lang);
    // The simulated unit's item speaks the language too.
    if (online_)
        online_->CheckPortMenu();
    auto caption = [this](TMainText item) { return Q(form_.Caption(item)); };
    auto hint = [this](TMainText item) { return Q(form_.Hint(item)); };
    auto set = [&](QAction* action, TMainText item) {
        action->setText(caption(item));
        action->setStatusTip(hint(item));
    };
    actions_.English->setEnabled(form_.LanguageItemEnabled(Language::English));
    actions_.German->setEnabled(form_.LanguageItemEnabled(Language::German));

    fileMenu_->setTitle(caption(TMainText::FileMenu));
    fileMenu_->menuAction()->setStatusTip(hint(TMainText::FileMenu));
    const TActions& a = actions_;
    const std::pair<QAction*, TMainText> items[] = {
        {a.New, TMainText::New},
        {a.Open, TMainText::Open},
        {a.Save, TMainText::Save},
        {a.SaveAs, TMainText::SaveAs},
        {a.Print, TMainText::Print},
        {a.PrinterSetup, TMainText::PrinterSetup},
        {a.Close, TMainText::Close},
        {a.English, TMainText::English},
        {a.German, TMainText::German},
        {a.KeyConfig, TMainText::KeyConfig},
        {a.InputConfig, TMainText::InputConfig},
        {a.Connect, TMainText::Connect},
        {a.Download, TMainText::Download},
        {a.Upload, TMainText::Upload},
        {a.IdleControl, TMainText::IdleControl},
        {a.LambdaControl, TMainText::LambdaControl},
        {a.DataLogger, TMainText::DataLogger},
        {a.About, TMainText::About},
        {a.Info, TMainText::Info},
    };
    for (const auto& [action, item] : items)
        set(action, item);
    for (QAction* recent : actions_.Recent)
        recent->setStatusTip(hint(TMainText::RecentFile));
    actions_.RestoreBackup->setText(Q(BackupText(TBackupText::RestoreItem, lang)));
    actions_.BackupOption->setText(Q(BackupText(TBackupText::BackupOption, lang)));
    actions_.CompareWithFile->setText(
        QString::fromUtf8(CompareWithFileMenuText().Pick(lang)));
    actions_.CompareWithUnit->setText(QString::fromUtf8(CompareWithUnitMenuText().Pick(lang)));

    optionsMenu_->setTitle(caption(TMainText::OptionsMenu));
    portMenu_->setTitle(caption(TMainText::ComPortMenu));
    languageMenu_->setTitle(caption(TMainText::LanguageMenu));
    windowMenu_->setTitle(caption(TMainText::WindowMenu));
    actions_.OpenLog->setText(Q(LogViewTexts(lang).OpenLogMenu));
    if (logView_)
        logView_->ApplyLanguage(lang);
    actions_.Autotune->setText(Q(TuneText(TTuneText::MenuItem, lang)));
    if (autotuneWindow_)
        autotuneWindow_->ApplyLanguage(lang);
    helpMenu_->setTitle(caption(TMainText::HelpMenu));
    // F1 itself is caught with the operating keys; the menu only names it.
    actions_.KeyReference->setText(caption(TMainText::KeyReference) + QStringLiteral("\tF1"));

    TControlPanel& p = *panel_;
    const std::pair<QLabel*, TMainText> labels[] = {
        {p.RotDispLabel, TMainText::EngineSpeedLabel},
        {p.PotiDispLabel, TMainText::ThrottleLabel},
        {p.OutputDispLabel, TMainText::OutputLabel},
        {p.FullLedLabel, TMainText::FullLoadLabel},
        {p.LinkTitle, TMainText::LinkGroup},
        {p.EngineTitle, TMainText::EngineGroup},
        {p.IdleGaugeLabel, TMainText::IdleActuatorLabel},
        {p.NBLambdaTitle, TMainText::NarrowBandPanel},
        {p.WBO2LambdaTitle, TMainText::WideBandPanel},
        {p.NBCorrectionLabel, TMainText::CorrectionLabel},
        {p.WBO2CorrectionLabel, TMainText::CorrectionLabel},
        {p.NBActiveLabel, TMainText::ActiveLed},
        {p.WBO2ActiveLabel, TMainText::ActiveLed},
        {p.WBO2ErrorLabel, TMainText::ErrorLed},
        {p.StepKeysLabel, TMainText::StepKeysLabel},
    };
    for (const auto& [label, item] : labels)
        label->setText(caption(item));
    p.IdleLedLabel->setText(Q(form_.IdleContactLabel()));
    p.KeyUpPanel->setToolTip(caption(TMainText::StepUpHint));
    p.KeyDownPanel->setToolTip(caption(TMainText::StepDownHint));

    const std::pair<QToolButton*, TMainText> keyButtons[] = {
        {p.OffOnlineButton, TMainText::F5Button},
        {p.UpLoadButton, TMainText::F7Button},
        {p.DownLoadButton, TMainText::F8Button},
        {p.IdleActiveButton, TMainText::F9Button},
        {p.NBLambdaActiveButton, TMainText::F10Button},
        {p.WBO2LambdaActiveButton, TMainText::F11Button},
        {p.LoggerButton, TMainText::LoggerButton},
    };
    const char* const keyNames[] = {"F5", "F7", "F8", "F9", "F10", "F11", ""};
    int i = 0;
    for (const auto& [button, item] : keyButtons) {
        const QString key = QString::fromLatin1(keyNames[i++]);
        button->setText(key.isEmpty() ? caption(item) : key + QStringLiteral("  ") + caption(item));
        button->setToolTip(hint(item));
        button->setStatusTip(hint(item));
    }
    const std::pair<QAction*, TMainText> toolButtons[] = {{newButton_, TMainText::NewButton},
                                                          {openButton_, TMainText::OpenButton},
                                                          {saveButton_, TMainText::SaveButton},
                                                          {exitButton_, TMainText::ExitButton}};
    for (const auto& [action, item] : toolButtons) {
        action->setToolTip(hint(item));
        action->setStatusTip(hint(item));
    }

    for (int page = 0; page < kPageCount; ++page) {
        actions_.Pages[static_cast<std::size_t>(page)]->setText(
            QString::fromUtf8(PageName(page, lang)));
    }
    for (QLabel* pending : notebook_->findChildren<QLabel*>(QStringLiteral("pendingText"))) {
        pending->setText(caption(TMainText::PagePending));
    }
    pageNamePanel_->setText(Q(form_.PageNamePanel()));
    pageSelect_.SetLanguage(lang);
    keyConfig_.SetLanguage(lang);
    introPage_->SetLanguage(lang);
    deviceTypePanel_->setToolTip(caption(TMainText::DeviceTypeHint));
    serialNoPanel_->setToolTip(caption(TMainText::SerialNoHint));
    verLevelPanel_->setToolTip(caption(TMainText::VersionHint));
    firmwarePanel_->setToolTip(caption(TMainText::FirmwareHint));
    logNumPanel_->setToolTip(caption(TMainText::LogNumberHint));
    UpdateDateTimePanel();
    RenderDashboard();
}

}  // namespace zv::gui
