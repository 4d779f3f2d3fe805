#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "backup/unit_backup.h"
#include "dashboard/dashboard.h"
#include "logview/log_replay.h"
#include "logview/log_view_model.h"
#include "text/owned_text.h"

namespace zv {

class TZVDataClass;

// What the viewer needs of the program: the working data set, whether the unit is online and
// the way live records reach the page on view.
struct TLogViewerHost {
    TZVDataClass& Data;
    TimerService& Timers;
    std::function<bool()> Online;
    std::function<void(const TLiveRecord&)> ShowLiveFrame;
    // The replay paused or reached the end: what showed its records may rest again.
    std::function<void()> ReplayStopped;
};

// An opened log: the model the window paints and its replay into the pages.
class TLogViewer {
  public:
    TLogViewer(TLogData log, TLogViewerHost host);

    TLogViewModel& Model() { return model_; }
    const TLogViewModel& Model() const { return model_; }
    TLogReplay& Replay() { return replay_; }

    // Online the unit's records own the pages.
    bool ReplayEnabled() const { return !host_.Online(); }
    void PlayPause();

    // The data set changed (loaded, sites moved): targets and hit counts follow it.
    void DataSetChanged() { model_.SetDataSet(host_.Data); }

    // What the tuner must know before reading the plots and hits, one paragraph a line: lines
    // the reader skipped, a log of another unit than the open data set's, and what the log or
    // the data set lacks. Empty when all is well.
    std::string Notice(Language lang) const;
    // The newest backup of the unit the log was recorded on, in the data folder, offered when
    // the open data set is another unit's.
    std::optional<TBackupEntry> OwnBackup(const std::string& dataFolder) const;

  private:
    void LinePassed(std::size_t line);

    TLogViewerHost host_;
    TLogViewModel model_;
    TLogReplay replay_;
};

// "Open the data set of ZP-1 (backup of 2026-12-08 10:00:00)".
std::string OwnBackupText(const TBackupEntry& backup, Language lang);

// Reads a log for the viewer: the error text when the file is no log or holds no data line.
struct TLogOpenResult {
    std::optional<TLogData> Data;
    TOwnedText Error;
};
TLogOpenResult OpenLogForViewer(const std::string& path);

}  // namespace zv
