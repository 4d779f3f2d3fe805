#include "config/key_config_dlg.h"

namespace zv {

namespace {

const TextPair kCaption = {"Tastenkonfiguration", "Key configuration"};
const TextPair kGroup = {" Tasten Auswahl ", " Key selection "};
const TextPair kUpLabel = {"Wert erhöhen (hoch, kleiner Schritt)",
                           "Value increase (up, small step)"};
const TextPair kDownLabel = {"Wert verringern (runter, kleiner Schritt)",
                             "Value decrease (down, small step)"};
const TextPair kHints[3] = {
    {"Fenster anklicken (das Fenster wird weiss)",
     "Click onto the desired panel.Panel will change to white."},
    {"Eine gewünschte Taste drücken, die der angegebenen.",
     "Hit a key on the keyboard which has to be assigned"},
    {"Funktion entspricht", "to the related function."},
};
const TextPair kCodeHeader = {"Code", "Code"};
const TextPair kKeyHeader = {"Taste", "Key"};
const TextPair kCancel = {"Abbrechen", "Cancel"};

}  // namespace

TKeyConfigDlg::TKeyConfigDlg(TKeyControl& mainKeys, SettingsStore& settings)
    : mainKeys_(mainKeys), settings_(settings) {
    KeyCtrl.OnKey = [this](std::uint8_t key) { HandleKey(key); };
    SetLanguage(Language::English);
}

void TKeyConfigDlg::SetLanguage(Language lang) {
    texts_.Caption = kCaption.Pick(lang);
    texts_.Group = kGroup.Pick(lang);
    texts_.RowLabels = {kUpLabel.Pick(lang), kDownLabel.Pick(lang)};
    texts_.CodeHeader = kCodeHeader.Pick(lang);
    texts_.KeyHeader = kKeyHeader.Pick(lang);
    for (int i = 0; i < 3; ++i)
        texts_.Hints[static_cast<std::size_t>(i)] = kHints[i].Pick(lang);
    texts_.Ok = "OK";
    texts_.Cancel = kCancel.Pick(lang);
    NotifyChanged();
}

void TKeyConfigDlg::SetSelectedRow(int row) {
    if (row != UpRow && row != DownRow)
        return;
    selectedRow_ = row;
    NotifyChanged();
}

void TKeyConfigDlg::FormActivate() {
    KeyCtrl.KeyUpSmallCode = mainKeys_.KeyUpSmallCode;
    KeyCtrl.KeyDownSmallCode = mainKeys_.KeyDownSmallCode;
    modalResult_ = ResultNone;
    NotifyChanged();
}

void TKeyConfigDlg::HandleKey(std::uint8_t key) {
    if (modalResult_ != ResultNone)
        return;
    if (key == vk::Tab) {
        selectedRow_ = selectedRow_ == UpRow ? DownRow : UpRow;
    } else if (key == vk::Esc) {
        Close(ResultCancel);
        return;
    } else if (IsStepKeyCode(key)) {
        // Both rows on one key would leave one function without a key of its own.
        const int other = selectedRow_ == UpRow ? DownRow : UpRow;
        if (key != CodeOfRow(other))
            CodeOfRow(selectedRow_) = key;
    }
    NotifyChanged();
}

void TKeyConfigDlg::CodePanelClick(int row) {
    SetSelectedRow(row);
}

void TKeyConfigDlg::OkClick() {
    mainKeys_.KeyUpSmallCode = KeyCtrl.KeyUpSmallCode;
    mainKeys_.KeyDownSmallCode = KeyCtrl.KeyDownSmallCode;
    settings_.WriteInteger("Options", "KeyUpSmallCode", mainKeys_.KeyUpSmallCode);
    settings_.WriteInteger("Options", "KeyDownSmallCode", mainKeys_.KeyDownSmallCode);
    if (Accepted)
        Accepted();
    Close(ResultOk);
}

void TKeyConfigDlg::CancelClick() {
    Close(ResultCancel);
}

TKeyConfigRow TKeyConfigDlg::Row(int row) const {
    const std::uint8_t code = row == UpRow ? KeyCtrl.KeyUpSmallCode : KeyCtrl.KeyDownSmallCode;
    TKeyConfigRow shown;
    shown.CodeText = std::to_string(code);
    shown.KeyText = KeyCodeText(code);
    shown.Highlighted = row == selectedRow_;
    shown.PanelColour = shown.Highlighted ? kHighlightColour : kPanelColour;
    return shown;
}

std::uint8_t& TKeyConfigDlg::CodeOfRow(int row) {
    return row == UpRow ? KeyCtrl.KeyUpSmallCode : KeyCtrl.KeyDownSmallCode;
}

void TKeyConfigDlg::NotifyChanged() const {
    if (Changed)
        Changed();
}

void TKeyConfigDlg::Close(int result) {
    modalResult_ = result;
    NotifyChanged();
}

}  // namespace zv
