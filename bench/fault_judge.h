#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "link/transfer_table.h"
#include "online/online_mode.h"
#include "online/sequences.h"
#include "seams/dialogs.h"
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

const char* KindName(FaultKind kind);

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
    std::optional<std::size_t> ChooseFromList(const ListDialogRequest&) override { return {}; }
    void Wait(int) override {}
    std::vector<std::string> Texts;
};

// Judges one run by what the operator was shown (statuses, message boxes) against what the
// unit holds at the end and what the data set holds; the same rules whatever carried the bytes.
class FaultJudge {
  public:
    FaultJudge(int firmware, FaultKind kind, const std::vector<std::string>& statuses,
               const std::vector<std::string>& messages)
        : Firmware_(firmware), Kind_(kind), Statuses_(statuses), Messages_(messages) {}

    bool Saw(const std::string& text) const;

    // A transfer reported done holds exactly the right bytes, a failure is reported as one, a
    // failed upload leaves the working data as it was (before), and a download that did not
    // reach the unit leaves the data set marked as changed offline.
    RunCounts Sequence(TSequence sequence, const std::vector<TTransfer>& transfers, bool upload,
                       const TZVDataClass& data, const ImageBytes& before,
                       const sim::TSimUnit& unit) const;

    // Whether an edit of the fuel map (image indexes) is neither in the unit nor marked as
    // changed offline.
    bool EditsLost(const std::vector<std::size_t>& edited, const TZVDataClass& data,
                   const sim::TSimUnit& unit) const;

  private:
    bool SawFailure() const;
    bool RegionMatches(TTransfer transfer, const ImageBytes& image,
                       const sim::TSimUnit& unit) const;
    bool UploadMatches(TTransfer transfer, const ImageBytes& image,
                       const sim::TSimUnit& unit) const;
    // What a run that broke a rule did: its statuses and the bytes that differ (ZV_FM_DEBUG).
    void Explain(const std::vector<TTransfer>& transfers, bool upload, const ImageBytes& image,
                 const sim::TSimUnit& unit) const;

    int Firmware_;
    FaultKind Kind_;
    const std::vector<std::string>& Statuses_;
    const std::vector<std::string>& Messages_;
};

// Random bytes wherever the transfers move some, so that the PC and the unit differ there and a
// transfer that did not happen cannot pass for one that did.
void ScrambleRegions(const std::vector<TTransfer>& transfers, int firmware, std::mt19937& rng,
                     ImageBytes& image);

// One edit of one or two fuel map bytes as the operator makes it: queued for the unit while the
// stream runs, otherwise marked as changed offline. The image indexes go to edited.
void EditFuelMap(TOnlineMode& online, TZVDataClass& data, int firmware, std::mt19937& rng,
                 RunCounts& counts, std::vector<std::size_t>& edited);

}  // namespace zv::bench
