#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "logview/log_data.h"
#include "logview/log_operating_point.h"

namespace zv {

class TZVDataClass;

// One plotted quantity: a column of the log, or the AFR target the data set gives each line.
struct TLogChannel {
    std::string Name;
    std::string Unit;  // "rpm", "%", "AFR" or empty
    double Low = 0.0;  // the axis range
    double High = 1.0;
    bool Target = false;  // drawn in the strip of the measured AFR
    int Decimals = 0;     // as the log wrote them, -1: as each value needs
};

// Keys of the viewer; Shift makes the cursor keys move ten lines.
enum class TLogKey : std::uint8_t { Left, Right, ZoomIn, ZoomOut, Home, End, PageUp, PageDown };

// Per map cell: lines whose operating point lies nearest the cell, their mean AFR error
// (measured minus target, lines with a target only) and their mean wideband correction.
struct TLogHitCell {
    int Count = 0;
    std::optional<double> AfrError;
    std::optional<double> Correction;
};

enum class TLogHitMeasure : std::uint8_t { Count, AfrError, Correction };

struct TLogHitCounts {
    std::array<std::array<TLogHitCell, 16>, 16> Cells{};  // [throttle][rpm], lowest site 0
    TSites Throttle{};
    TSites Rpm{};
    bool HasAfr = false;  // the log has a wideband column: AFR error and correction exist

    std::optional<double> Value(int t, int r, TLogHitMeasure measure) const;
};

// What the log viewer shows of a log: the channels, the visible time span, the cursor and the
// notes in view. The view paints this and forwards its events.
class TLogViewModel {
  public:
    // Whole log .. this many seconds.
    static constexpr double kMinSpan = 2.0;

    explicit TLogViewModel(TLogData data);

    const TLogData& Data() const { return data_; }
    bool HasWideband() const { return afr_.has_value(); }
    // A data set is open or read from the unit: without one the map's sites and the AFR targets
    // are unknown, and the viewer shows neither targets nor hits rather than made-up ones.
    bool HasDataSet() const { return hasDataSet_; }

    // The data set whose sites and target map give the operating point and the AFR target.
    void SetDataSet(const TZVDataClass& data);

    // Every channel, columns first in log order, then the target when the log has an AFR.
    const std::vector<TLogChannel>& Channels() const { return channels_; }
    const std::vector<std::size_t>& Shown() const { return shown_; }
    bool IsShown(std::size_t channel) const;
    void SetShown(std::size_t channel, bool shown);
    // A channel's value at a line; none for the target where the cells are NC.
    std::optional<double> Value(std::size_t channel, std::size_t line) const;

    // Seconds of the log and of the visible span.
    double LogStart() const { return logStart_; }
    double LogEnd() const { return logEnd_; }
    double ViewStart() const { return viewStart_; }
    double ViewEnd() const { return viewEnd_; }
    // Zoom by a factor (2: half the span) about a time, which keeps its place on screen.
    void Zoom(double about, double factor);
    void Pan(double seconds);
    void ShowAll();

    // The cursor: the line at or before a time (the first line before the log starts).
    std::optional<std::size_t> LineAt(double time) const;
    std::size_t CursorLine() const { return cursor_; }
    double CursorTime() const;
    void SetCursorTime(double time);
    void SetCursorLine(std::size_t line);
    void HandleKey(TLogKey key, bool shift);
    // Pans the least that brings the cursor into view (a replay moving it out of the span).
    void KeepCursorInView();

    // Notes whose time lies in the visible span.
    std::vector<const TLogNote*> VisibleNotes() const;

    const TLogHitCounts& HitCounts() const { return hits_; }

  private:
    void BuildChannels();
    void SetView(double start, double span);
    void CountHits();

    TLogData data_;
    std::optional<std::size_t> afr_;
    std::optional<std::size_t> correction_;
    std::vector<TLogChannel> channels_;
    std::vector<std::size_t> shown_;
    std::vector<std::optional<double>> target_;  // per line
    TOperatingMaps maps_;
    TLogHitCounts hits_;
    bool hasDataSet_ = false;
    double logStart_ = 0.0;
    double logEnd_ = 0.0;
    double viewStart_ = 0.0;
    double viewEnd_ = 0.0;
    std::size_t cursor_ = 0;
};

}  // namespace zv
