// The main window's wiring, offscreen: menus, buttons and keys reach core, the language switch
// re-captions, settings survive a restart in a real settings file, and the program goes online
// against the built-in simulated unit on real timers.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <set>

#include "app/control_panel.h"
#include "app/single_instance.h"
#include "dialogs/page_select_window.h"
#include "main_window_fixture.h"
#include "online/online_mode.h"
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
    ASSERT_TRUE(form->close());
    form.reset();
    EXPECT_EQ(Stored("Settings/Options/Windowstate").toString(), "Normal");
    EXPECT_EQ(Stored("Settings/Files/Name0").toString().toStdString(), dataFile);
    EXPECT_EQ(Stored("Settings/Files/NumFiles").toInt(), 1);

    auto again = Start("");
    ASSERT_EQ(again->Actions().Recent.size(), 1u);
    EXPECT_EQ(again->Actions().Recent[0]->text().toStdString(), "&1  " + dataFile);
    again->Actions().Recent[0]->trigger();
    EXPECT_EQ(again->Model().Data().FileName, dataFile) << "the recent-file item opens its file";
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
    auto form = Start("");
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

// Without a printer Print writes the sheet as a PDF beside the data file and offers to open it.
TEST_F(MainWindow, PrintWithoutPrinterWritesThePdfBesideTheDataFile) {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
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
    EXPECT_EQ(lines.size(), 8 + form->DataLogger().LineCount + 3 + 1);
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
