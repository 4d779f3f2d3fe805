#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

#include "config/key_config_dlg.h"
#include "dialogs/colour_panel.h"
#include "dialogs/key_config_dialog.h"
#include "widgets/key_control_widget.h"

namespace zv::test {
namespace {

TEST(KeySinkTest, EveryKeyReachesTheHandlerAsAVirtualKeyCodeAndTheFocusStays) {
    TKeyControl keys("KeyCtrl");
    std::vector<int> got;
    keys.OnKey = [&got](std::uint8_t key) { got.push_back(key); };
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLineEdit(&window));
    auto* sink = new gui::KeyControlWidget(keys, &window);
    layout->addWidget(sink);
    layout->addWidget(new QLineEdit(&window));
    window.show();
    sink->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // Shift goes down first, as it does on the real keyboard.
    const struct {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        std::vector<int> Codes;
    } presses[] = {
        {Qt::Key_A, Qt::NoModifier, {65}},
        {Qt::Key_Tab, Qt::NoModifier, {9}},
        {Qt::Key_Backtab, Qt::ShiftModifier, {16, 9}},
        {Qt::Key_Up, Qt::NoModifier, {38}},
        {Qt::Key_PageDown, Qt::NoModifier, {34}},
        {Qt::Key_Escape, Qt::NoModifier, {27}},
        {Qt::Key_Return, Qt::NoModifier, {13}},
        {Qt::Key_F5, Qt::NoModifier, {116}},
        {Qt::Key_Plus, Qt::KeypadModifier, {107}},
        {Qt::Key_Plus, Qt::NoModifier, {187}},
        {Qt::Key_Minus, Qt::NoModifier, {189}},
        {Qt::Key_5, Qt::KeypadModifier, {101}},
        {Qt::Key_BracketRight, Qt::NoModifier, {221}},
        {Qt::Key_Comma, Qt::NoModifier, {188}},
        {Qt::Key_A, Qt::AltModifier, {}},
        // Ctrl goes down first as well.
        {Qt::Key_S, Qt::ControlModifier, {17}},
        {Qt::Key_7, Qt::ControlModifier, {17}},
        {Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, {17, 81}},  // AltGr on Windows
    };
    for (const auto& press : presses) {
        got.clear();
        QTest::keyClick(sink, press.Key, press.Modifiers);
        EXPECT_EQ(got, press.Codes) << press.Key;
        EXPECT_TRUE(sink->hasFocus()) << press.Key;
    }
    EXPECT_EQ(sink->objectName(), "KeyCtrl");
}

TEST(KeyConfigDialogTest, KeysClicksAndButtonsReachTheModel) {
    MemorySettingsStore settings;
    TKeyControl mainKeys("KeyCtrl");
    mainKeys.KeyUpSmallCode = 65;
    mainKeys.KeyDownSmallCode = 63;
    TKeyConfigDlg model(mainKeys, settings);
    model.SetLanguage(Language::German);
    gui::KeyConfigDialog dialog(model);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "Tastenkonfiguration");

    auto panels = dialog.findChildren<gui::ColourPanel*>();
    ASSERT_EQ(panels.size(), 4);
    QTest::mouseClick(panels[2], Qt::LeftButton);  // the down row's code panel
    EXPECT_EQ(model.SelectedRow(), TKeyConfigDlg::DownRow);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W);
    EXPECT_EQ(model.KeyCtrl.KeyDownSmallCode, 'W');
    EXPECT_EQ(panels[2]->text(), "87");

    QPushButton* ok = nullptr;
    for (auto* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == "OK")
            ok = button;
    }
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(mainKeys.KeyDownSmallCode, 'W');

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace zv::test
