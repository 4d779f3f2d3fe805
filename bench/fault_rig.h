#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "fault_judge.h"
#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "link/transfer_table.h"
#include "online/online_mode.h"
#include "online/sequences.h"
#include "seams/dialogs.h"
#include "seams/settings_store.h"
#include "unit/sim_unit.h"
#include "unit/watched_unit.h"

namespace zv::bench {

// The program's main model and online mode, the simulated line and the simulated unit on one
// virtual clock, with one fault switched on.
class FaultRig {
  public:
    FaultRig(int firmware, std::uint32_t seed, FaultKind kind, double rate);

    RunCounts RunSequence(TSequence sequence, const std::vector<TTransfer>& transfers, bool upload);
    RunCounts RunLive();

  private:
    void ArmFaults();
    void ArmTimedFault(std::uint64_t fromMs, std::uint64_t spanMs);
    bool RunUntilIdle(std::uint64_t limitMs);
    FaultJudge Judge() const;
    void CheckRecord(RunCounts& counts);

    int Firmware_;
    FaultKind Kind_;
    double Rate_;
    std::mt19937 Rng_;
    sim::VirtualTimerService Clock_;
    sim::TSimLine Line_{Clock_, {1}};
    std::unique_ptr<sim::TSimUnit> Unit_;
    std::unique_ptr<sim::WatchedUnit> Watched_;
    AnswerYesDialogs Dialogs_;
    MemorySettingsStore Settings_;
    std::unique_ptr<TMainModel> Main_;
    TOnlineMode* Online_ = nullptr;
    std::vector<std::string> Statuses_;
    std::uint64_t ShownRecords_ = 0;
    std::uint64_t BadRecords_ = 0;
};

}  // namespace zv::bench
