// The log viewer's wiring: zvcontrol --log, the wheel on the plot, the replay into the fuel map
// page and the dashboard, and a file that is no log.
#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QWheelEvent>

#include "autotune/autotune_session.h"
#include "backup/unit_backup.h"
#include "autotune/autotune_window.h"
#include "logview/log_plot.h"
#include "logview/log_view_window.h"
#include "main_window_fixture.h"
#include "editors/map_form.h"
#include "pages/map_form_view.h"

namespace zv::test {
namespace {

class LogView : public MainWindow {
  protected:
    // A log of 40 lines a quarter second apart; engine speed and throttle climb line by line.
    std::string WriteLog() {
        std::string text =
            ";-----------------------------------------------\r\n; Zevrin plus Log file\r\n"
            "; Serial No.: ZP-1\r\n;-----------------------------------------------\r\n"
            "; Log opened: 2024-03-07  14:05:09\r\n"
            ";-----------------------------------------------\r\n"
            "PCCnt\tLoopCnt\tEngine Rpm\tTPS[%]\tIdle\tIdleVal\tInF_AFR\tCompF_AFR\tAnaInE\t"
            "CompEVal\tUFoto\tLMVal\tLMVal1\tLMVal2\tLMOut\tIdleContact\tWOTContact\t\r\n\r\n";
        for (int i = 0; i < 40; ++i) {
            char line[160];
            std::snprintf(line, sizeof line,
                          "%07d\t001\t%04d\t%4.1f\t000\t000\t14.7\t000\t000\t000\t000\t100\t000\t"
                          "000\t128\t0\t0\t\r\n",
                          i * 250, 1000 + i * 200, 5.0 + i * 2.0);
            text += line;
        }
        QFile file(dir.filePath("24030714.L05"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(text));
        return file.fileName().toStdString();
    }
};

TEST_F(LogView, CommandLineOpensTheViewerAndTheWheelZooms) {
    auto form = Start(dataFile, std::nullopt, WriteLog());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->LogView() != nullptr; }, 3000));
    gui::TLogViewWindow& view = *form->LogView();
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.windowTitle().endsWith(QStringLiteral(" — 24030714.L05")))
        << view.windowTitle().toStdString();
    EXPECT_EQ(view.Tabs().count(), 3);

    gui::TLogPlot& plot = view.Plot();
    const TLogViewModel& model = view.Viewer().Model();
    const double span = model.ViewEnd() - model.ViewStart();
    const QPointF at(plot.XOf(5.0), plot.PlotArea().center().y());
    QWheelEvent wheel(at, plot.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&plot, &wheel);
    EXPECT_LT(model.ViewEnd() - model.ViewStart(), span);
    EXPECT_NEAR(plot.TimeAt(at.x()), 5.0, 1e-6);  // the time under the pointer stays

    form->Actions().German->trigger();
    EXPECT_TRUE(view.windowTitle().startsWith(QStringLiteral("Log-Betrachter — ")));

    // The autotune tab hands the log to the autotune window.
    view.AutotuneButton().click();
    EXPECT_TRUE(form->AutotuneView().isVisible());
    ASSERT_EQ(form->Autotune().Logs().size(), 1u);
    EXPECT_EQ(form->Autotune().Logs()[0].Path, view.Path());
}

TEST_F(LogView, ReplayMovesTheFuelMapsOperatingPointAndTheDashboard) {
    auto form = Start(dataFile, std::nullopt, WriteLog());
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->LogView() != nullptr; }, 3000));
    form->Actions().Pages[1]->trigger();
    auto* page = form->findChild<gui::TMapFormView*>();
    ASSERT_NE(page, nullptr);
    const double startR = page->Model().State().Chart.MarkerR;
    EXPECT_FALSE(page->Model().State().Chart.MarkerVisible);
    gui::TLogViewWindow& view = *form->LogView();
    ASSERT_TRUE(view.PlayButton().isEnabled());
    view.Viewer().Replay().SetSpeed(16);
    view.PlayButton().click();
    // The dashboard follows the replay as it follows the unit, and rests when it stops.
    EXPECT_GT(form->Online().Dashboard().RotDispGauge, 0);
    EXPECT_FALSE(form->Online().Dashboard().RotDispPanel.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.Viewer().Replay().Playing(); }, 5000));
    EXPECT_EQ(form->Online().Dashboard().RotDispGauge, 0);
    EXPECT_TRUE(form->Online().Dashboard().RotDispPanel.empty());
    // The last line: 8800 rpm and 83 % lie above the first sites.
    EXPECT_GT(page->Model().State().Chart.MarkerR, startR);
    EXPECT_GT(page->Model().State().Chart.MarkerT, 0.0);
    EXPECT_TRUE(page->Model().State().Chart.MarkerVisible);  // offline too
    EXPECT_EQ(view.Viewer().Model().CursorLine(), 39u);
}

// The log of unit ZP-1 over the data set of ZP-2: the viewer says so and offers the newest
// backup of ZP-1, which its button opens.
TEST_F(LogView, ALogOfAnotherUnitOffersThatUnitsBackup) {
    std::string text = ToFileText(NewFileLines());
    const auto serial = text.find("SerialNo=unknown");
    ASSERT_NE(serial, std::string::npos);
    text.replace(serial, 16, "SerialNo=ZP-2");
    QFile file(dir.filePath("zp2.zvt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(text));
    file.close();

    auto form = Start(file.fileName().toStdString(), std::nullopt, WriteLog());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->LogView() != nullptr; }, 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    TZVDataSet unit;
    unit.Ident.SerialNo = "ZP-1";
    const TBackupSaved backup =
        SaveUnitBackup(unit, form->Model().DataFolder(), 1765188000, Language::English);
    ASSERT_TRUE(backup.Ok()) << backup.Error;
    gui::TLogViewWindow& view = *form->LogView();
    view.SetDataFolder(form->Model().DataFolder());
    ASSERT_TRUE(view.OwnBackupButton().isVisible());
    EXPECT_TRUE(view.OwnBackupButton().text().startsWith(
        QStringLiteral("Open the data set of ZP-1 (backup of ")));

    view.OwnBackupButton().click();
    EXPECT_EQ(form->Model().Data().FileName, backup.Path);
    EXPECT_FALSE(view.OwnBackupButton().isVisible()) << "the data set is the log's unit's now";
}

TEST_F(LogView, AFileThatIsNoLogIsSaidInABox) {
    auto form = Start(dataFile);
    EXPECT_FALSE(form->OpenLogView(dataFile));
    EXPECT_EQ(form->LogView(), nullptr);
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Kind, MsgKind::Error);
}

}  // namespace
}  // namespace zv::test
