#pragma once

#include <array>
#include <functional>
#include <string>

#include "editors/type_config_base.h"

namespace zv {

struct TTypeConfig2DlgState {
    std::string Caption, Cancel, InputEGroup, InputFGroup;
    std::array<std::string, 3> Selections;  // map compensation, narrowband, wideband
    int InputE = 0;                         // the entries the lists show
    int InputF = 0;
};

// The input configuration of the units above firmware index 27: inputs E and F each for map
// compensation, narrowband or wideband lambda (not both the same lambda kind), and the lamps'
// function.
class TTypeConfig2Dlg : public TTypeConfigBase {
  public:
    using TTypeConfigBase::TTypeConfigBase;

    // A refused pair starts Timer1 (100 ms, one-shot); the window calls Timer1Timer when it
    // runs out.
    std::function<void()> StartTimer1;

    void FormShow();
    void SetLanguage(Language lang);
    const TTypeConfig2DlgState& State() const { return state_; }

    void InputESelectionComboBoxChange(int index);
    void InputFSelectionComboBoxChange(int index);
    void Timer1Timer();

  private:
    void SelectionChanged();
    void LampGroupVisibility();

    TTypeConfig2DlgState state_;
};

}  // namespace zv
