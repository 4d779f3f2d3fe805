#include <gtest/gtest.h>

#include <vector>

#include "config/key_config_dlg.h"

namespace zv::test {
namespace {

struct KeyConfigTest : ::testing::Test {
    MemorySettingsStore Settings;
    TKeyControl MainKeys{"KeyCtrl"};
    TKeyConfigDlg Dlg{MainKeys, Settings};

    KeyConfigTest() {
        MainKeys.KeyUpSmallCode = 65;
        MainKeys.KeyDownSmallCode = 63;
        Dlg.FormActivate();
    }
    void Key(std::uint8_t key) { Dlg.KeyCtrl.KeyDown(key); }
    int Up() const { return Dlg.KeyCtrl.KeyUpSmallCode; }
    int Down() const { return Dlg.KeyCtrl.KeyDownSmallCode; }
};

TEST(KeyControlTest, HandsTheLowByteToItsHandlerAndMapsTheStepKeys) {
    TKeyControl keys("KeyCtrl");
    keys.KeyDown(65);  // no handler yet: nothing happens
    std::vector<int> got;
    keys.OnKey = [&got](std::uint8_t key) { got.push_back(key); };
    keys.KeyDown(0x141);
    keys.KeyDown(9);
    EXPECT_EQ(got, (std::vector<int>{0x41, 9}));

    keys.KeyUpSmallCode = 65;
    keys.KeyDownSmallCode = 63;
    EXPECT_EQ(keys.TranslateStepKey(65), 187);
    EXPECT_EQ(keys.TranslateStepKey(63), 189);
    EXPECT_EQ(keys.TranslateStepKey(38), 38);
    EXPECT_EQ(keys.TranslateStepKey(66), 66);
    keys.KeyDownSmallCode = 65;
    EXPECT_EQ(keys.TranslateStepKey(65), 187) << "the up key is tested first";
}

TEST(KeyControlTest, KeyTextsNameTheKey) {
    EXPECT_EQ(KeyCodeText(65), "A");
    EXPECT_EQ(KeyCodeText(48), "0");
    EXPECT_EQ(KeyCodeText(63), "?");
    EXPECT_EQ(KeyCodeText(112), "F1");
    EXPECT_EQ(KeyCodeText(123), "F12");
    EXPECT_EQ(KeyCodeText(96), "Num 0");
    EXPECT_EQ(KeyCodeText(190), ".");
    EXPECT_EQ(KeyCodeText(13), "Enter");
    EXPECT_EQ(KeyCodeText(0), "");
}

TEST_F(KeyConfigTest, ActivationCopiesTheMainCodesAndHighlightsTheRow) {
    EXPECT_EQ(Up(), 65);
    EXPECT_EQ(Down(), 63);
    const TKeyConfigRow up = Dlg.Row(TKeyConfigDlg::UpRow);
    const TKeyConfigRow down = Dlg.Row(TKeyConfigDlg::DownRow);
    EXPECT_EQ(up.CodeText, "65");
    EXPECT_EQ(up.KeyText, "A");
    EXPECT_EQ(down.CodeText, "63");
    EXPECT_EQ(up.PanelColour, 0x00FFFFu);
    EXPECT_EQ(down.PanelColour, 0xFFFFFFu);
}

TEST_F(KeyConfigTest, TabTogglesRowsAndKeysAssignToTheSelectedRow) {
    Key('Q');
    EXPECT_EQ(Up(), 'Q');
    Key(vk::Tab);
    EXPECT_EQ(Dlg.SelectedRow(), TKeyConfigDlg::DownRow);
    EXPECT_EQ(Dlg.Row(TKeyConfigDlg::DownRow).PanelColour, 0x00FFFFu);
    EXPECT_EQ(Dlg.Row(TKeyConfigDlg::UpRow).PanelColour, 0xFFFFFFu);
    Key('W');
    EXPECT_EQ(Down(), 'W');
    EXPECT_EQ(Up(), 'Q');
    Key(vk::Tab);
    EXPECT_EQ(Dlg.SelectedRow(), TKeyConfigDlg::UpRow);
    Dlg.CodePanelClick(TKeyConfigDlg::DownRow);
    EXPECT_EQ(Dlg.SelectedRow(), TKeyConfigDlg::DownRow);
}

TEST_F(KeyConfigTest, NavigationKeysAndTheOtherRowsKeyAreRefused) {
    for (int refused : {33, 34, 37, 38, 39, 40, 107, 109, 187, 189}) {
        Key(static_cast<std::uint8_t>(refused));
        EXPECT_EQ(Up(), 65) << refused;
        EXPECT_EQ(Dlg.SelectedRow(), TKeyConfigDlg::UpRow) << refused;
    }
    Key(0);
    EXPECT_EQ(Up(), 65) << "a key without a code of its own";
    Key(63);
    EXPECT_EQ(Up(), 65) << "the down row's key";
    EXPECT_EQ(Down(), 63);
    Key(188);
    EXPECT_EQ(Up(), 188) << "comma is not among the refused keys";
}

// What the dialog can assign is what a stored step key may be.
TEST(StepKeyCodeTest, OnlyCodesTheDialogCanAssign) {
    for (int code : {0, 9, 27, 33, 34, 37, 38, 39, 40, 107, 109, 187, 189, 256, 265, -1})
        EXPECT_FALSE(IsStepKeyCode(code)) << code;
    for (int code : {1, 8, 10, 26, 28, 32, 36, 41, 63, 65, 106, 108, 110, 186, 188, 190, 255})
        EXPECT_TRUE(IsStepKeyCode(code)) << code;
}

TEST_F(KeyConfigTest, OkStoresTheCodesCancelAndEscLeaveEverything) {
    Key('Q');
    Dlg.CancelClick();
    EXPECT_EQ(Dlg.ModalResult(), TKeyConfigDlg::ResultCancel);
    EXPECT_EQ(MainKeys.KeyUpSmallCode, 65);
    EXPECT_FALSE(Settings.ReadInteger("Options", "KeyUpSmallCode"));

    Dlg.FormActivate();
    EXPECT_EQ(Up(), 65) << "a new showing starts from the main window's codes";
    Key('Q');
    Key(vk::Esc);
    EXPECT_EQ(Dlg.ModalResult(), TKeyConfigDlg::ResultCancel);
    EXPECT_EQ(MainKeys.KeyUpSmallCode, 65);
    EXPECT_FALSE(Settings.ReadInteger("Options", "KeyUpSmallCode"));

    Dlg.SetSelectedRow(TKeyConfigDlg::DownRow);
    Dlg.FormActivate();
    EXPECT_EQ(Dlg.ModalResult(), TKeyConfigDlg::ResultNone);
    Key('Z');
    Dlg.OkClick();
    EXPECT_EQ(Dlg.ModalResult(), TKeyConfigDlg::ResultOk);
    EXPECT_EQ(MainKeys.KeyUpSmallCode, 65);
    EXPECT_EQ(MainKeys.KeyDownSmallCode, 'Z');
    EXPECT_EQ(Settings.ReadInteger("Options", "KeyUpSmallCode"), 65);
    EXPECT_EQ(Settings.ReadInteger("Options", "KeyDownSmallCode"), 'Z');
}

TEST_F(KeyConfigTest, TextsFollowTheLanguage) {
    Dlg.SetLanguage(Language::German);
    EXPECT_EQ(Dlg.Texts().Caption, "Tastenkonfiguration");
    EXPECT_EQ(Dlg.Texts().Cancel, "Abbrechen");
    EXPECT_EQ(Dlg.Texts().Group, " Tasten Auswahl ");
    EXPECT_EQ(Dlg.Texts().RowLabels[1], "Wert verringern (runter, kleiner Schritt)");
    Dlg.SetLanguage(Language::English);
    EXPECT_EQ(Dlg.Texts().RowLabels[0], "Value increase (up, small step)");
    EXPECT_EQ(Dlg.Texts().Hints[1], "Hit a key on the keyboard which has to be assigned");
}

}  // namespace
}  // namespace zv::test
