#include "editors/type_config2_dlg.h"

#include "pages/page_host.h"

namespace zv {

namespace {
constexpr int kOldDialogFirmware = 27;
constexpr int kNarrowBand = 1;
}  // namespace

void TTypeConfig2Dlg::SetLanguage(Language lang) {
    const bool g = lang == Language::German;
    TTypeConfig2DlgState& s = state_;
    s.Caption = g ? "Konfiguration Eingänge" : "Input configuration";
    s.Cancel = g ? "Abbrechen" : "Cancel";
    s.InputEGroup = " Analog input E selection ";
    s.InputFGroup = " Analog input F selection ";
    s.Selections =
        g ? std::array<std::string, 3>{"Kennlinienkompensation (add or mult.)",
                                       "Schmalbandlambdaeingang (0..1V)",
                                       "Breitbandlambdaeingang (WBO2) input (0..5V)"}
          : std::array<std::string, 3>{"Assign for map compensation (add or mult.)",
                                       "Assign as narrow band lambda input (0..1V)",
                                       "Assign as wide band lambda (WBO2) input (0..5V)"};
    LampTexts(lang);
}

void TTypeConfig2Dlg::FormShow() {
    const TZVDataClass& data = host_.Data();
    if (data.DeviceData.Firmware <= kOldDialogFirmware)
        return;
    SetLanguage(host_.CurrentLanguage());
    state_.InputE = data.InputESelect;
    state_.InputF = data.InputFSelect;
    initialised_ = false;
    StartWorkingCopy();
    LampGroupVisibility();
    initialised_ = true;
}

void TTypeConfig2Dlg::LampGroupVisibility() {
    const TZVDataClass& data = host_.Data();
    lamps_.Visible = data.InputESelect == kNarrowBand || data.InputFSelect == kNarrowBand;
}

void TTypeConfig2Dlg::InputESelectionComboBoxChange(int index) {
    if (index < 0 || index > 2)
        return;
    host_.Data().InputESelect = static_cast<std::uint8_t>(index);
    state_.InputE = index;
    SelectionChanged();
}

void TTypeConfig2Dlg::InputFSelectionComboBoxChange(int index) {
    if (index < 0 || index > 2)
        return;
    host_.Data().InputFSelect = static_cast<std::uint8_t>(index);
    state_.InputF = index;
    SelectionChanged();
}

// The selections go into the working copy as it stands, so that a lamp choice made before in
// this dialog is kept. A refused pair has F reset to map compensation; the pair left is the one
// the lists show, so it is the one the working copy takes.
void TTypeConfig2Dlg::SelectionChanged() {
    if (!host_.InputSelectionsToFlags(working_)) {
        host_.InputSelectionsToFlags(working_);
        if (StartTimer1)
            StartTimer1();
    }
    LampGroupVisibility();
}

void TTypeConfig2Dlg::Timer1Timer() {
    state_.InputF = host_.Data().InputFSelect;
}

}  // namespace zv
