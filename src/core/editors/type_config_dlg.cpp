#include "editors/type_config_dlg.h"

#include "data/flag_bits.h"
#include "sensors/wideband_sensor.h"
#include "pages/page_host.h"

namespace zv {

namespace {


}  // namespace

void TTypeConfigDlg::SetLanguage(Language lang) {
    const bool g = lang == Language::German;
    TTypeConfigDlgState& s = state_;
    s.Caption = g ? "Typkonfiguration" : "Type configuration";
    s.Cancel = g ? "Abbrechen" : "Cancel";
    s.LambdaGroup = g ? " Auswahl des Lambdaeingangs " : " O2 (Lambda) signal input selection ";
    s.TempAsLambdaText =
        g ? " Temperaturmesseingang (Pin F) als Lambdaeingang konfigurieren"
          : " Assign temperature meassurement input (Pin F) as a narrow band O2 sensor input";
    s.GPAsLambdaText = g ? " Allgemeiner Eingang (Pin E) als Lambdaeingang konfigurieren"
                         : " Assign general purpose input (Pin E) as a narrow band O2 sensor input";
    s.TempAsWBOText = g ? " Temp.-eingang (Pin F) als Breitband-Lambdaanzeigeeingang. "
                          "Breitbandmodultyp:"
                        : " Assign analog input (pin F) as a WBO-display input.   WBO-Module Type:";
    for (std::size_t i = 0; i < s.Modules.size(); ++i)
        s.Modules[i] = WidebandDeviceName(static_cast<int>(i), lang);
    LampTexts(lang);
}

void TTypeConfigDlg::FormShow() {
    SetLanguage(host_.CurrentLanguage());
    const int module = host_.WBO2ModuleType();
    state_.ModuleIndex = module >= 0 && module < kWidebandDeviceCount ? module : -1;
    shownDispOnF_ = host_.WBO2DispOnF();
    initialised_ = false;
    StartWorkingCopy();
    Refresh();
    initialised_ = true;
}

void TTypeConfigDlg::Refresh() {
    TTypeConfigDlgState& s = state_;
    s.TempAsLambda = TZVDataClass::TestFlag(working_, flag::TempInAsLambda);
    s.GPAsLambda = !s.TempAsLambda && TZVDataClass::TestFlag(working_, flag::GPInAsLambda);
    // Pin F as the narrowband input feeds no wideband display, and the disabled box says so.
    s.WBOEnabled = !s.TempAsLambda;
    s.TempAsWBO = s.WBOEnabled && host_.WBO2DispOnF();
    lamps_.Visible = s.TempAsLambda || s.GPAsLambda;
}

// Pin F stops being the wideband display input when it becomes the narrowband input, and
// takes that role again when it gives the narrowband input up.
void TTypeConfigDlg::TempInputAsLambdaCheckBoxClick(bool checked) {
    if (!initialised_)
        return;
    ToggleBit(flag::TempInAsLambda, checked);
    if (checked)
        TZVDataClass::ClearFlag(working_, flag::GPInAsLambda);
    host_.SetWBO2DispOnF(!checked);
    Refresh();
}

void TTypeConfigDlg::GPInputAsLambdaCheckBoxClick(bool checked) {
    if (!initialised_)
        return;
    ToggleBit(flag::GPInAsLambda, checked);
    if (checked) {
        TZVDataClass::ClearFlag(working_, flag::TempInAsLambda);
        host_.SetWBO2DispOnF(true);
    }
    Refresh();
}

void TTypeConfigDlg::TempInputAsWBOCheckBoxClick(bool checked) {
    host_.SetWBO2DispOnF(checked);
    Refresh();
}

// The lambda boxes switched the wideband display at once; without OK pin F keeps the function
// the data set gives it, so the display goes back with it.
void TTypeConfigDlg::CancelButtonClick() {
    TTypeConfigBase::CancelButtonClick();
    if (host_.WBO2DispOnF() != shownDispOnF_)
        host_.SetWBO2DispOnF(shownDispOnF_);
}

// The list offers its eight entries only: no typed text, so every stored index names a device.
void TTypeConfigDlg::WBOModuleComboBoxChange(int index) {
    if (index < 0 || index >= kWidebandDeviceCount)
        return;
    state_.ModuleIndex = index;
    host_.SetWBO2ModuleType(index);
}

}  // namespace zv
