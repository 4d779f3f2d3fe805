#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/key_control.h"
#include "seams/settings_store.h"
#include "text/text_table.h"

namespace zv {

// The captions of the key configuration dialog in the current language.
struct TKeyConfigTexts {
    std::string Caption;
    std::string Group;
    std::array<std::string, 2> RowLabels;  // up row, down row
    std::string CodeHeader;
    std::string KeyHeader;
    std::array<std::string, 3> Hints;
    std::string Ok;
    std::string Cancel;
};

// One row of the dialog: the code as a decimal number and as a key text, both on one colour.
struct TKeyConfigRow {
    std::string CodeText;
    std::string KeyText;
    bool Highlighted = false;
    std::uint32_t PanelColour = 0xFFFFFF;  // RGB
    std::uint32_t TextColour = 0x000000;
};

// The dialog in which the operator assigns the two step keys. It works on copies of the main
// window's codes and hands them back only when accepted.
class TKeyConfigDlg {
  public:
    enum : int { UpRow = 0, DownRow = 1 };
    enum : int { ResultNone = 0, ResultOk = 1, ResultCancel = 2 };
    static constexpr std::uint32_t kHighlightColour = 0x00FFFF;  // aqua
    static constexpr std::uint32_t kPanelColour = 0xFFFFFF;

    TKeyConfigDlg(TKeyControl& mainKeys, SettingsStore& settings);
    TKeyConfigDlg(const TKeyConfigDlg&) = delete;
    TKeyConfigDlg& operator=(const TKeyConfigDlg&) = delete;

    // The dialog's own key sink; its handler is HandleKey.
    TKeyControl KeyCtrl{"KeyCtrl"};
    // Called whenever what the dialog shows changed, so that the view repaints.
    std::function<void()> Changed;
    // The main window's codes were replaced: whatever names them says so anew.
    std::function<void()> Accepted;

    void SetLanguage(Language lang);
    const TKeyConfigTexts& Texts() const { return texts_; }

    // The row can be preset before the dialog is shown; it is kept between showings.
    void SetSelectedRow(int row);
    int SelectedRow() const { return selectedRow_; }

    // The dialog came up: take fresh copies of the main window's codes.
    void FormActivate();
    void HandleKey(std::uint8_t key);
    void CodePanelClick(int row);
    void OkClick();
    void CancelClick();

    // ResultNone while open; ResultOk or ResultCancel once the dialog is to close.
    int ModalResult() const { return modalResult_; }
    TKeyConfigRow Row(int row) const;

  private:
    std::uint8_t& CodeOfRow(int row);
    void NotifyChanged() const;
    void Close(int result);

    TKeyControl& mainKeys_;
    SettingsStore& settings_;
    TKeyConfigTexts texts_;
    int selectedRow_ = UpRow;
    int modalResult_ = ResultNone;
};

}  // namespace zv
