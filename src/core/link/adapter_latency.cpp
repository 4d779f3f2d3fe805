#include "link/adapter_latency.h"

namespace zv {

namespace {

// Whole seconds, rounded: the tuner wants the order of the loss, not its decimals.
int AddedSeconds(int latencyMs) {
    return (kFullTransferTurns * latencyMs + 500) / 1000;
}

}  // namespace

std::optional<std::string> AdapterLatencyNotice(int comPort, int latencyMs, Language language) {
    if (latencyMs <= kAdapterLatencyWarnAboveMs)
        return std::nullopt;
    const std::string port = "COM" + std::to_string(comPort);
    const std::string ms = std::to_string(latencyMs);
    const std::string turns = std::to_string(kFullTransferTurns);
    const std::string seconds = std::to_string(AddedSeconds(latencyMs));
    if (language == Language::German) {
        return "Der USB-Seriell-Adapter an " + port + " hält empfangene Bytes " + ms +
               " ms zurück (Latency Timer).\r\nJeder der etwa " + turns +
               " Frage-Antwort-Wechsel eines vollständigen Hoch- oder Herunterladens wartet so "
               "lange: etwa " + seconds + " s mehr je Übertragung.\r\nAbhilfe: Geräte-Manager > "
               "Anschlüsse (COM & LPT) > der Adapter > Eigenschaften > Port Settings > Advanced "
               "> Latency Timer = 1 ms.";
    }
    return "The USB-serial adapter on " + port + " holds received bytes back for " + ms +
           " ms (its latency timer).\r\nEach of the about " + turns +
           " request-reply turns of a full upload or download waits that long: about " +
           seconds + " s more per transfer.\r\nTo lower it: Device Manager > Ports (COM & LPT) "
           "> the adapter > Properties > Port Settings > Advanced > Latency Timer = 1 ms.";
}

std::optional<std::string> TAdapterLatencyNotes::PortOpened(int comPort, int latencyMs,
                                                             Language language) {
    auto notice = AdapterLatencyNotice(comPort, latencyMs, language);
    if (!notice || !told_.insert(comPort).second)
        return std::nullopt;
    return notice;
}

}  // namespace zv
