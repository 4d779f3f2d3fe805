// The narrowband lambda page's wiring, offscreen, online with the built-in unit: live records
// reach page 4 and its tendency shapes show what the page decided, the plot timer draws the
// probe's trace, and a click on a parameter panel selects it.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <algorithm>

#include "data/flag_bits.h"
#include "lambda/lambda_form.h"
#include "main_window_fixture.h"
#include "pages/lambda_form_view.h"
#include "pages/value_panel.h"
#include "widgets/lambda_scope.h"
#include "widgets/shape.h"

namespace zv::test {
namespace {

constexpr int kLambdaPage = 4;

// A new data set with the narrowband probe on input F and its controller switched on.
ImageBytes NarrowbandImage() {
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    TMainModel model(dialogs, settings);
    model.CreateNewDataSet("nb.zvt");
    TZVDataSet& set = model.Data().DeviceData;
    std::uint16_t flags = set.FlagsWord();
    TZVDataClass::SetFlag(flags, flag::TempInAsLambda);
    TZVDataClass::SetFlag(flags, flag::NarrowBandLambdaControl);
    set.SetFlagsWord(flags);
    return set.Image;
}

int CountPixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    return n;
}

class LambdaPage : public MainWindow {};

TEST_F(LambdaPage, LiveRecordsReachTheTendencyAndThePlot) {
    simImage = NarrowbandImage();
    auto form = Start("", 30);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
    QAction* pageItem = form->Actions().Pages[kLambdaPage];
    ASSERT_TRUE(QTest::qWaitFor([&] { return pageItem->isVisible(); }, 5000))
        << "the unit's data set offers the narrowband page";
    pageItem->trigger();
    auto* view = form->findChild<gui::TLambdaFormView*>();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isVisible());
    const TLambdaFormState& state = view->Model().State();

    ASSERT_TRUE(QTest::qWaitFor([&] { return state.Tendency != TTendency::None; }, 5000))
        << "a live record reached page 4";
    QTest::qWait(60);  // the main window's render tick
    const QList<gui::TShape*> shapes = view->findChildren<gui::TShape*>();
    std::vector<std::uint32_t> shown;
    for (gui::TShape* shape : shapes)
        shown.push_back(static_cast<std::uint32_t>(shape->Colour().rgb() & 0xFFFFFF));
    for (std::uint32_t colour : state.TendencyShapes)
        EXPECT_NE(std::find(shown.begin(), shown.end(), colour), shown.end())
            << "tendency colour " << std::hex << colour << " is painted";

    // The probe's trace is drawn in lime one column per 200 ms tick.
    gui::TLambdaScope& scope = view->Scope();
    const int column = view->Model().PlotColumn();
    const int before = CountPixels(scope.grab().toImage(), 0x00FF00);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->Model().PlotColumn() >= column + 3; }, 3000));
    EXPECT_GT(CountPixels(scope.grab().toImage(), 0x00FF00), before);

    auto* panel = view->findChildren<gui::TValuePanel*>().value(2);
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_EQ(state.Selected, 2);
    EXPECT_TRUE(state.PanelWhite[2]);
}

}  // namespace
}  // namespace zv::test
