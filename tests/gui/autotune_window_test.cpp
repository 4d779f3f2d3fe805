// The autotune window's wiring, offscreen: the Window menu opens it, a drag on the heat map
// chooses a block in the run, and Apply all writes the proposal into the working data set.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include "autotune/autotune_session.h"
#include "autotune/autotune_window.h"
#include "autotune/cell_heat_map.h"
#include "autotune/tune_fixture.h"
#include "main_window_fixture.h"
#include "temp_dir.h"
#include "tune_log_text.h"

namespace zv::test {
namespace {

class AutotuneWindow : public MainWindow {
  protected:
    // The autotune fixture's map in a firmware 30 data set, and a log with two off cells.
    void LoadTuneData(TMainForm& form) {
        TZVDataClass& data = form.Model().Data();
        data.DeviceData = TuneData().DeviceData;
        data.DeviceData.Firmware = 30;
        data.ImageToFields();
        data.Loaded = 1;
        logPath = logs.Write("run.L00", TuneLogText({kLean, kRich}));
    }

    TempDir logs;
    std::string logPath;
};

TEST_F(AutotuneWindow, TheWindowMenuOpensIt) {
    auto form = Start(dataFile);
    ASSERT_NE(form->Actions().Autotune, nullptr);
    EXPECT_EQ(form->Actions().Autotune->text(), QStringLiteral("Autotune…"));
    EXPECT_FALSE(form->AutotuneView().isVisible());
    form->Actions().Autotune->trigger();
    EXPECT_TRUE(form->AutotuneView().isVisible());
    EXPECT_EQ(form->AutotuneView().windowTitle(), QStringLiteral("Autotune"));
}

TEST_F(AutotuneWindow, ADragSelectsABlockAndApplyAllReachesTheModel) {
    auto form = Start(dataFile);
    LoadTuneData(*form);
    gui::TAutotuneWindow& window = form->AutotuneView();
    form->OpenAutotuneWithLog(logPath);
    form->OpenAutotuneWithLog(logPath);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    TAutotuneSession& session = form->Autotune();
    ASSERT_EQ(session.Logs().size(), 1u) << "a log comes in once";
    session.Settings().AfrMin = 10.0;
    session.Settings().AfrMax = 18.0;
    session.Settings().Smoothing = 0.0;  // the two off cells are neighbours
    QTest::mouseClick(&window.ComputeButton(), Qt::LeftButton);
    ASSERT_TRUE(session.Result());
    gui::TCellHeatMap& map = window.HeatMap();
    ASSERT_TRUE(map.HasCells());
    EXPECT_FALSE(window.ApplySelectionButton().isEnabled());

    QTest::mousePress(&map, Qt::LeftButton, {}, map.CellRect(3, 2).center().toPoint());
    const QPointF end = map.CellRect(1, 4).center();
    QMouseEvent move(QEvent::MouseMove, end, map.mapToGlobal(end), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&map, &move);
    QTest::mouseRelease(&map, Qt::LeftButton, {}, end.toPoint());
    EXPECT_EQ(session.Selection(), (TCellRect{1, 3, 2, 4}));
    EXPECT_TRUE(window.ApplySelectionButton().isEnabled());
    QTest::keyClick(&map, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(session.Selection(), (TCellRect{1, 3, 2, 5})) << "Shift+arrow stretches the block";

    // The block locked, its two off cells stay; freed again, they are proposed again.
    ASSERT_TRUE(window.LockBlockButton().isEnabled());
    QTest::mouseClick(&window.LockBlockButton(), Qt::LeftButton);
    EXPECT_TRUE(session.Settings().IsLocked(3, 3));
    ASSERT_TRUE(session.Result());
    EXPECT_EQ(session.Result()->ChangedCount(), 0);
    EXPECT_EQ(session.Selection(), (TCellRect{1, 3, 2, 5})) << "the block stays chosen";
    QTest::mouseClick(&window.LockBlockButton(), Qt::LeftButton);
    EXPECT_FALSE(session.Settings().IsLocked(3, 3));
    EXPECT_EQ(session.Result()->ChangedCount(), 2);

    QTest::mouseClick(&window.ApplyAllButton(), Qt::LeftButton);
    const ImageBytes& image = form->Model().Data().DeviceData.Image;
    EXPECT_EQ(image[FuelMapOffset(3, 3)], 110);
    EXPECT_EQ(image[FuelMapOffset(2, 3)], 95);
    EXPECT_EQ(form->Model().History().UndoCaption(Language::English), "Undo: Autotune 2 cells");
    EXPECT_FALSE(map.HasCells()) << "the proposal is used up";
    EXPECT_FALSE(window.ApplyAllButton().isEnabled());
}

}  // namespace
}  // namespace zv::test
