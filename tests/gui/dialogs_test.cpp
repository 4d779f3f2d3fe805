#include <gtest/gtest.h>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>

#include <vector>

#include "config/page_select.h"
#include "dialogs/about_box.h"
#include "dialogs/colour_panel.h"
#include "dialogs/page_select_window.h"
#include "widgets/m2d_chart.h"

namespace zv::test {
namespace {

TEST(PageSelectWindowTest, ClickPreviewsDoubleClickChoosesAndKeysMove) {
    TZVDataClass data;
    data.Loaded = 1;
    TPageSelect model(data);
    std::vector<int> notebook, refreshed, shown;
    model.SwitchNotebookPage = [&](int page) { notebook.push_back(page); };
    model.RefreshPage = [&](int page) { refreshed.push_back(page); };
    model.ShowPage = [&](int page) { shown.push_back(page); };
    gui::PageSelectWindow window(model, nullptr);
    model.SetPageMask(9);  // pages 1, 3, 6, 7, 8, 9, 10, 11
    model.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(window.Panel(0)->isVisible());
    EXPECT_TRUE(window.Panel(3)->isVisible());

    QTest::mouseClick(window.Panel(6), Qt::LeftButton);
    EXPECT_EQ(notebook.back(), 6);
    EXPECT_EQ(refreshed, std::vector<int>{6});
    EXPECT_EQ(window.Panel(6)->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0x00));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(notebook.back(), 7);

    QTest::mouseDClick(window.Panel(9), Qt::LeftButton);
    EXPECT_EQ(shown.back(), 9);
    EXPECT_FALSE(window.isVisible());
}

// The older idle page's columns: the first and the last stand whole inside the plot, with room
// between them and the frame, and a click on a column picks its point.
TEST(CurveChartTest, ColumnsAtTheEdgesShowWholeAndPickTheirPoint) {
    std::array<std::uint8_t, 16> full{};
    full.fill(255);
    TCurveChartState state;
    state.Points = full.data();
    gui::TM2DChart chart;
    chart.resize(480, 320);
    chart.SetState(state);
    const QImage image = chart.grab().toImage();
    const QColor bar = chart.palette().color(QPalette::Highlight);
    const int y = image.height() / 2;
    std::vector<int> barColumns;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == bar)
            barColumns.push_back(x);
    }
    // Sixteen columns of one width: none is cut in half at the plot's edges.
    std::vector<int> widths;
    for (std::size_t i = 0; i < barColumns.size(); ++i) {
        if (i == 0 || barColumns[i] != barColumns[i - 1] + 1)
            widths.push_back(0);
        ++widths.back();
    }
    ASSERT_EQ(widths.size(), 16u);
    const auto [narrowest, widest] = std::minmax_element(widths.begin(), widths.end());
    EXPECT_LE(*widest - *narrowest, 2) << "first " << widths.front() << ", last " << widths.back();

    QSignalSpy picked(&chart, &gui::TM2DsChart::PointClicked);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(barColumns.back() - 2, y));
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(barColumns.front() + 2, y));
    ASSERT_EQ(picked.size(), 2);
    EXPECT_EQ(picked[0][0].toInt(), 15);
    EXPECT_EQ(picked[1][0].toInt(), 0);
}

class AboutBoxTest : public ::testing::Test {
  protected:
    QTemporaryDir Dir;
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(Dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static bool ShowsPicture(const gui::AboutBox& box) {
        return box.findChild<QLabel*>("Picture") != nullptr;
    }
};

TEST_F(AboutBoxTest, ShipsItsPictureAndShowsWithoutADamagedOrMissingOne) {
    gui::AboutBox shipped(Language::English);
    EXPECT_TRUE(shipped.HasPicture()) << gui::AboutBox::DefaultPicturePath().toStdString();
    EXPECT_TRUE(ShowsPicture(shipped));

    QFile original(gui::AboutBox::DefaultPicturePath());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray good = original.readAll();
    QByteArray scrambled = good;
    for (qsizetype i = 200; i < scrambled.size(); i += 7)
        scrambled[i] = static_cast<char>(0xFF);
    const QString damaged[] = {
        Write("truncated.jpg", good.left(good.size() / 2)),
        Write("scrambled.jpg", scrambled),
        Write("header-only.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)),
        Write("text.jpg", "not a picture"),
        Dir.filePath("missing.jpg"),
    };
    for (const QString& path : damaged) {
        gui::AboutBox box(Language::German, path);
        box.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&box)) << path.toStdString();
        EXPECT_FALSE(box.HasPicture()) << path.toStdString();
        EXPECT_FALSE(ShowsPicture(box)) << path.toStdString();
    }
}

}  // namespace
}  // namespace zv::test
