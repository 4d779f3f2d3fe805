#include "app/main_page_host.h"

#include "app/main_form_model.h"
#include "config/key_control.h"
#include "online/online_mode.h"

namespace zv {

TMainPageHost::TMainPageHost(TMainModel& main, TMainFormModel& form, const TKeyControl& keys)
    : main_(main), form_(form), keys_(keys) {}

TZVDataClass& TMainPageHost::Data() {
    return main_.Data();
}

Language TMainPageHost::CurrentLanguage() const {
    return main_.CurrentLanguage();
}

bool TMainPageHost::RunOnline() const {
    return main_.RunOnline();
}

int TMainPageHost::PageOnView() const {
    return form_.PageOnView();
}

const TMainControls& TMainPageHost::Controls() const {
    const TOnlineMode* online = main_.Online();
    return online ? online->Controls() : offlineControls_;
}

bool TMainPageHost::WriteImage(const TImageWrite& write, std::span<const std::uint8_t> bytes) {
    return main_.WriteImage(write, bytes);
}

TEditHistory& TMainPageHost::History() {
    return main_.History();
}

bool TMainPageHost::PauseTimerActive() const {
    const TOnlineMode* online = main_.Online();
    return online && online->PauseTimerActive();
}

std::uint8_t TMainPageHost::TranslateStepKey(std::uint8_t key) const {
    return keys_.TranslateStepKey(key);
}

TConfiguredStepKeys TMainPageHost::ConfiguredStepKeys() const {
    return keys_.StepKeys();
}

TSettings& TMainPageHost::Settings() {
    return form_.Settings();
}

MsgAnswer TMainPageHost::AskRemembering(const std::string& text, const std::string& rememberText,
                                        bool& remember) {
    return main_.AskRemembering(text, rememberText, remember);
}

MsgAnswer TMainPageHost::ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons) {
    return main_.ShowMessage(kind, text, buttons);
}

void TMainPageHost::ShowPageSelection() {
    if (OnShowPageSelection)
        OnShowPageSelection();
}

void TMainPageHost::FocusKeyControl() {
    if (OnFocusKeyControl)
        OnFocusKeyControl();
}

void TMainPageHost::StartDownload(TSequence sequence) {
    if (TOnlineMode* online = main_.Online())
        online->StartSequence(sequence, link::ConnectTransfer);
}

void TMainPageHost::SwitchOfflineIfOnline() {
    main_.SwitchOfflineIfOnline();
}

int TMainPageHost::WBODebounceLevel() const {
    return debounceLevel_;
}

void TMainPageHost::SetWBODebounceLevel(int level) {
    debounceLevel_ = level;
    if (TOnlineMode* online = main_.Online())
        online->WBODebounceLevel = level;
}

bool TMainPageHost::WBO2DispAfrMaster() const {
    return form_.WBO2DispAfrMaster();
}

void TMainPageHost::ToggleWBO2DispAfrMaster() {
    form_.AFRPanelDblClick();
}

bool TMainPageHost::WBO2DispOnF() const {
    return form_.Started().WBO2DispOnF;
}

// The type configuration dialog keeps the device index in the settings; it is read once here.
int TMainPageHost::WBO2ModuleType() const {
    if (!moduleType_)
        moduleType_ = form_.Settings().i_ReadInteger("Options", "WBO2ModuleType", 0);
    return *moduleType_;
}

void TMainPageHost::SetWBO2DispOnF(bool on) {
    form_.SetWBO2DispOnF(on);
}

void TMainPageHost::SetWBO2ModuleType(int type) {
    moduleType_ = type;
    form_.Settings().v_WriteInteger("Options", "WBO2ModuleType", type & 0xFF);
}

bool TMainPageHost::InputSelectionsToFlags(std::uint16_t& flags) {
    return main_.InputSelectionsToFlags(flags);
}

void TMainPageHost::FlagsToInputSelections(std::uint16_t flags) {
    main_.FlagsToInputSelections(flags);
}

}  // namespace zv
