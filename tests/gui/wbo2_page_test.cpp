// The wideband lambda page's wiring, offscreen: a click on the target grid gives it the main
// window's keys, which then move its cell and step the target; the view's plot timer draws the
// reading of the live records while online.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>

#include "lambda/wbo2_form.h"
#include "main_window_fixture.h"
#include "pages/wbo2_form_view.h"
#include "widgets/afr_grid.h"
#include "widgets/key_control_widget.h"
#include "widgets/lambda_scope.h"

namespace zv::test {
namespace {

bool LimeIn(gui::TLambdaScope& scope) {
    const QImage picture = scope.grab().toImage();
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixelColor(x, y) == QColor(0x00, 0xFF, 0x00))
                return true;
    return false;
}

class Wbo2PageView : public MainWindow {
  protected:
    // A data file with the wideband signal on pin F.
    void SetUp() override {
        std::vector<std::string> lines = NewFileLines();
        ASSERT_TRUE(ReplaceLine(lines, "TempInAsLambda=", "TempInAsLambda=1"));
        ASSERT_TRUE(ReplaceLine(lines, "AnaInFMode1=", "AnaInFMode1=1"));
        QFile file(dir.filePath("wideband.zvt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(ToFileText(lines)));
        dataFile = file.fileName().toStdString();
    }
    static gui::TWBO2FormView* ShowWbo2Page(TMainForm& form) {
        form.Actions().Pages[0]->trigger();
        form.Actions().Pages[5]->trigger();
        auto* view = form.findChild<gui::TWBO2FormView*>();
        return view != nullptr && view->isVisible() ? view : nullptr;
    }
};

TEST_F(Wbo2PageView, GridClickTakesTheKeysAndThePlotTimerDraws) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Model().Data().Loaded == 1; }, 3000));
    gui::TWBO2FormView* view = ShowWbo2Page(*form);
    ASSERT_NE(view, nullptr);
    TWBO2Form& page = view->Model();
    gui::TAfrGrid& grid = view->Grid();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(3, 2).center().toPoint());
    EXPECT_EQ(page.State().Selected, kWBO2GridField);
    EXPECT_EQ(page.State().GridCol, 3);

    auto& image = form->Model().Data().DeviceData.Image;
    gui::KeyControlWidget& keys = form->KeySink();
    QTest::keyClick(&keys, Qt::Key_Right);
    EXPECT_EQ(page.State().GridCol, 4);
    const std::size_t cell = img::AfrMap + 16 + 12;  // row 2, column 4
    image[cell] = 20;
    QTest::keyClick(&keys, Qt::Key_PageUp);
    EXPECT_EQ(image[cell], 30);
    EXPECT_EQ(page.State().Grid[2][4], "13.5");

    // Offline no record arrives: a record shown once does not keep the plot drawing.
    auto& live = form->Model().Data().LiveRecords.Live28;
    live.fill(0);
    live[5] = 102;
    live[18] = 0x40;
    page.ShowLiveFrame({TLiveLayout::Live28, live});
    gui::TLambdaScope& scope = view->Scope();
    ASSERT_TRUE(scope.isVisible());
    QTest::qWait(600);
    EXPECT_FALSE(LimeIn(scope)) << "offline the plot stands still";
}

TEST_F(Wbo2PageView, PlotTimerDrawsTheReadingOnline) {
    auto form = Start("", 37);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
    gui::TWBO2FormView* view = ShowWbo2Page(*form);
    ASSERT_NE(view, nullptr);
    gui::TLambdaScope& scope = view->Scope();
    ASSERT_TRUE(scope.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&scope] { return LimeIn(scope); }, 3000))
        << "the 200 ms timer draws the reading";
}

}  // namespace
}  // namespace zv::test
