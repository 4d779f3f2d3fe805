// The main window's wiring, offscreen: menus, buttons and keys reach core, the language switch
// re-captions, settings survive a restart in a real settings file, and the program goes online
// against the built-in simulated unit on real timers.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QAbstractButton>
#include <QTableView>
#include <QStyle>
#include <QComboBox>
#include <QDir>
#include <QStatusBar>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QScrollArea>
#include <QSettings>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <csignal>
#include <cstdlib>
#include <set>
#include <sstream>

#include "app/control_panel.h"
#include "app/signal_bridge.h"
#include "app/single_instance.h"
#include "dialogs/key_reference_dialog.h"
#include "dialogs/page_select_window.h"
#include "main_window_fixture.h"
#include "online/online_mode.h"
#include "paced/paced_sim_port.h"
#include "pages/comment_page_view.h"
#include "pages/lamp_form_view.h"
#include "pages/logger_page_view.h"
#include "seams/qt_dialogs.h"
#include "widgets/key_control_widget.h"
#include "widgets/readout.h"
#ifdef ZVSIM_PATH
#include "zvsim_process.h"
#endif

namespace zv::test {
namespace {

// A settings file whose unclosed section header makes QSettings report a format error on read.
void WriteDamagedBytes(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings/Files]\nName0=/data/old.zvt\n[Settings/Opt\xff\xfe\nLanguage=english\n");
    file.close();
}

// The bytes are shown to be damaged on a copy: QSettings shares what it read of a file among
// all its objects in the process, so reading the file itself here would leave the error with
// this reader and hide it from the store under test.
void WriteDamagedSettings(const QString& path) {
    const QString probe = path + QStringLiteral(".probe");
    WriteDamagedBytes(probe);
    ASSERT_EQ(QSettings(probe, QSettings::IniFormat).status(), QSettings::FormatError);
    WriteDamagedBytes(path);
}

bool StatusBarShows(QMainWindow& form, const QString& text) {
    for (const QLabel* label : form.statusBar()->findChildren<QLabel*>()) {
        if (label->isVisible() && label->text() == text)
            return true;
    }
    return false;
}

// The clock at the status bar's end is never cut, in either language: its panel holds the
// widest date and time the panel can show at the font it is drawn in.
TEST_F(MainWindow, TheClockPanelHoldsItsTextInBothLanguages) {
    auto form = Start(dataFile);
    auto* clock = form->statusBar()->findChild<QLabel*>(QStringLiteral("DateTimePanel"));
    ASSERT_NE(clock, nullptr);
    const QFontMetrics fm = clock->fontMetrics();
    for (const char* widest : {" 12/28/2028  11:58:58p", " 28.12.2028  23:58:58"})
        EXPECT_GE(clock->minimumWidth(), fm.horizontalAdvance(QString::fromLatin1(widest)))
            << widest;
    form->Actions().German->trigger();
    EXPECT_GE(clock->width(), fm.horizontalAdvance(clock->text()));
    form->Actions().English->trigger();
    form->resize(1366, form->height());
    QApplication::processEvents();
    EXPECT_GE(clock->width(), fm.horizontalAdvance(clock->text())) << clock->text().toStdString();
}

TEST_F(MainWindow, MenusButtonsAndKeysReachCore) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000))
        << "the start-up file opens";
    EXPECT_TRUE(form->windowTitle().endsWith(QString::fromStdString(dataFile)));
    const auto& a = form->Actions();
    gui::TControlPanel& panel = form->Panel();

    // F9 by its button and by its key: the flags word follows, the menu item shows it.
    const std::uint16_t flags = form->Model().Data().DeviceData.FlagsWord();
    QTest::mouseClick(panel.IdleActiveButton, Qt::LeftButton);
    EXPECT_NE(form->Model().Data().DeviceData.FlagsWord() & 1, flags & 1);
    EXPECT_EQ(panel.IdleActiveButton->isChecked(), a.IdleControl->isChecked());
    QTest::keyClick(&form->KeySink(), Qt::Key_F9);
    EXPECT_EQ(form->Model().Data().DeviceData.FlagsWord(), flags);
    EXPECT_TRUE(a.Save->isEnabled()) << "a switched key marks the data set modified";

    // F5 from the menu goes online, pressed again it starts going offline.
    a.Connect->trigger();
    EXPECT_TRUE(panel.OffOnlineButton->isChecked());
    EXPECT_TRUE(a.Connect->isChecked());
    EXPECT_EQ(dialogs.Boxes.back().Text, "Data Changed") << "offline changes are reported first";
    a.Connect->trigger();
    EXPECT_FALSE(panel.OffOnlineButton->isChecked());
    ASSERT_TRUE(WaitForIdle(*form));

    // Esc on the page shows the page selection; the arrows preview, Enter chooses.
    QTest::keyClick(&form->KeySink(), Qt::Key_Escape);
    ASSERT_TRUE(form->PageSelect().Visible());
    const int before = form->Notebook().currentIndex();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_NE(form->Notebook().currentIndex(), before);
    const int chosen = form->Notebook().currentIndex();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(form->PageSelect().Visible());
    EXPECT_EQ(form->FormModel().PageOnView(), chosen);
    EXPECT_TRUE(a.Pages[static_cast<std::size_t>(chosen)]->isVisible());
    EXPECT_FALSE(a.Pages[static_cast<std::size_t>(chosen)]->isEnabled())
        << "the page shown is not offered again";
    a.Pages[0]->trigger();
    EXPECT_EQ(form->Notebook().currentIndex(), 0);

    // Closing with unsaved changes asks; Cancel keeps the window.
    dialogs.Answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    dialogs.Answers = {MsgAnswer::No};
    EXPECT_TRUE(form->close());
}

// The page list shown at start has the keys, as a fresh start promises: Down, Down, Enter chooses
// the third page of the list, also after a data file was opened or the unit's data taken over
// behind it (both give the key control the focus).
TEST_F(MainWindow, ThePageListShownAtStartTakesTheKeys) {
    for (const bool online : {false, true}) {
        SCOPED_TRACE(online ? "data taken over from the built-in unit" : "data file opened");
        auto form = online ? Start("", 30) : Start(dataFile);
        if (online) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
        } else {
            ASSERT_TRUE(WaitForIdle(*form));
            ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
        }
        QApplication::processEvents();
        ASSERT_TRUE(form->PageSelect().Visible());
        const int start = form->FormModel().PageOnView();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        const int previewed = form->Notebook().currentIndex();
        EXPECT_NE(previewed, start) << "the arrows move through the list";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(form->PageSelect().Visible());
        EXPECT_EQ(form->FormModel().PageOnView(), previewed);
        dialogs.Answers = {MsgAnswer::No};
        form->close();
    }
}

// Mixture lamps with a narrowband input take the thresholds off the shift lamp page, and the
// curve download button with them; the page's keys then leave the thresholds alone.
TEST_F(MainWindow, MixtureLampsHideTheThresholdsWithTheirDownloadButton) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    auto& image = form->Model().Data().DeviceData.Image;
    auto* view = form->findChild<gui::TLampFormView*>();
    ASSERT_NE(view, nullptr);
    auto downloadButton = [view] {
        QToolButton* found = nullptr;
        for (auto* button : view->findChildren<QToolButton*>()) {
            if (button->text().contains('\n'))  // "Download" and "Curve" on two lines
                found = button;
        }
        return found;
    };
    const auto& a = form->Actions();
    for (const auto& [flags, shown] : {std::pair{0x0000, true}, std::pair{0x0014, false}}) {
        SCOPED_TRACE(flags);
        form->Model().Data().DeviceData.SetFlagsWord(static_cast<std::uint16_t>(flags));
        image[6] = 164;  // green threshold
        a.Pages[0]->trigger();
        a.Pages[9]->trigger();
        ASSERT_TRUE(view->isVisible());
        QToolButton* button = downloadButton();
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->isVisible(), shown);
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Up})
            QTest::keyClick(&form->KeySink(), key);
        EXPECT_EQ(image[6], shown ? 165 : 164);
    }
    dialogs.Answers = {MsgAnswer::No};
    form->close();
}

TEST_F(MainWindow, LanguageSwitchRecaptionsEverythingAndIsKept) {
    auto form = Start(dataFile);
    const auto& a = form->Actions();
    a.German->trigger();
    EXPECT_EQ(form->FileMenu()->title(), QString::fromUtf8("&Datei"));
    EXPECT_EQ(a.Upload->text(), QString::fromUtf8("Daten lesen"));
    EXPECT_EQ(form->Panel().OffOnlineButton->text(), QString::fromUtf8("F5  Verbinden"));
    EXPECT_EQ(form->Panel().RotDispLabel->text(), QString::fromUtf8("Drehzahl  [U/min]"));
    EXPECT_EQ(form->Panel().OffOnlineButton->toolTip(),
              QString::fromUtf8("(F5) Verbindung zum Steuergerät aufbauen"));
    EXPECT_EQ(a.Pages[1]->text(), QString::fromUtf8("Kennfeld"));
    EXPECT_FALSE(a.German->isEnabled());
    EXPECT_TRUE(a.English->isEnabled());
    EXPECT_EQ(form->PageSelect().Caption(), "Seitenauswahl");
    EXPECT_EQ(Stored("Settings/Options/Language").toString(), "german");

    a.English->trigger();
    EXPECT_EQ(form->FileMenu()->title(), QString::fromUtf8("&File"));
    EXPECT_EQ(form->Panel().OffOnlineButton->text(), QString::fromUtf8("F5  Connect"));
    EXPECT_EQ(Stored("Settings/Options/Language").toString(), "english");
}

TEST_F(MainWindow, SettingsSurviveARestart) {
    {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue("Settings/Com/Port", 150);
        ini.setValue("Settings/Options/WBO2DispOnF", "maybe");
        ini.setValue("Settings/Options/KeyUpSmallCode", 66);
        ini.setValue("Settings/Options/Language", "german");
    }
    auto form = Start(dataFile);
    EXPECT_EQ(form->Online().ComPortNo, 0) << "a port of 100 or more is taken as 0";
    EXPECT_EQ(Stored("Settings/Options/WBO2DispOnF").toInt(), 0)
        << "an unreadable value is written with its default";
    EXPECT_EQ(form->Panel().KeyUpPanel->text(), QString::fromUtf8("▲ B"));
    EXPECT_EQ(form->Actions().Upload->text(), QString::fromUtf8("Daten lesen"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    form->showNormal();
    form->setGeometry(40, 60, 1000, 700);
    ASSERT_TRUE(form->close());
    form.reset();
    EXPECT_EQ(Stored("Settings/Options/Windowstate").toString(), "Normal");
    EXPECT_EQ(Stored("Settings/Options/WindowNormalPlace").toString(), "40,60,1000,700");
    EXPECT_EQ(Stored("Settings/Files/Name0").toString().toStdString(), dataFile);
    EXPECT_EQ(Stored("Settings/Files/NumFiles").toInt(), 1);

    auto again = Start("");
    ASSERT_EQ(again->Actions().Recent.size(), 1u);
    EXPECT_EQ(again->Actions().Recent[0]->text().toStdString(), "&1  " + dataFile);
    again->Actions().Recent[0]->trigger();
    EXPECT_EQ(again->Model().Data().FileName, dataFile) << "the recent-file item opens its file";
}

// Options > Backup before download: on at the first start, and a click switches the link's
// download and the stored setting together.
TEST_F(MainWindow, TheBackupOptionReachesTheSettingAndTheLink) {
    auto form = Start(dataFile);
    emit form->OptionsMenu()->aboutToShow();
    QAction& option = *form->Actions().BackupOption;
    EXPECT_TRUE(option.isChecked());
    EXPECT_EQ(form->Online().DownloadSequence(), TSequence::BackupDownload);
    EXPECT_EQ(Stored("Settings/Options/BackupBeforeDownload").toInt(), 1) << "written with its default";
    option.trigger();
    EXPECT_EQ(form->Online().DownloadSequence(), TSequence::Download);
    EXPECT_EQ(Stored("Settings/Options/BackupBeforeDownload").toInt(), 0);
    emit form->OptionsMenu()->aboutToShow();
    EXPECT_FALSE(option.isChecked());
}

// Port 0 is no port. Neither it nor a stored port out of range reaches the built-in simulated
// unit, and without a port the program does not go online by itself.
TEST_F(MainWindow, NoStoredPortEverStartsTheSimulatedUnit) {
    for (const int stored : {100, 0, -3}) {
        SCOPED_TRACE(stored);
        QSettings(Ini(), QSettings::IniFormat).setValue("Settings/Com/Port", stored);
        auto form = Start("");
        ASSERT_TRUE(WaitForIdle(*form));
        QTest::qWait(300);
        EXPECT_EQ(form->Online().ComPortNo, 0);
        EXPECT_EQ(form->Online().LinkState(), link::Idle);
        EXPECT_FALSE(form->Panel().OffOnlineButton->isChecked());
        EXPECT_FALSE(form->SimPort().IsOpen());
        EXPECT_FALSE(form->windowTitle().contains(QStringLiteral("Simulated")));
        EXPECT_TRUE(StatusBarShows(*form, QStringLiteral("No port chosen")));
        EXPECT_EQ(form->Model().Data().DeviceData.DeviceValid, 0);
    }
    QSettings(Ini(), QSettings::IniFormat).setValue("Settings/Com/Port", 99);
    auto form = Start("");
    EXPECT_EQ(form->Online().ComPortNo, 99) << "the last valid port is kept";
    EXPECT_TRUE(form->Panel().OffOnlineButton->isChecked()) << "a chosen port is gone online with";
    QTest::qWait(500);
    EXPECT_FALSE(form->SimPort().IsOpen()) << "COM99, not the simulated unit";
    EXPECT_TRUE(StatusBarShows(*form, QStringLiteral("COM99")));
    EXPECT_FALSE(form->windowTitle().contains(QStringLiteral("Simulated")));
}

// A step key the key configuration could never assign must not take Esc from the pages.
TEST_F(MainWindow, EscOpensThePageSelectionEvenWhenItWasStoredAsAStepKey) {
    {
        QSettings ini(Ini(), QSettings::IniFormat);
        ini.setValue("Settings/Options/KeyUpSmallCode", 27);
        ini.setValue("Settings/Options/KeyDownSmallCode", 265);
    }
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    EXPECT_EQ(form->KeyCtrl().KeyUpSmallCode, 65);
    EXPECT_EQ(form->KeyCtrl().KeyDownSmallCode, 63);
    EXPECT_EQ(form->Panel().KeyUpPanel->text(), QString::fromUtf8("▲ A"));
    form->Actions().Pages[1]->trigger();
    ASSERT_EQ(form->FormModel().PageOnView(), 1);
    if (form->PageSelect().Visible())
        form->PageSelect().Hide();
    form->KeySink().setFocus();
    const ImageBytes before = form->Model().Data().DeviceData.Image;
    QTest::keyClick(&form->KeySink(), Qt::Key_Escape);
    EXPECT_TRUE(form->PageSelect().Visible()) << "Esc shows the page selection";
    EXPECT_EQ(form->Model().Data().DeviceData.Image, before) << "and steps no cell";
    EXPECT_FALSE(form->Model().Modified());
}

// What the operator reads or uses on screen: every control, value widget and the text of every
// label (a label's layout room may reach across the page; only its text counts).
std::vector<QRect> ShownThings(const QWidget& window, const QWidget& list) {
    std::vector<QRect> things;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != &window || w == &list || list.isAncestorOf(w))
            continue;
        QRect local;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (!label->text().isEmpty())
                local = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                            label->sizeHint().boundedTo(label->size()), label->rect());
        } else if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
                   qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
                   qobject_cast<const QTableView*>(w) ||
                   (QByteArray(w->metaObject()->className()).startsWith("zv::gui::T") &&
                    !w->inherits("zv::gui::TPageView") && !w->inherits("zv::gui::TIntroPage"))) {
            local = w->rect();
        }
        if (!local.isEmpty())
            things.emplace_back(w->mapToGlobal(local.topLeft()), local.size());
    }
    return things;
}

// The page list, shown at start and by Esc, covers nothing of the page on view, on every page
// at both window sizes.
TEST_F(MainWindow, PageListCoversNothingOfThePageOnView) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    const gui::PageSelectWindow& list = form->PageSelectView();
    auto& data = form->Model().Data();
    for (const QSize size : {QSize(1366, 768), QSize(1920, 1080)}) {
        form->showNormal();
        form->setGeometry(QRect(QPoint(0, 0), size));
        for (const auto& [inputE, inputF] : {std::pair{1, 2}, std::pair{0, 0}}) {
            data.InputESelect = static_cast<std::uint8_t>(inputE);
            data.InputFSelect = static_cast<std::uint8_t>(inputF);
            form->PageSelect().SetPageMask(40);  // pages 4 and 5 with the lambda inputs, else 7 and 8
            for (int page = 1; page < 12; ++page) {
                if (!form->Actions().Pages[static_cast<std::size_t>(page)]->isVisible())
                    continue;
                SCOPED_TRACE(QStringLiteral("page %1 at %2x%3").arg(page).arg(size.width()).arg(size.height()).toStdString());
                form->Actions().Pages[static_cast<std::size_t>(page)]->trigger();
                if (form->PageSelect().Visible())
                    form->PageSelect().Hide();
                QTest::keyClick(&form->KeySink(), Qt::Key_Escape);
                ASSERT_TRUE(QTest::qWaitFor([&] { return list.isVisible(); }, 1000));
                QTest::qWait(20);  // the list moves once the page is laid out
                const QRect placed = list.frameGeometry();
                EXPECT_TRUE(QRect(form->mapToGlobal(QPoint(0, 0)), form->size()).contains(placed));
                for (const QRect& thing : ShownThings(*form, list))
                    EXPECT_FALSE(placed.intersects(thing)) << "list " << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height() << " covers " << thing.x() << "," << thing.y()
                                                           << " " << thing.width() << "x" << thing.height();
                form->PageSelect().HandleKey(27);
            }
        }
    }
}

// A page that needs more room than the window has scrolls; the window keeps to the screen. A
// page that fits shows no scroll bar, word-wrapped labels and all.
TEST_F(MainWindow, APageTooLargeForTheWindowScrollsAndOneThatFitsDoesNot) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    form->Model().Data().InputESelect = 2;  // wideband on input E: page 5
    form->PageSelect().SetPageMask(40);
    auto scrollOf = [&form](const char* viewClass) {
        for (QScrollArea* area : form->Notebook().findChildren<QScrollArea*>()) {
            if (area->widget() && area->widget()->inherits(viewClass))
                return area;
        }
        return static_cast<QScrollArea*>(nullptr);
    };
    QScrollArea* wideband = scrollOf("zv::gui::TWBO2FormView");
    QScrollArea* params = scrollOf("zv::gui::TParamFormView");
    ASSERT_TRUE(wideband && params);
    form->showNormal();

    form->Actions().Pages[5]->trigger();
    form->setGeometry(0, 0, 900, 600);
    QTest::qWait(50);
    EXPECT_EQ(form->width(), 900) << "the window is not widened past its size";
    EXPECT_TRUE(wideband->horizontalScrollBar()->isVisible());

    form->Actions().Pages[6]->trigger();
    form->setGeometry(0, 0, 1366, 768);
    QTest::qWait(50);
    EXPECT_FALSE(params->verticalScrollBar()->isVisible());
    EXPECT_FALSE(params->horizontalScrollBar()->isVisible());
}

// F1 and the Help menu show the keys of the page on view, with the operator's own step keys.
TEST_F(MainWindow, F1ShowsTheKeysOfThePageOnView) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    const Language lang = form->FormModel().CurrentLanguage();
    auto title = [&form] { return form->KeyReferenceView()->windowTitle(); };
    auto rowsWith = [&form](const QString& text) {
        return form->KeyReferenceView()->Table().findItems(text, Qt::MatchContains).size();
    };

    form->Actions().Pages[6]->trigger();
    ASSERT_EQ(form->FormModel().PageOnView(), 6);
    if (form->PageSelect().Visible())
        form->PageSelect().Hide();
    form->KeySink().setFocus();
    QTest::keyClick(&form->KeySink(), Qt::Key_F1);
    ASSERT_NE(form->KeyReferenceView(), nullptr);
    EXPECT_TRUE(form->KeyReferenceView()->isVisible());
    EXPECT_TRUE(title().endsWith(QString::fromUtf8(PageName(6, lang)))) << title().toStdString();
    EXPECT_EQ(rowsWith(QStringLiteral("] / A")), 1) << "the configured up key A steps +1";
    EXPECT_EQ(rowsWith(QStringLiteral("F11")), 1);
    form->KeyReferenceView()->close();

    form->Actions().Pages[1]->trigger();
    if (form->PageSelect().Visible())
        form->PageSelect().Hide();
    form->Actions().KeyReference->trigger();
    EXPECT_TRUE(form->KeyReferenceView()->isVisible());
    EXPECT_TRUE(title().endsWith(QString::fromUtf8(PageName(1, lang)))) << title().toStdString();
    EXPECT_EQ(rowsWith(QStringLiteral("+ / A")), 1) << "the map steps on the pad, +/- and A";
}

// A signal closes the program as its close button does: the settings and the recent files are
// written, and no box holds the exit, even after the settings file was read with damaged bytes.
TEST_F(MainWindow, SigtermWritesTheSettingsAndShowsNoBox) {
    WriteDamagedSettings(Ini());
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    dialogs.Boxes.clear();
    gui::TSignalBridge bridge([&form] { form->close(); });
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 3000));
    EXPECT_TRUE(dialogs.Boxes.empty()) << (dialogs.Boxes.empty() ? "" : dialogs.Boxes[0].Text);
    form.reset();
    EXPECT_EQ(Stored("Settings/Files/Name0").toString().toStdString(), dataFile);
    EXPECT_EQ(Stored("Settings/Files/NumFiles").toInt(), 1);
    EXPECT_FALSE(Stored("Settings/Options/Windowstate").toString().isEmpty());
    EXPECT_EQ(QSettings(Ini(), QSettings::IniFormat).status(), QSettings::NoError)
        << "the damaged file was written anew";
}

// SIGTERM while F8 writes into the unit: the window waits for the download, says on stderr that
// it waits and what the unit holds then, and closes without a question.
TEST_F(MainWindow, SigtermDuringADownloadWaitsForItAndSaysWhatTheUnitHolds) {
    auto form = Start("", 30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
    form->Online().DispatchKey(key::F5);
    ASSERT_TRUE(WaitForIdle(*form));
    form->Online().DispatchKey(key::F8);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Online().Panels().ComState == "ZV map download"; }, 30000));
    dialogs.Boxes.clear();
    std::ostringstream said;
    std::streambuf* const cerr = std::cerr.rdbuf(said.rdbuf());
    gui::TSignalBridge bridge([&form] { form->CloseOnSignal(); });
    ASSERT_EQ(::raise(SIGTERM), 0);
    const bool closed = QTest::qWaitFor([&] { return !form->isVisible(); }, 30000);
    std::cerr.rdbuf(cerr);
    ASSERT_TRUE(closed);
    EXPECT_NE(said.str().find("waiting for the transfer into the unit to end (ZV map download)"),
              std::string::npos) << said.str();
    EXPECT_NE(said.str().find("- fuel map: the PC's"), std::string::npos) << said.str();
    EXPECT_TRUE(dialogs.Boxes.empty()) << (dialogs.Boxes.empty() ? "" : dialogs.Boxes[0].Text);
    // The sequence has left its download states (offline, or already idle half a second later).
    EXPECT_GE(form->Online().LinkState(), link::Offline) << "the download ended before the close";
}

// QSettings keeps the format error of its first read; only a write that failed is an error.
TEST(QtSettingsStoreFlush, ReportsAFailedWriteButNotADamagedFileItReplaced) {
    QTemporaryDir dir;
    const QString damaged = dir.filePath("damaged.ini");
    WriteDamagedSettings(damaged);
    gui::QtSettingsStore store(damaged);
    store.WriteString("Files", "Name0", "/data/a.zvt");
    EXPECT_TRUE(store.Flush());
    EXPECT_EQ(QSettings(damaged, QSettings::IniFormat).value("Settings/Files/Name0").toString(),
              QStringLiteral("/data/a.zvt"));

    // A folder that cannot be made (a file of its name is in the way) refuses even root.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    gui::QtSettingsStore unwritable(dir.filePath("blocker/settings.ini"));
    unwritable.WriteString("Files", "Name0", "/data/a.zvt");
    EXPECT_FALSE(unwritable.Flush());

    // A damaged file whose folder is gone and cannot be made again.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    const QString lost = dir.filePath("gone/settings.ini");
    WriteDamagedSettings(lost);
    gui::QtSettingsStore lostStore(lost);
    ASSERT_TRUE(QDir(dir.filePath("gone")).removeRecursively());
    QFile inTheWay(dir.filePath("gone"));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    lostStore.WriteString("Files", "Name0", "/data/a.zvt");
    EXPECT_FALSE(lostStore.Flush());
}

TEST_F(MainWindow, GoesOnlineWithTheBuiltInUnitAndShowsLiveValues) {
    auto form = Start("", 30);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
    std::set<QString> readings;
    const gui::TControlPanel& panel = form->Panel();
    const bool moving = QTest::qWaitFor(
        [&] {
            const QString rpm = panel.RotDispPanel->Text();
            if (!rpm.isEmpty())
                readings.insert(rpm + ' ' + panel.PotiDispPanel->Text() + ' ' +
                                panel.OutputDispPanel->Text());
            return readings.size() >= 3;
        },
        8000);
    EXPECT_TRUE(moving) << "the live values move on the dashboard";
    bool deviceShown = false;
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        deviceShown = deviceShown || (label->isVisible() && label->text() == "ZV_00000003");
    }
    EXPECT_TRUE(deviceShown) << "the identified unit's type is in the status bar";
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral("  [Simulated unit]")));
    EXPECT_TRUE(StatusBarShows(*form, QStringLiteral("Simulated unit")));

    QTest::keyClick(&form->KeySink(), Qt::Key_F5);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Offline"; }, 3000));
    EXPECT_FALSE(form->Panel().OffOnlineButton->isChecked());
    EXPECT_TRUE(form->Panel().RotDispPanel->Text().isEmpty());
}

#ifdef ZVSIM_PATH
// A unit on a pseudo-terminal, linked into the port directory as COM7 while the program is
// online with its built-in unit: the menu offers it, choosing it connects to it and is kept.
TEST_F(MainWindow, APortThatArrivesIsOfferedAndChoosingItConnects) {
    auto form = Start("", 30);
    const auto item = [&](const QString& name) -> QAction* {
        for (QAction* action : form->PortMenu()->actions()) {
            if (action->text() == name)
                return action;
        }
        return nullptr;
    };
    ASSERT_NE(item("Simulated unit"), nullptr);
    EXPECT_TRUE(item("Simulated unit")->isChecked());
    EXPECT_EQ(item("COM7"), nullptr);

    Zvsim unit({"--com", "7", "--firmware", "38"});
    ASSERT_TRUE(unit.Ready());
    ASSERT_TRUE(QTest::qWaitFor([&] { return item("COM7") != nullptr; }, 3000))
        << "a port that arrives is in the menu within a few seconds";
    item("COM7")->trigger();
    EXPECT_TRUE(item("COM7")->isChecked());
    EXPECT_FALSE(item("Simulated unit")->isChecked());
    EXPECT_EQ(Stored("Settings/Com/Port").toInt(), 7);
    EXPECT_EQ(Stored("Settings/Com/SimulatedUnit").toInt(), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return form->Online().Panels().ComState == "Run Online" &&
                   form->Model().Data().DeviceData.Firmware == 38;
        },
        20000))
        << "the program went online with the unit behind COM7, not the built-in one";

    unit.Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return item("COM7") == nullptr; }, 3000))
        << "a port that goes leaves the menu";
}
#endif

TEST(SingleInstance, SecondRunRefusedAndACrashedRunLeavesNoLock) {
    QTemporaryDir dir;
    const QString path = dir.filePath("zv.lock");
    {
        gui::TSingleInstance first(path);
        ASSERT_TRUE(first.Acquire());
        gui::TSingleInstance second(path);
        EXPECT_FALSE(second.Acquire());
    }
    // A lock left by a process that no longer exists.
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147480000\nzvcontrol\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    gui::TSingleInstance next(path);
    EXPECT_TRUE(next.Acquire());
}

TEST(QtDialogsFilter, TextTableFiltersBecomeQtFilters) {
    EXPECT_EQ(gui::QtDialogs::FileFilter("Zevrin data files(*.zvt)|*.zvt|All files (*.*)|*.*"),
              QString::fromUtf8("Zevrin data files(*.zvt);;All files (*.*)"));
    EXPECT_EQ(gui::QtDialogs::FileFilter("Logs|*.log"), QString::fromUtf8("Logs (*.log)"));
}

// Without a printer Print writes the sheet as a PDF beside the data file and offers to open it;
// a 40-line comment turns the PDF's page.
TEST_F(MainWindow, PrintWithoutPrinterWritesThePdfBesideTheDataFile) {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    auto lines = NewFileLines();
    for (int k = 1; k <= 40; ++k)
        lines.push_back("Comment line " + std::to_string(k));
    QFile file(QString::fromStdString(dataFile));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(ToFileText(lines)));
    file.close();
    auto form = Start(dataFile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 5000));
    dialogs.Boxes.clear();
    dialogs.Answers = {MsgAnswer::No};
    emit form->FileMenu()->aboutToShow();
    ASSERT_TRUE(form->Actions().Print->isEnabled());
    form->Actions().Print->trigger();
    const QString pdf = dir.filePath("car data sheet.pdf");
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_GT(QFile(pdf).size(), 1000);
    const std::string pages = "pdfinfo '" + pdf.toStdString() + "' | grep -q '^Pages: *2$'";
    EXPECT_EQ(std::system(pages.c_str()), 0) << "the comment continues on a second page";
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_NE(dialogs.Boxes[0].Text.find(pdf.toStdString()), std::string::npos)
        << dialogs.Boxes[0].Text;
    EXPECT_EQ(dialogs.Boxes[0].Buttons, MsgButtons::YesNo);
}

// The Logger button records the built-in unit's records; the menu item asks before it quits.
TEST_F(MainWindow, LoggerButtonRecordsAndTheMenuAsksBeforeQuitting) {
    auto form = Start("", 30);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
    const std::string log = dir.filePath("drive.L00").toStdString();
    dialogs.SaveChoices = {log};
    QTest::mouseClick(form->Panel().LoggerButton, Qt::LeftButton);
    EXPECT_TRUE(form->Actions().DataLogger->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->DataLogger().LineCount >= 3; }, 5000));
    // Marks go into the running log from the M key and the Mark button, not from typing.
    form->Actions().Pages[10]->trigger();
    auto& page = static_cast<gui::TDLoggerView&>(*form->PageView(10));
    EXPECT_TRUE(page.MarkButton().isEnabled());
    QTest::keyClick(&page.ClearBufferButton(), Qt::Key_M);
    QTest::mouseClick(&page.MarkButton(), Qt::LeftButton);
    QTest::keyClicks(&page.CommentEditor(), "Mm");
    EXPECT_EQ(form->DataLogger().MarkCount, 2);
    dialogs.Boxes.clear();
    form->Actions().DataLogger->trigger();
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Kind, MsgKind::Confirmation);
    EXPECT_FALSE(form->Panel().LoggerButton->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->DataLogger().IsOpen; }, 3000));
    QFile file(QString::fromStdString(log));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.value(1), QByteArray("; Zevrin plus Log file\r"));
    EXPECT_EQ(lines.size(), 8 + form->DataLogger().LineCount + 2 + 3 + 1);
    const auto marks = std::count_if(lines.begin(), lines.end(), [](const QByteArray& line) {
        return line.startsWith("; ") && line.contains(" Mark ");
    });
    EXPECT_EQ(marks, 2);
    EXPECT_FALSE(page.MarkButton().isEnabled()) << "no log open";
}

// What is typed on the comment page lands in the saved file; the logger page shows a log.
TEST_F(MainWindow, CommentPageIsSavedAndTheLoggerPageShowsALog) {
    auto form = Start(dataFile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 5000));
    const auto& a = form->Actions();
    // The window's own focus: offscreen, no window stays the active one.
    const auto focusOn = [&](QWidget& widget) { return form->focusWidget() == &widget; };
    form->PageSelect().HandleKey(27);  // the page selection shown at start steps back
    a.Pages[11]->trigger();
    auto& comment = static_cast<gui::TCommentFormView&>(*form->PageView(11));
    EXPECT_TRUE(focusOn(comment.CommentMemo())) << "the editor takes the keys";
    EXPECT_FALSE(form->Model().Modified()) << "the file's comment fills the editor unchanged";
    QTest::keyClicks(&comment.CommentMemo(), "Tuned on the dyno ");
    EXPECT_TRUE(form->Model().Modified());
    form->Render();
    a.Save->trigger();
    QFile saved(QString::fromStdString(dataFile));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Tuned on the dyno ")) << "the comment is in the file";
    QTest::keyClick(&comment.CommentMemo(), Qt::Key_Escape);
    EXPECT_TRUE(form->PageSelect().Visible());
    form->PageSelect().HandleKey(27);

    const QString log = dir.filePath("run.L05");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; log\r\nPCCnt\tLoopCnt\r\n\r\n0000120\t017\t\r\n");
    file.close();
    a.Pages[10]->trigger();
    auto& logger = static_cast<gui::TDLoggerView&>(*form->PageView(10));
    EXPECT_TRUE(focusOn(logger.ClearBufferButton()));
    QTest::keyClick(&logger.ClearBufferButton(), Qt::Key_Tab);
    EXPECT_TRUE(focusOn(logger.ShowLogDataButton()))
        << "Tab passes over Add Comment until a log was closed";
    QTest::keyClick(&logger.ShowLogDataButton(), Qt::Key_Tab);
    EXPECT_TRUE(focusOn(logger.CommentEditor()));
    dialogs.OpenChoices = {log.toStdString()};
    QTest::keyClick(&logger.ShowLogDataButton(), Qt::Key_Space);
    EXPECT_EQ(logger.FileNamePanel().text(), log);
    EXPECT_EQ(logger.ViewList().toPlainText(), QString("; log\nPCCnt\tLoopCnt\n\n0000120\t017\t"));
    dialogs.Answers = {MsgAnswer::No};
}

}  // namespace
}  // namespace zv::test
