// The fuel map page's wiring, offscreen: keys of the main window reach the map editor and edit
// the working data set, and online the built-in unit's memory; a click on a table cell moves
// the edit cursor; Tab opens the site dialog, whose keys move a site. The chart's partial
// repaint after a cell edit gives the same picture as a whole repaint.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <array>

#include "dialogs/rev_adjust_dialog.h"
#include "pages/block_menu.h"
#include "main_window_fixture.h"
#include "paced/paced_sim_port.h"
#include "pages/map_form_view.h"
#include "pages/overlay_button.h"
#include "unit/sim_unit.h"
#include "widgets/key_control_widget.h"
#include "widgets/m3d_chart.h"
#include "widgets/map_table.h"
#include "widgets/readout.h"
#include "widgets/wideband_display.h"

namespace zv::test {
namespace {

constexpr std::size_t kMapOffset = 768;  // the fuel map in the image

// Image offset of cell (t, r): both indices stored from the highest site down.
std::size_t CellOffset(int t, int r) {
    return kMapOffset + static_cast<std::size_t>(16 * (15 - t) + (15 - r));
}

int Percent(std::uint8_t site) {
    return site * 100 / 255;
}

class MapPage : public MainWindow {
  protected:
    // Page 1 chosen from the Window menu, as the operator does.
    static gui::TMapFormView* ShowMapPage(TMainForm& form) {
        form.Actions().Pages[0]->trigger();
        form.Actions().Pages[1]->trigger();
        auto* view = form.findChild<gui::TMapFormView*>();
        if (view == nullptr || !view->isVisible())
            return nullptr;
        return view;
    }
    // Once the data file is open and the link idle.
    gui::TMapFormView* OpenMapPage(TMainForm& form) {
        if (!WaitForIdle(form) ||
            !QTest::qWaitFor([&] { return form.Model().Data().Loaded == 1; }, 3000))
            return nullptr;
        return ShowMapPage(form);
    }
};

TEST_F(MapPage, KeysAndClicksEditTheDataSetAndTabOpensTheSiteDialog) {
    auto form = Start(dataFile);
    gui::TMapFormView* view = OpenMapPage(*form);
    ASSERT_NE(view, nullptr);
    const TMapChartState& chart = view->Model().State().Chart;
    ASSERT_TRUE(chart.CursorVisible);
    const auto& image = form->Model().Data().DeviceData.Image;
    gui::KeyControlWidget& keys = form->KeySink();

    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Right, Qt::Key_Right})
        QTest::keyClick(&keys, key);
    ASSERT_EQ(chart.CursorT, 1);
    ASSERT_EQ(chart.CursorR, 2);
    const std::uint8_t before = image[CellOffset(1, 2)];
    ASSERT_LE(before, 240);
    QTest::keyClick(&keys, Qt::Key_PageUp);
    EXPECT_EQ(image[CellOffset(1, 2)], before + 15) << "Page Up adds 15 to the cell";
    EXPECT_EQ(form->Model().Data().DeviceData.ChangedOffline, 1);
    EXPECT_TRUE(form->Actions().Save->isEnabled());

    gui::TMapTable& table = view->Table();
    ASSERT_TRUE(table.isVisible());
    QTest::mouseClick(&table, Qt::LeftButton, {}, table.CellRect(9, 12).center().toPoint());
    EXPECT_EQ(chart.CursorT, 9);
    EXPECT_EQ(chart.CursorR, 12);

    // The dialog opens on the lowest throttle site (image offset 239); Up raises it by one
    // displayed percent, Esc closes the dialog.
    const std::uint8_t site = image[239];
    bool opened = false;
    bool closedByEsc = false;
    QTimer::singleShot(0, view, [&] {
        gui::TRevAdjustDialog& dialog = view->SiteDialog();
        opened = dialog.isVisible();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return dialog.isAncestorOf(QApplication::focusWidget()); }, 2000))
            << "the dialog's own key control has the keys";
        if (QWidget* focus = QApplication::focusWidget()) {
            QTest::keyClick(focus, Qt::Key_Up);
            QTest::keyClick(focus, Qt::Key_Escape);
        }
        closedByEsc = !dialog.isVisible();
        if (dialog.isVisible())
            dialog.reject();  // the test goes on either way
    });
    QTest::keyClick(&keys, Qt::Key_Tab);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(closedByEsc);
    EXPECT_EQ(Percent(image[239]), Percent(site) + 1);
    EXPECT_EQ(chart.ThrottleLabels[0], Percent(image[239])) << "the chart's axis follows";
}

// The page's switch tints a cell that moved from the file as saved: Page Up adds 15, a clear
// rise (the warm middle tint); an unmoved cell stays plain.
TEST_F(MapPage, TheOverlayTintsACellThatMovedFromTheSavedFile) {
    auto form = Start(dataFile);
    gui::TMapFormView* view = OpenMapPage(*form);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->OverlayButton().isVisible());
    view->OverlayButton().click();
    ASSERT_TRUE(view->OverlayButton().isChecked());
    const QList<QAction*> references = view->OverlayButton().menu()->actions();
    ASSERT_EQ(references.size(), 4);
    EXPECT_TRUE(references[0]->isChecked()) << "switched on, the tint takes the file as saved";
    EXPECT_FALSE(references[1]->isChecked());

    gui::TMapTable& table = view->Table();
    QTest::keyClick(&form->KeySink(), Qt::Key_PageUp);  // the cursor's cell (0, 0)
    QTest::mouseClick(&table, Qt::LeftButton, {}, table.CellRect(9, 12).center().toPoint());
    form->Render();
    const QImage shot = table.grab().toImage();
    const auto corner = [&](int t, int r) {
        return shot.pixelColor(table.CellRect(t, r).topLeft().toPoint() + QPoint(3, 3));
    };
    EXPECT_EQ(corner(0, 0), QColor(0xFF, 0xB8, 0x6C));
    EXPECT_EQ(corner(5, 5), table.palette().color(QPalette::Base));
}

// The site dialog's choice of whether moved sites take the map along reaches core; the tint's
// menu asks core for the unit's latest backup, which says that no unit is known yet.
TEST_F(MapPage, SiteMoveChoiceAndLatestBackupReachCore) {
    auto form = Start(dataFile);
    ASSERT_TRUE(WaitForIdle(*form));
    gui::TMapFormView* view = ShowMapPage(*form);
    ASSERT_NE(view, nullptr);
    auto* choice = view->SiteDialog().findChild<QComboBox*>();
    ASSERT_NE(choice, nullptr);
    view->SiteDialog().Render();
    EXPECT_EQ(choice->currentText(), "ask");
    emit choice->activated(2);
    EXPECT_EQ(view->Model().RevAdjustDlg().Fuel().Choice(), TSiteMoveChoice::Never);
    view->SiteDialog().Render();
    EXPECT_EQ(choice->currentText(), "never");

    const QList<QAction*> references = view->OverlayButton().menu()->actions();
    ASSERT_EQ(references.size(), 4);
    EXPECT_EQ(references[3]->text(), "Against the unit as last read");
    EXPECT_FALSE(references[3]->isEnabled()) << "nothing has been read from a unit yet";
    EXPECT_EQ(references[1]->text(), "Against the unit's latest backup");
    dialogs.Boxes.clear();
    references[1]->trigger();
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text.rfind("No unit is known yet.", 0), 0u);
    EXPECT_FALSE(references[1]->isChecked()) << "a reference that could not be read";
}

TEST_F(MapPage, CellEditOnlineReachesTheBuiltInUnit) {
    auto form = Start("", 30);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->Online().Panels().ComState == "Run Online"; }, 15000));
    gui::TMapFormView* view = ShowMapPage(*form);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->Model().State().Chart.CursorT, 0);
    ASSERT_EQ(view->Model().State().Chart.CursorR, 0);
    const auto& image = form->Model().Data().DeviceData.Image;
    const sim::TSimUnit& unit = form->SimPort().Unit();
    // Firmware 30 keeps the map at 0x100 of memory area 2; cell (0, 0) is its last byte.
    constexpr std::uint16_t kAddress = 0x1FF;
    const std::uint8_t before = image[CellOffset(0, 0)];
    ASSERT_EQ(unit.Peek(2, kAddress), before);
    ASSERT_LE(before, 240);

    QTest::keyClick(&form->KeySink(), Qt::Key_PageUp);
    ASSERT_EQ(image[CellOffset(0, 0)], before + 15);
    EXPECT_EQ(unit.Peek(2, kAddress), before) << "the write goes out on the link's timer";
    EXPECT_TRUE(QTest::qWaitFor([&] { return unit.Peek(2, kAddress) == before + 15; }, 5000));
    EXPECT_EQ(form->Model().Data().DeviceData.ChangedOffline, 0);
}

QImage Picture(gui::TM3DChart1& chart) {
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.render(&painter);
    return image;
}

TEST(MapChart, EditedCellsRepaintAsAWholeRepaintDoes) {
    // A smooth ramp with peaks on a corner, an edge and in the middle.
    std::array<std::uint8_t, 256> map{};
    for (std::size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<std::uint8_t>(60 + i / 16 * 4 + i % 16 * 2);
    const std::array<std::size_t, 4> peaks = {0, 255, 15, 16 * 7 + 8};
    for (std::size_t offset : peaks)
        map[offset] = 250;
    TMapChartState state;
    state.Map = map.data();
    for (std::size_t i = 0; i < 16; ++i) {
        state.ThrottleSites[i] = static_cast<std::uint8_t>(17 * i);
        state.RpmSites[i] = static_cast<std::uint8_t>(17 * i);
        state.ThrottleLabels[i] = static_cast<int>(i * 100 / 15);
        state.RpmLabels[i] = static_cast<int>(i * 10000 / 15);
    }
    state.RpmUnit = "[Rpm]";
    state.CursorVisible = true;
    state.CursorT = 3;
    state.CursorR = 4;
    gui::TM3DChart1 edited;
    edited.resize(900, 600);
    edited.SetState(state);
    Picture(edited);

    // The peaks fall to the floor, a cell beside the middle one rises to the top.
    for (std::size_t offset : peaks)
        map[offset] = 0;
    map[16 * 8 + 8] = 255;
    edited.SetState(state);
    gui::TM3DChart1 whole;
    whole.resize(edited.size());
    whole.SetState(state);
    EXPECT_TRUE(Picture(edited) == Picture(whole));
}

// Both wideband numbers carry their own name, each to the left of its number.
TEST(WidebandDisplayView, EachNumberHasItsNameBesideIt) {
    gui::TWidebandDisplay display;
    TWidebandReadoutState state;
    state.Master = "1.21";
    state.Slave = "17.8";
    state.MasterText = "Lambda";
    state.SlaveText = "AFR";
    display.SetReadout(state);
    display.resize(600, 80);
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    auto labelAt = [&display](const QString& text) -> QLabel* {
        for (QLabel* label : display.findChildren<QLabel*>())
            if (label->text() == text)
                return label;
        return nullptr;
    };
    QLabel* lambda = labelAt(QStringLiteral("Lambda"));
    QLabel* afr = labelAt(QStringLiteral("AFR"));
    ASSERT_NE(lambda, nullptr);
    ASSERT_NE(afr, nullptr);
    const int master = display.Master().geometry().left();
    EXPECT_LT(lambda->geometry().right(), master);
    EXPECT_GT(afr->geometry().left(), display.Master().geometry().right());
}

// The cells show the core's hover text, and it follows step keys the operator assigns.
TEST_F(MapPage, CellsShowTheCoresHoverTextWithTheAssignedStepKeys) {
    auto form = Start(dataFile);
    gui::TMapFormView* view = OpenMapPage(*form);
    ASSERT_NE(view, nullptr);
    TKeyConfigDlg& keyConfig = form->KeyConfig();
    keyConfig.FormActivate();
    keyConfig.HandleKey(75);  // K on the up row
    keyConfig.OkClick();
    const QString tip = view->Table().toolTip();
    EXPECT_EQ(tip.toStdString(), view->Model().State().Texts.CellTip);
    EXPECT_TRUE(tip.contains(QStringLiteral("▲ K ▼"))) << tip.toStdString();
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

// Ctrl+Z and Ctrl+Y reach core's history from the main window's key sink, and the Edit menu
// names the step.
TEST_F(MapPage, CtrlZAndCtrlYTakeACellStepBackAndMakeItAgain) {
    auto form = Start(dataFile);
    gui::TMapFormView* view = OpenMapPage(*form);
    ASSERT_NE(view, nullptr);
    const auto& image = form->Model().Data().DeviceData.Image;
    gui::KeyControlWidget& keys = form->KeySink();
    const std::uint8_t before = image[CellOffset(0, 0)];
    ASSERT_LE(before, 240);
    EXPECT_FALSE(form->UndoAction()->isEnabled());

    QTest::keyClick(&keys, Qt::Key_PageUp);
    ASSERT_EQ(image[CellOffset(0, 0)], before + 15);
    EXPECT_TRUE(form->UndoAction()->isEnabled());
    EXPECT_EQ(form->UndoAction()->text().toStdString(), "Undo: fuel map cell 1/1 +15");

    QTest::keyClick(&keys, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(image[CellOffset(0, 0)], before);
    EXPECT_EQ(view->Model().State().ManMapValue, std::to_string(before));
    EXPECT_EQ(form->RedoAction()->text().toStdString(), "Redo: fuel map cell 1/1 +15");
    QTest::keyClick(&keys, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(image[CellOffset(0, 0)], before + 15);
    QTest::keyClick(&keys, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&keys, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(image[CellOffset(0, 0)], before + 15);
}

// A drag over the table and Shift+arrows at the key sink reach the core's block; a plain
// arrow collapses it.
TEST_F(MapPage, ADragAndShiftArrowsSelectABlockInCore) {
    auto form = Start(dataFile);
    gui::TMapFormView* view = OpenMapPage(*form);
    ASSERT_NE(view, nullptr);
    gui::TMapTable& table = view->Table();
    ASSERT_TRUE(table.isVisible());
    QTest::mousePress(&table, Qt::LeftButton, {}, table.CellRect(3, 2).center().toPoint());
    const QPointF end = table.CellRect(5, 6).center();
    QMouseEvent move(QEvent::MouseMove, end, table.mapToGlobal(end), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&table, &move);
    QTest::mouseRelease(&table, Qt::LeftButton, {}, end.toPoint());
    EXPECT_EQ(view->Model().Selection(), (TCellRect{3, 5, 2, 6}));

    gui::KeyControlWidget& keys = form->KeySink();
    QTest::keyClick(&keys, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(view->Model().Selection(), (TCellRect{3, 5, 2, 5})) << "the drag's start stays";
    QTest::keyClick(&keys, Qt::Key_Left);
    EXPECT_EQ(view->Model().Selection(), (TCellRect{5, 5, 4, 4}));
}

// The right button inside the block keeps it for the block menu, outside it moves the cursor
// there first; the letters beside the menu's entries run them while the menu is open.
TEST_F(MapPage, TheBlockMenuActsWhereItOpensAndTakesItsLetters) {
    auto form = Start(dataFile);
    gui::TMapFormView* view = OpenMapPage(*form);
    ASSERT_NE(view, nullptr);
    gui::TMapTable& table = view->Table();
    gui::KeyControlWidget& keys = form->KeySink();
    view->Model().CellClick(3, 2);
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up})
        QTest::keyClick(&keys, key, Qt::ShiftModifier);
    ASSERT_EQ(view->Model().Selection(), (TCellRect{3, 5, 2, 4}));

    QTest::mousePress(&table, Qt::RightButton, {}, table.CellRect(4, 3).center().toPoint());
    EXPECT_EQ(view->Model().Selection(), (TCellRect{3, 5, 2, 4})) << "inside: the block stays";
    gui::TBlockMenu& menu = view->BlockMenu();
    menu.close();
    menu.popup(table.mapToGlobal(table.CellRect(3, 3).center().toPoint()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::keyClick(&menu, Qt::Key_Plus);  // no entry's letter: the block stays unchanged
    const std::string untouched = form->Model().History().UndoCaption(Language::English);
    QTest::keyClick(&menu, Qt::Key_G);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_NE(form->Model().History().UndoCaption(Language::English), untouched);
    EXPECT_NE(form->Model().History().UndoCaption(Language::English).find("smoothed"),
              std::string::npos);

    QTest::mousePress(&table, Qt::RightButton, {}, table.CellRect(9, 11).center().toPoint());
    EXPECT_EQ(view->Model().Selection(), (TCellRect{9, 9, 11, 11})) << "outside: the cursor moves";
    menu.close();
}

}  // namespace
}  // namespace zv::test

namespace zv::test {
namespace {

// Ctrl+V from the key sink pastes the clipboard at the map's cursor as one step; Ctrl+C puts
// the map on the clipboard; the Edit menu names both.
TEST_F(MapPage, CtrlVPastesTheClipboardAtTheCursorAndCtrlCCopiesTheMap) {
    auto form = Start(dataFile);
    ASSERT_NE(OpenMapPage(*form), nullptr);
    const auto& image = form->Model().Data().DeviceData.Image;
    gui::KeyControlWidget& keys = form->KeySink();
    ASSERT_NE(image[CellOffset(0, 0)], 7);
    EXPECT_EQ(form->PasteAction()->text().toStdString(), "Paste");
    EXPECT_EQ(form->CopyAction()->text().toStdString(), "Copy");

    QGuiApplication::clipboard()->setText(QStringLiteral("7\t8\n"));
    QTest::keyClick(&keys, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(image[CellOffset(0, 0)], 7);
    EXPECT_EQ(image[CellOffset(0, 1)], 8);
    EXPECT_EQ(form->UndoAction()->text().toStdString(), "Undo: paste 2 cells");
    EXPECT_TRUE(form->statusBar()->currentMessage().isEmpty());
    QGuiApplication::clipboard()->setText(QStringLiteral("7\t8.4\n"));
    QTest::keyClick(&keys, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->statusBar()->currentMessage().toStdString(),
              "1 value set to the nearest value the cell can hold (8.4 -> 8).");

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&keys, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_GE(lines.size(), 17);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("% \\ rpm\t")));
    EXPECT_TRUE(lines[16].contains(QStringLiteral("\t7\t8\t"))) << "the bottom row";
}

}  // namespace
}  // namespace zv::test
