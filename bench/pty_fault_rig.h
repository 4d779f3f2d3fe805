#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/main_model.h"
#include "fault_judge.h"
#include "seams/qt_timer_service.h"
#include "seams/settings_store.h"
#include "tcom_manager.h"
#include "tserial.h"
#include "zvsim_process.h"

namespace zv::bench {

// The program's main model and online mode on real timers and the real serial port, against
// zvsim on a pseudo-terminal at true 9600-baud timing, with one fault switched on. When the run
// ends zvsim writes the unit's memory, which the run is judged against.
class PtyFaultRig {
  public:
    PtyFaultRig(int firmware, std::uint32_t seed, FaultKind kind, double rate);
    ~PtyFaultRig();

    RunCounts RunSequence(TSequence sequence, const std::vector<TTransfer>& transfers, bool upload);
    RunCounts RunLive();

  private:
    std::string File(const std::string& name) const;
    // Starts zvsim on the unit's memory; line faults only for the first start.
    bool StartUnit(bool withFaults);
    // The silence or the vanishing unit begins afterMs after anchor is shown (the identification
    // accepted, the live stream running), so that it falls into the transfer whatever the
    // connection took.
    void ArmTimedFault(const std::string& anchor, int afterMs);
    void StartTimedFault();
    // zvsim killed and started again on its saved memory a moment later.
    void ArmRestart(int afterMs);
    // Ends zvsim and reads back what the unit held at the end.
    std::unique_ptr<sim::TSimUnit> StopUnit();
    bool WriteUnitData(const ImageBytes& image);
    // Waits up to limitMs for the link to go idle (a hang otherwise), then ends zvsim and reads
    // back the unit's memory (a crash when it cannot); nothing when the run failed so.
    std::unique_ptr<sim::TSimUnit> EndRun(int limitMs, RunCounts& counts);
    // Whether every record shown is one a zvsim sent, whole, per the traffic it wrote.
    std::uint64_t RecordsNotSent() const;
    FaultJudge Judge() const;

    int Firmware_;
    FaultKind Kind_;
    double Rate_;
    std::uint32_t Seed_;
    std::mt19937 Rng_;
    QTemporaryDir Dir_;
    int Starts_ = 0;
    bool RestartPending_ = false;
    QObject Owner_;  // its timers go with the rig
    std::string FaultAnchor_;
    int FaultAfterMs_ = 0;
    std::unique_ptr<test::Zvsim> Unit_;
    port::TCOMManager Manager_;
    port::TSerial Serial_{Manager_};
    QtTimerService Timers_;
    AnswerYesDialogs Dialogs_;
    MemorySettingsStore Settings_;
    std::unique_ptr<TMainModel> Main_;
    TOnlineMode* Online_ = nullptr;
    std::vector<std::string> Statuses_;
    std::vector<std::vector<std::uint8_t>> Shown_;
};

}  // namespace zv::bench
