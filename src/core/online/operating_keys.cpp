// F5 to F11, the Logger button and the serial port menu.
#include <algorithm>

#include "data/flag_bits.h"
#include "history/step_names.h"
#include "link/port_name.h"
#include "online/online_mode.h"
#include "text/text_table.h"

namespace zv {

void TOnlineMode::DispatchKey(int keyCode) {
    switch (keyCode) {
        case key::F5: OffOnlineButtonClick(); return;
        case key::F7: UpLoadButtonClick(); return;
        case key::F8: DownLoadButtonClick(); return;
        case key::F9: IdleActiveButtonClick(); return;
        case key::F10: NBLambdaActiveButtonClick(); return;
        case key::F11: WBO2LambdaActiveButtonClick(); return;
        default:
            if (PageKey) PageKey(keyCode);
            return;
    }
}

void TOnlineMode::OffOnlineButtonClick() {
    if (!controls_.F5.Enabled) return;
    controls_.F5.Down = !controls_.F5.Down;
    controls_.ConnectMenuChecked = controls_.F5.Down;
    if (controls_.F5.Down) {
        if (main_.Data().DeviceData.ChangedOffline) {
            main_.ShowMessage(MsgKind::Information, main_.Text(txt::DataChanged));
        }
        StartSequence(TSequence::Main, link::Connect);
    } else {
        StartSequence(TSequence::Main, link::CancelOnline);
    }
}

void TOnlineMode::UpLoadButtonClick() {
    if (controls_.F7.Enabled) StartSequence(TSequence::Upload, link::ConnectTransfer);
}

void TOnlineMode::DownLoadButtonClick() {
    if (!controls_.F8.Enabled) return;
    StartSequence(DownloadSequence(), link::ConnectTransfer);
}

void TOnlineMode::RestoreDownload(const TUnitIdentity& unit) {
    nextRestore_ = unit;
    DownLoadButtonClick();
    nextRestore_.reset();
}

// The switch is an edit of the flags word like any other: stored, marked, queued for the unit
// (or marked as changed offline) and recorded as a step of its own.
void TOnlineMode::SetFlagBit(int bit, bool set, const TextPair& what) {
    std::uint16_t flags = main_.Data().DeviceData.FlagsWord();
    if (set) {
        TZVDataClass::SetFlag(flags, bit);
    } else {
        TZVDataClass::ClearFlag(flags, bit);
    }
    TEditStep step(main_.History(), SwitchStep(what, set));
    main_.WriteImage(MainAreaWrite(img::FlagsWord), WordBytes(flags));
}

void TOnlineMode::IdleActiveButtonClick() {
    if (!controls_.F9.Enabled) return;
    controls_.F9.Down = !controls_.F9.Down;
    controls_.IdleMenuChecked = controls_.F9.Down;
    SetFlagBit(flag::IdleControl, controls_.F9.Down, stepname::IdleControl);
}

// F10 and F11 form a button group: pressing one releases the other, whose bit stays as it was.
void TOnlineMode::NBLambdaActiveButtonClick() {
    if (!controls_.F10.Visible || !controls_.F10.Enabled) return;
    controls_.F10.Down = !controls_.F10.Down;
    if (controls_.F10.Down) controls_.F11.Down = false;
    controls_.LambdaMenuChecked = controls_.F10.Down;
    SetFlagBit(flag::NarrowBandLambdaControl, controls_.F10.Down, stepname::NarrowBandControl);
}

void TOnlineMode::WBO2LambdaActiveButtonClick() {
    if (!controls_.F11.Visible || !controls_.F11.Enabled) return;
    controls_.F11.Down = !controls_.F11.Down;
    if (controls_.F11.Down) controls_.F10.Down = false;
    controls_.LambdaMenuChecked = controls_.F11.Down;
    SetFlagBit(flag::WBO2Control, controls_.F11.Down, stepname::WideBandControl);
}

void TOnlineMode::LoggerButtonClick() {
    if (!controls_.Logger.Enabled) return;
    controls_.Logger.Down = !controls_.Logger.Down;
    if (controls_.Logger.Down) {
        const bool recording = StartLogging && StartLogging();
        controls_.Logger.Down = recording;
        controls_.LoggerMenuChecked = recording;
    } else {
        controls_.LoggerMenuChecked = false;
        if (StopLogging) StopLogging();
    }
}

void TOnlineMode::MenuLoggerClick() {
    if (!controls_.LoggerMenuEnabled) return;
    if (!controls_.LoggerMenuChecked) {
        LoggerButtonClick();
        return;
    }
    if (main_.ShowMessage(MsgKind::Confirmation, main_.Text(txt::QuitDataLogging), MsgButtons::YesNo) == MsgAnswer::Yes) {
        ReleaseLogger();
        if (StopLogging) StopLogging();
    }
}

void TOnlineMode::ReleaseLogger() {
    controls_.Logger.Down = false;
    controls_.LoggerMenuChecked = false;
}

void TOnlineMode::RebuildPortMenu() {
    // The built-in simulated unit is always there, so that the program can go online without
    // a unit; the menu is therefore never empty.
    portMenu_.Items = {kSimulatedUnitName.Pick(main_.CurrentLanguage())};
    for (int port : link_->ComPort().AvailablePorts()) portMenu_.Items.push_back("COM" + std::to_string(port));
    CheckPortMenu();
}

void TOnlineMode::CheckPortMenu() {
    if (portMenu_.Items.empty()) {
        portMenu_.Checked.clear();
        main_.ShowMessage(MsgKind::Warning, "Keine Com Schnittstelle verfügbar");
    } else {
        // The simulated unit's item is always first; it speaks the current language.
        const std::string simulated = kSimulatedUnitName.Pick(main_.CurrentLanguage());
        portMenu_.Items.front() = simulated;
        const std::string current = ComPortNo == kSimulatedUnitPort ? simulated : "COM" + std::to_string(ComPortNo);
        const bool present = std::find(portMenu_.Items.begin(), portMenu_.Items.end(), current) != portMenu_.Items.end();
        portMenu_.Checked = present ? current : std::string();
    }
    if (PortMenuChanged) PortMenuChanged();
}

void TOnlineMode::MComClick(const std::string& caption) {
    const std::string name = WithoutMnemonic(caption);
    int number = kSimulatedUnitPort;
    if (name != kSimulatedUnitName.German && name != kSimulatedUnitName.English) {
        // The port is taken only when it is one the port list knows.
        std::string error;
        const auto port = ParsePortName(name, error);
        const auto present = link_->ComPort().AvailablePorts();
        if (!port || port->Type != TPortName::Kind::Com ||
            std::find(present.begin(), present.end(), port->Number) == present.end())
            return;
        number = port->Number;
    }
    const bool changed = number != ComPortNo;
    ComPortNo = number;
    CheckPortMenu();
    main_.StorePortChoice(number);
    // While connecting or online the link goes to the chosen port at once; pinging on, or
    // streaming from, the port the operator just turned away from would only hide the choice.
    if (changed && controls_.F5.Down) StartSequence(TSequence::Main, link::Connect);
}

}  // namespace zv
