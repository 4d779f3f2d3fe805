#pragma once

#include <optional>
#include <set>
#include <string>

#include "text/text_table.h"

namespace zv {

// A USB-serial adapter passes received bytes on only when its latency timer runs out, so every
// reply the link waits for comes that much later. A few milliseconds are lost in the line's own
// pauses; above that the tuner hears about it.
constexpr int kAdapterLatencyWarnAboveMs = 4;
// The request-reply turns of a full upload or download, each of which waits the latency.
constexpr int kFullTransferTurns = 1000;

// What an adapter on COM<comPort> with this latency timer costs and how to lower it; nothing
// when the latency is low enough.
std::optional<std::string> AdapterLatencyNotice(int comPort, int latencyMs, Language language);

// Each port is spoken of once per run, however often the link opens it again.
class TAdapterLatencyNotes {
  public:
    // The notice for a port just opened, unless the port is fine or was spoken of already.
    std::optional<std::string> PortOpened(int comPort, int latencyMs, Language language);

  private:
    std::set<int> told_;
};

}  // namespace zv
