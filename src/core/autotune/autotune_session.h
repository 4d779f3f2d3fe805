#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "autotune/autotune.h"
#include "autotune/tune_sample.h"
#include "autotune/tune_settings.h"
#include "cells/cell_selection.h"
#include "text/owned_text.h"

namespace zv {

class TMainModel;
class TZVDataClass;
class TOnlineMode;
class TimerService;
struct TLiveRecord;

// One log file among the sources of a run: its samples, or why it gave none.
struct TTuneLogSource {
    std::string Path;
    TTuneLog Log;
    std::optional<TOwnedText> Error;
    // Skipped lines, a log of another unit than the open data set's: said beside the log.
    std::vector<TOwnedText> Notices;

    int SampleCount() const { return static_cast<int>(Log.Samples.size()); }
};

// Why a setting cannot be used, naming the setting and its range; nothing when all can.
std::optional<TOwnedText> SettingsFault(const TTuneSettings& settings);

// A firmware whose live records carry the wideband controller, without which there is no AFR
// to tune from.
bool FirmwareHasWidebandController(int firmware);

// One tuning run as the autotune window holds it: its sources (log files and, while online and
// switched on, the live records), its settings, the result of the last computation and a block
// of cells on it, and the apply or discard of that result into the working data set.
class TAutotuneSession {
  public:
    // The clock gives the live records their arrival times.
    TAutotuneSession(TMainModel& main, const TimerService& clock);
    ~TAutotuneSession();
    TAutotuneSession(const TAutotuneSession&) = delete;
    TAutotuneSession& operator=(const TAutotuneSession&) = delete;

    // Log files. Adding reads the file at once; one that cannot be used stays in the list with
    // its message and adds no samples.
    const TTuneLogSource& AddLog(const std::string& path);
    void RemoveLog(std::size_t index);
    const std::vector<TTuneLogSource>& Logs() const { return logs_; }

    // The live records: the session hears every record the online mode shows; each that arrives
    // while Live is on and the link runs online becomes a sample.
    void ConnectLive(TOnlineMode& online);
    void SetLive(bool on) { live_ = on; }
    bool Live() const { return live_; }
    int LiveCount() const { return static_cast<int>(liveLog_.Samples.size()); }
    const TTuneLog& LiveSamples() const { return liveLog_; }
    void ClearLive();
    void TakeLiveRecord(const TLiveRecord& record);
    std::function<void()> LiveCountChanged;

    // The settings start from the working data set's sensor and may be edited freely; a
    // computation refuses those SettingsFault names.
    TTuneSettings& Settings() { return settings_; }
    const TTuneSettings& Settings() const { return settings_; }
    void ResetSettings();
    // Another data set came in: the sensor band follows it, the operator's other settings stay,
    // a result for the old map is dropped, and the logs are taken to have run on the new map.
    void DataSetChanged();

    // Runs autotune over all sources. False, with the reason in Refusal, when there are no
    // samples, the firmware has no wideband controller, a setting is out of range or the run
    // itself refused; the previous result is then cleared.
    bool Compute();
    const std::optional<TOwnedText>& Refusal() const { return refusal_; }
    const std::optional<TTuneResult>& Result() const { return result_; }
    int SampleCount() const;

    // Locks: cells autotune leaves as they are. Toggling a block locks all its cells unless all
    // are locked already, then frees them; a result is computed again.
    void ToggleLock(const TCellRect& block);

    // The operator's block of cells on the result.
    void Select(const std::optional<TCellRect>& block) { selection_ = block; }
    const std::optional<TCellRect>& Selection() const { return selection_; }

    // Applying writes the result's changed cells (all, or those in the block) as one undo step;
    // the result is then used up, and the live samples so far, which ran on the old map, are
    // dropped. Each gives the number of cells changed.
    int ApplyAll();
    int ApplySelection();
    void Discard();

  private:
    int Apply(const std::optional<TCellRect>& block);
    bool Refuse(const TOwnedText& why);
    double ArrivalTimeS();
    TFuelMap CurrentMap() const;
    void NoteLiveMap(double timeS);
    void TieLogToCurrentMap(TTuneLogSource& source) const;

    TMainModel& main_;
    const TimerService& clock_;
    TOnlineMode* online_ = nullptr;
    std::vector<TTuneLogSource> logs_;
    bool live_ = false;
    TTuneLog liveLog_;
    std::optional<TFuelMap> liveMap_;  // the map the live samples so far ran on
    std::optional<double> editedAt_;   // the last edit since the last live record
    std::optional<std::uint32_t> lastTick_;
    int listener_ = 0;  // in the edit history
    double liveTimeMs_ = 0.0;
    TTuneSettings settings_;
    std::optional<TTuneResult> result_;
    std::optional<TOwnedText> refusal_;
    std::optional<TCellRect> selection_;
};

// The fixed texts of the autotune window.
enum class TTuneText {
    Title,
    MenuItem,
    Sources,
    AddLog,
    RemoveLog,
    Live,
    LiveCount,
    ClearLive,
    Settings,
    Authority,
    MinSamples,
    MinRpm,
    DelayScale,
    FixedDelay,
    AfterMark,
    SteadyThrottle,
    RequireStartup,
    RejectAtLimit,
    RequireSteady,
    Defaults,
    Compute,
    ApplyAll,
    ApplySelection,
    Discard,
    Rejected,
    Richer,
    Leaner,
    TooFew,
    Summary,
    OpenLogCaption,
    LogFilter,
    Samples,
    LockBlock,
    Locked,
    Doubtful,
    DelayBase,
    DelayVolume,
    EstimateDelay,
    FuelCutHoldoff,
    EnrichmentHoldoff,
    WarmUp,
    RejectFuelCut,
    RejectEnrichment,
    RejectWarmUp,
};
const char* TuneText(TTuneText text, Language lang);

// What the heat map shows of a cell, all taken from the result: the change in percent and the
// sample count as the cell's two lines, its tint (the difference class of new - old: warm for
// more fuel, cool for less), grey where it could not be tuned, and the tooltip.
struct TTuneHeatCell {
    std::string Change;
    std::string Samples;
    int Tint = 0;
    bool Grey = false;
    // A corner mark: the cell is locked, or its proposal is of low confidence (small shares,
    // transients, scattered readings, or not separable from its neighbours).
    std::string Mark;
    std::string Tip;
};
TTuneHeatCell HeatCellOf(const TTuneCell& cell, bool locked, Language lang);

// The axis labels the fuel map table shows for the data set's sites, lowest first.
struct TTuneAxes {
    std::array<int, 16> Throttle{};
    std::array<int, 16> Rpm{};
    std::string RpmUnit;
};
TTuneAxes TuneAxesOf(const TZVDataClass& data, Language lang);

// "1234 samples, 1100 used, 14 cells changed", the sensor delay used and what the sources
// lacked, and one line per filter that rejected samples.
std::string TuneSummary(const TTuneResult& result, const TTuneSettings& settings, Language lang);
std::vector<std::string> TuneRejections(const TTuneResult& result, Language lang);

// A log in the source list: its file name and its sample count or its error.
std::string LogSourceLine(const TTuneLogSource& source, Language lang);

}  // namespace zv
