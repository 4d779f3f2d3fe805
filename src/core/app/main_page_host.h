#pragma once

#include <functional>
#include <optional>

#include "pages/page_host.h"

namespace zv {

class TKeyControl;
class TMainFormModel;
class TMainModel;

// The main window's side of the page interface: the data set and the link of the main model,
// the settings and readout options of the main form, and the step keys of the main key control.
class TMainPageHost final : public TPageHost {
  public:
    TMainPageHost(TMainModel& main, TMainFormModel& form, const TKeyControl& keys);

    // Window actions the GUI carries out.
    std::function<void()> OnShowPageSelection;
    std::function<void()> OnFocusKeyControl;

    TZVDataClass& Data() override;
    Language CurrentLanguage() const override;
    bool RunOnline() const override;
    int PageOnView() const override;
    const TMainControls& Controls() const override;
    bool WriteImage(const TImageWrite& write, std::span<const std::uint8_t> bytes) override;
    TEditHistory& History() override;
    bool PauseTimerActive() const override;
    std::uint8_t TranslateStepKey(std::uint8_t key) const override;
    TConfiguredStepKeys ConfiguredStepKeys() const override;
    TSettings& Settings() override;
    MsgAnswer ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons) override;
    MsgAnswer AskRemembering(const std::string& text, const std::string& rememberText,
                             bool& remember) override;
    void ShowPageSelection() override;
    void FocusKeyControl() override;
    void StartDownload(TSequence sequence) override;
    void SwitchOfflineIfOnline() override;
    int WBODebounceLevel() const override;
    void SetWBODebounceLevel(int level) override;
    bool WBO2DispAfrMaster() const override;
    void ToggleWBO2DispAfrMaster() override;
    bool WBO2DispOnF() const override;
    int WBO2ModuleType() const override;
    void SetWBO2DispOnF(bool on) override;
    void SetWBO2ModuleType(int type) override;
    bool InputSelectionsToFlags(std::uint16_t& flags) override;
    void FlagsToInputSelections(std::uint16_t flags) override;

  private:
    TMainModel& main_;
    TMainFormModel& form_;
    const TKeyControl& keys_;
    TMainControls offlineControls_;  // before the link exists
    int debounceLevel_ = 5;
    mutable std::optional<int> moduleType_;
};

}  // namespace zv
