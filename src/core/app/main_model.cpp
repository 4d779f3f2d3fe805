#include "app/main_model.h"

#include "data/flag_bits.h"
#include "link/port_name.h"
#include "sensors/wideband_sensor.h"
#include "online/online_mode.h"

namespace zv {


namespace {

const TextPair kPlausibilityNarrowBand = {
    "Plausibilitätskonflikt: Eingang E und F können\r\ndie Lambda 1 Regelfunktion nicht gleichzeitig nutzen.",
    "Plausibility conflict: Input E and F cannot\r\nuse narrow band lambda function at the same time.",
};
const TextPair kPlausibilityWideBand = {
    "Plausibilitätskonflikt: Eingang E und F können\r\ndie Breitbandlambda-Regelfunktion nicht gleichzeitig nutzen.",
    "Plausibility conflict: Input E and F cannot\r\nuse wide band lambda function at the same time.",
};

std::uint8_t SelectionOf(std::uint16_t flags, int lambdaBit, int wideBit) {
    if (!TZVDataClass::TestFlag(flags, lambdaBit)) return 0;
    return TZVDataClass::TestFlag(flags, wideBit) ? 2 : 1;
}

void PackSelection(std::uint16_t& flags, std::uint8_t selection, int lambdaBit, int wideBit) {
    if (selection == 1 || selection == 2) {
        TZVDataClass::SetFlag(flags, lambdaBit);
    } else {
        TZVDataClass::ClearFlag(flags, lambdaBit);
    }
    if (selection == 2) {
        TZVDataClass::SetFlag(flags, wideBit);
    } else {
        TZVDataClass::ClearFlag(flags, wideBit);
    }
}

int CaptionPair(MsgKind kind) {
    switch (kind) {
        case MsgKind::Error: return txt::CaptionError;
        case MsgKind::Warning: return txt::CaptionWarning;
        case MsgKind::Confirmation: return txt::CaptionConfirmation;
        case MsgKind::Information: break;
    }
    return txt::CaptionInformation;
}

}  // namespace

TMainModel::TMainModel(Dialogs& dialogs, SettingsStore& settings) : dialogs_(dialogs), settings_(settings) {
    // A step is made once its operation has closed it: then all its bytes are known.
    history_.AddStepListener([this](THistoryEvent event, const THistoryStep&) {
        if (event == THistoryEvent::Done)
            SendBatch();
    });
}

TMainModel::~TMainModel() = default;

MsgAnswer TMainModel::ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons) {
    return dialogs_.MessageBox(kind, Text(CaptionPair(kind)), text, buttons);
}

MsgAnswer TMainModel::AskRemembering(const std::string& text, const std::string& rememberText,
                                     bool& remember) {
    return dialogs_.MessageBoxWithCheck(MsgKind::Confirmation, Text(txt::CaptionConfirmation), text,
                                        MsgButtons::YesNo, rememberText, remember);
}

void TMainModel::AdapterLatencyFound(int comPort, int latencyMs) {
    if (const auto notice = latencyNotes_.PortOpened(comPort, latencyMs, language_))
        ShowMessage(MsgKind::Information, *notice);
}

void TMainModel::FlagsToInputSelections(std::uint16_t flags) {
    data_.InputFSelect = SelectionOf(flags, flag::TempInAsLambda, flag::AnaInFMode1);
    data_.InputESelect = SelectionOf(flags, flag::GPInAsLambda, flag::AnaInEMode1);
}

bool TMainModel::InputSelectionsToFlags(std::uint16_t& flags) {
    const std::uint8_t e = data_.InputESelect;
    const std::uint8_t f = data_.InputFSelect;
    if ((e == 1 && f == 1) || (e == 2 && f == 2)) {
        const TextPair& conflict = e == 1 ? kPlausibilityNarrowBand : kPlausibilityWideBand;
        ShowMessage(MsgKind::Information, conflict.Pick(language_));
        data_.InputFSelect = 0;
        return false;
    }
    PackSelection(flags, e, flag::GPInAsLambda, flag::AnaInEMode1);
    PackSelection(flags, f, flag::TempInAsLambda, flag::AnaInFMode1);
    return true;
}

void TMainModel::SwitchOfflineIfOnline() {
    if (IsOnline && SwitchOffline && IsOnline()) SwitchOffline();
}

void TMainModel::ShowCommentOnPage() {
    if (commentPage_) commentPage_->ShowComment(data_.Comment);
}

void TMainModel::NotifyDataSetLoaded() {
    // Called only once the operator agreed to leave the data set that the history belongs to.
    history_.Clear();
    // The wideband readouts follow the sensor the data set names.
    ApplySensorScale(data_);
    if (DataSetLoaded) DataSetLoaded();
}

TOnlineMode& TMainModel::ConnectLink(TimerService& timers, SerialPort& port) {
    online_ = std::make_unique<TOnlineMode>(*this, timers, port);
    return *online_;
}

void TMainModel::AddRecentFile(const std::string& path) {
    std::erase_if(recentFiles_, [&path](const std::string& entry) { return entry.find(path) != std::string::npos; });
    recentFiles_.insert(recentFiles_.begin(), path);
}

void TMainModel::StorePortChoice(int port) {
    const bool simulated = port == kSimulatedUnitPort;
    settings_.WriteBool("Com", "SimulatedUnit", simulated);
    if (!simulated)
        settings_.WriteInteger("Com", "Port", port);
}

}  // namespace zv
