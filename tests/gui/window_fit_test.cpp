// Windows and labels on short screens: a laptop's 1366 x 768, and 1920 x 1080 at 150 %, which
// leaves 1280 x 720 logical pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/comparison_dialog.h"
#include "widgets/comparison_grid.h"
#include "widgets/screen_fit.h"
#include "widgets/wrap_label.h"

namespace zv::test {
namespace {

// The frame adds 16 x 44; a window larger than the free area shrinks to it and keeps its title
// bar on the screen; a small one is centred on its parent and pushed back inside at the edges.
TEST(FitWindowPlaceTest, BoundsToTheFreeAreaAndCentresOnTheParent) {
    const QRect laptop(0, 0, 1366, 768);
    gui::TWindowPlace place = gui::FitWindowPlace({1200, 860}, laptop, laptop);
    EXPECT_EQ(place.Size, QSize(1200, 724));
    EXPECT_EQ(place.FrameTopLeft, QPoint(75, 0));
    place = gui::FitWindowPlace({1200, 860}, QRect(0, 0, 1280, 720), QRect(0, 0, 1280, 720));
    EXPECT_EQ(place.Size, QSize(1200, 676));
    EXPECT_EQ(place.FrameTopLeft, QPoint(32, 0));
    // A taskbar at the top: the free area starts below it.
    place = gui::FitWindowPlace({1400, 900}, QRect(0, 40, 1366, 728), laptop);
    EXPECT_EQ(place.Size, QSize(1350, 684));
    EXPECT_EQ(place.FrameTopLeft, QPoint(0, 40));

    place = gui::FitWindowPlace({680, 520}, laptop, QRect(100, 100, 800, 600));
    EXPECT_EQ(place.Size, QSize(680, 520));
    EXPECT_EQ(place.FrameTopLeft, QPoint(152, 118));
    place = gui::FitWindowPlace({680, 520}, laptop, QRect(1000, 0, 366, 300));
    EXPECT_EQ(place.FrameTopLeft, QPoint(670, 0));
}

TComparisonView TwoChangedCells() {
    TComparisonView view;
    view.Summary = "Differences in fuel map (cells) 2.";
    view.CloseButton = "Close";
    for (auto& row : view.Map)
        for (TCompareCell& cell : row)
            cell.Text = "151";
    view.Map[0][0] = {"61\n1", -3};
    view.Map[15][15] = {"80\n200", 3};
    TCompareList comments{"Comment", {}};
    for (int i = 1; i <= 6; ++i)
        comments.Rows.push_back({"Line " + std::to_string(i), "(none)", "a comment"});
    view.Lists.push_back(comments);
    return view;
}

// The window ends inside the free area with its Close button, and each grid row keeps room for
// a changed cell's two values.
TEST(ComparisonDialogTest, FitsShortScreensWithTwoValuesPerCell) {
    for (const QRect& available : {QRect(0, 0, 1366, 768), QRect(0, 0, 1280, 720)}) {
        SCOPED_TRACE(available.height());
        gui::TComparisonDialog dialog(TwoChangedCells(), nullptr);
        gui::FitToScreen(&dialog, {1200, 860}, available);
        dialog.show();
        const QRect frame(dialog.pos(), dialog.size() + QSize(2 * gui::kFrameSide,
                                                              gui::kFrameTop + gui::kFrameBottom));
        EXPECT_TRUE(available.contains(frame)) << frame.bottom();
        auto* close = dialog.findChild<QPushButton*>();
        ASSERT_NE(close, nullptr);
        EXPECT_TRUE(dialog.rect().contains(QRect(close->mapTo(&dialog, QPoint()), close->size())));
        for (const gui::TComparisonGrid* grid : {&dialog.MapGrid(), &dialog.AfrGrid()}) {
            QFont small = grid->font();
            small.setPointSizeF(small.pointSizeF() * 0.75);
            EXPECT_GE(grid->CellRect(0, 0).height(), 2 * QFontMetricsF(small).height() + 2);
            EXPECT_LE(grid->mapTo(&dialog, grid->rect().bottomRight()).y(), dialog.height());
        }
    }
}

// A short page squeezes what it holds to their least heights: a wrapped label's row keeps all
// the lines its width wraps it into.
TEST(WrapLabelTest, ASqueezedRowKeepsEveryWrappedLine) {
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    auto* group = new QGroupBox(QStringLiteral("Lambdaregler Parameter"));
    auto* grid = new QGridLayout(group);
    auto* label = new gui::TWrapLabel;
    label->setText(QStringLiteral("Regler Integrationslimit mager"));
    auto* value = new QLabel(QStringLiteral("15"));
    value->setFixedWidth(80);
    grid->addWidget(label, 0, 0);
    grid->addWidget(value, 0, 1);
    grid->setColumnStretch(0, 1);
    column->addWidget(group);
    column->addStretch(1);
    const int oneWord = label->fontMetrics().horizontalAdvance(QStringLiteral("Integrationslimit"));
    page.setFixedWidth(oneWord + 80 + 60);
    page.show();
    // The label's new width changes its least height, which the next layout pass takes up.
    for (int pass = 0; pass < 3; ++pass) {
        page.resize(page.width(), 10);
        QApplication::processEvents();
    }
    const int lines = label->heightForWidth(label->width()) / label->fontMetrics().lineSpacing();
    EXPECT_GE(lines, 3) << "the test's width wraps the label into three lines";
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
}

}  // namespace
}  // namespace zv::test
