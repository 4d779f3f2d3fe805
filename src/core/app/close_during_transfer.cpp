// Closing the main window while data are being written into the unit: the window closing at
// once would leave the unit with part of the new data and no word about it.
#include "app/main_form_model.h"
#include "backup/backup_text.h"
#include "online/online_mode.h"

namespace zv {

namespace {

const TextPair kWriteUnderWay = {
    "Es werden Daten in das Gerät geschrieben (%1). Jetzt zu schließen lässt das Gerät mit einem "
    "Teil der neuen Daten zurück.\r\n"
    "Ja: die Übertragung zu Ende gehen lassen, dann schließen.\r\n"
    "Nein: jetzt schließen.\r\n"
    "Abbrechen: weiterarbeiten.",
    "Data are being written into the unit (%1). Closing now leaves the unit with part of the new "
    "data.\r\n"
    "Yes: let the transfer finish, then close.\r\n"
    "No: close now.\r\n"
    "Cancel: keep working.",
};

}  // namespace

std::optional<std::string> TMainFormModel::TransferUnderWay() const {
    const TOnlineMode* online = main_.Online();
    return online ? online->WriteUnderWay() : std::nullopt;
}

// Once the operator chose to let the transfer finish, the close that follows asks no more.
bool TMainFormModel::AllowCloseDuringTransfer() {
    const auto transfer = TransferUnderWay();
    if (!transfer || closeAfterTransfer_ == TCloseAfterTransfer::CloseNow)
        return true;
    if (closeAfterTransfer_ == TCloseAfterTransfer::Wait)
        return false;
    const std::string text = FillIn(kWriteUnderWay.Pick(CurrentLanguage()), {*transfer});
    switch (main_.ShowMessage(MsgKind::Warning, text, MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            closeAfterTransfer_ = TCloseAfterTransfer::Wait;
            return false;
        case MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

std::string TMainFormModel::UnitStateReport() const {
    const TOnlineMode* online = main_.Online();
    if (!online)
        return {};
    std::string report = online->UnitPartsReport(Language::English);
    for (std::size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at))
        report.replace(at, 2, "\n");
    return "the unit holds, as far as it was read back:\n" + report;
}

}  // namespace zv
