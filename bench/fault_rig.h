#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "line/sim_line.h"
#include "line/unit_endpoint.h"
#include "line/virtual_timer_service.h"
#include "link/transfer_table.h"
#include "online/online_mode.h"
#include "online/sequences.h"
#include "seams/dialogs.h"
#include "seams/settings_store.h"
#include "unit/sim_unit.h"

namespace zv::bench {

enum class FaultKind : std::uint8_t {
    None,
    Drop,          // bytes lost, both directions
    Corrupt,       // one bit of a byte flipped, both directions
    CorruptIdent,  // one character of an identification reply garbled
    Delay,         // the line holds a byte back for up to 150 ms
    Silent,        // the unit ignores everything for a while
    Vanish,        // the unit is gone for a while, then back
    PortVanish,    // the port closes under the link
    Noise,         // stray bytes from the unit between requests
};

struct RunCounts {
    std::uint64_t Runs = 0;
    std::uint64_t WrongDataAccepted = 0;
    std::uint64_t FailuresReportedAsSuccess = 0;
    std::uint64_t LostEdits = 0;
    std::uint64_t Crashes = 0;
    std::uint64_t Hangs = 0;
    std::uint64_t RecordsShown = 0;
    std::uint64_t EditsQueued = 0;
    std::uint64_t TransfersDone = 0;

    std::uint64_t Faults() const {
        return WrongDataAccepted + FailuresReportedAsSuccess + LostEdits + Crashes + Hangs;
    }
    RunCounts& operator+=(const RunCounts& other);
    std::string Json() const;
    std::string Describe() const;
};

// Answers nothing when asked; the fault matrix has nobody to click.
class AnswerYesDialogs : public Dialogs {
  public:
    MsgAnswer MessageBox(MsgKind, const std::string&, const std::string& text, MsgButtons) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override { return {}; }
    void Wait(int) override {}
    std::vector<std::string> Texts;
};

// The simulated unit behind the line, with stray bytes on demand, and a record of every live
// record it sent (where it lies in the unit's byte stream).
class WatchedUnit : public sim::UnitEndpoint {
  public:
    explicit WatchedUnit(sim::TSimUnit& unit) : Unit_(unit) {}
    void ReceiveByte(std::uint8_t byte, std::uint64_t nowMs) override;
    bool HasOutput() const override { return !Noise_.empty() || Unit_.HasOutput(); }
    std::uint8_t TakeOutputByte() override;
    void AddNoise(std::uint8_t byte) { Noise_.push_back(byte); }
    // First index (in the unit's byte stream) of every live record it sent.
    const std::vector<std::uint64_t>& RecordStarts() const { return RecordStarts_; }

  private:
    sim::TSimUnit& Unit_;
    std::deque<std::uint8_t> Noise_;
    std::uint64_t Taken_ = 0;
    std::vector<std::uint64_t> RecordStarts_;
};

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
    bool Saw(const std::string& text) const;
    bool SawFailure() const;
    bool RegionMatches(TTransfer transfer, const ImageBytes& image) const;
    // What a run that broke a rule did: its statuses and the bytes that differ (ZV_FM_DEBUG).
    void Explain(const std::vector<TTransfer>& transfers, bool upload) const;
    bool UploadMatches(TTransfer transfer, const ImageBytes& image) const;
    void CheckRecord(RunCounts& counts);
    void Edit(std::mt19937& rng, RunCounts& counts, std::vector<std::size_t>& edited);

    int Firmware_;
    FaultKind Kind_;
    double Rate_;
    std::mt19937 Rng_;
    sim::VirtualTimerService Clock_;
    sim::TSimLine Line_{Clock_, {1}};
    std::unique_ptr<sim::TSimUnit> Unit_;
    std::unique_ptr<WatchedUnit> Watched_;
    AnswerYesDialogs Dialogs_;
    MemorySettingsStore Settings_;
    std::unique_ptr<TMainModel> Main_;
    TOnlineMode* Online_ = nullptr;
    std::vector<std::string> Statuses_;
    std::uint64_t ShownRecords_ = 0;
    std::uint64_t BadRecords_ = 0;
};

}  // namespace zv::bench
