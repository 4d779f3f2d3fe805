#pragma once

#include <array>
#include <string>

#include "editors/type_config_base.h"

namespace zv {

struct TTypeConfigDlgState {
    std::string Caption, Cancel, LambdaGroup, TempAsLambdaText, GPAsLambdaText, TempAsWBOText;
    std::array<std::string, 8> Modules;
    int ModuleIndex = 0;  // -1: the stored device index names no entry
    bool TempAsLambda = false;
    bool GPAsLambda = false;
    bool TempAsWBO = false;
    bool WBOEnabled = true;
};

// The input configuration of the units up to firmware index 27: pin F or pin E as a narrowband
// input (never both), otherwise pin F as the PC's wideband display input with its converter,
// and the lamps' function.
class TTypeConfigDlg : public TTypeConfigBase {
  public:
    using TTypeConfigBase::TTypeConfigBase;

    void FormShow();
    void SetLanguage(Language lang);
    const TTypeConfigDlgState& State() const { return state_; }

    void TempInputAsLambdaCheckBoxClick(bool checked);
    void GPInputAsLambdaCheckBoxClick(bool checked);
    void TempInputAsWBOCheckBoxClick(bool checked);
    void WBOModuleComboBoxChange(int index);
    void CancelButtonClick() override;

  private:
    void Refresh();

    TTypeConfigDlgState state_;
    bool shownDispOnF_ = false;  // pin F as wideband display input when the dialog opened
};

}  // namespace zv
