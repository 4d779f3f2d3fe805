#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "dashboard/dashboard.h"
#include "data/zv_data_class.h"
#include "logger/log_format.h"
#include "pages/page.h"
#include "seams/dialogs.h"
#include "seams/timer_service.h"
#include "text/text_table.h"

namespace zv {

// The controls of the logger page that take the focus, in the order of the Tab key. The log's
// list takes it only by a click; Tab goes on from there to the first button.
enum class TDLoggerFocus : std::uint8_t {
    ClearBuffer,
    AddComment,
    ShowLogData,
    CommentEditor,
    ViewList
};

// What the logger page shows.
struct TDLoggerState {
    std::string FileNamePanel;
    std::string CommentLabel;
    std::string ClearBufferCaption;
    std::string AddCommentCaption;
    std::string ShowLogDataCaption;
    bool AddCommentEnabled = false;
    std::string MarkCaption;
    bool MarkEnabled = false;            // while a log is open
    std::vector<std::string> ViewLines;  // the log loaded by Show Log Data
    TDLoggerFocus Focus = TDLoggerFocus::ClearBuffer;
    // Counts the page's moves of the focus (page shown, Tab): the view puts the focus on Focus
    // when this changed, and otherwise leaves it where the operator clicked.
    std::uint32_t FocusMoves = 0;
    // Counts the changes of ViewLines, so that the view reloads the list only then.
    std::uint32_t ViewLoads = 0;
    std::string LogNumPanel;  // the main window's count of lines written
};

// What the logger needs of the program around it.
struct TDLoggerHost {
    std::function<Language()> CurrentLanguage = [] { return Language::English; };
    std::function<std::string()> RecentDir = [] { return std::string(); };
    std::function<std::time_t()> Now = [] { return std::time(nullptr); };
    // Settings of the type configuration: the wideband display on input F of the older units,
    // and the wideband device that converts it.
    std::function<bool()> WBO2DispOnF = [] { return false; };
    std::function<int()> WidebandDevice = [] { return 0; };
    // A refused log disarms the logger: the Logger button pops up, its menu item is unchecked.
    std::function<void()> ReleaseLogger;
    std::function<void()> ShowPageSelection;
};

// Units of the first generation (firmware index up to 8) send 11-byte records, which the
// logger does not write.
bool LogsFirmware(int firmware);

// The data logger (notebook page 10): appends each live record as a tab-separated line to a log
// file named from date and time, closes it with a stamp, adds comment blocks to a closed log and
// shows a log again. Every line opens, appends and closes the file, so the log on disk is
// complete after every record.
class TDLogger : public TPage {
  public:
    TDLogger(TZVDataClass& data, Dialogs& dialogs, const TimerService& clock, TDLoggerHost host);

    // The log's files and counters.
    std::string LogDir;
    std::string LogFile;
    std::string OpenFile;
    bool IsOpen = false;
    bool Closed = false;
    std::int32_t LineCount = 0;
    std::uint32_t StartTick = 0;
    std::string Columns;
    std::string LineFormat;
    int MarkCount = 0;  // marks set in the open log

    bool ChooseLogFile();
    bool OpenLogFile();
    void BuildColumns();
    std::int32_t WriteLogLine(const TLiveRecord& record);
    void CloseLogFile();
    void WriteLogComment();
    std::string MakeLogFileName(const std::string& folder) const;

    // The Logger button pressed down: a log that is still open from an earlier arming is
    // closed first, so that a new log never continues in the old file.
    bool ArmLogging();
    // Each live record while online, with the state of the Logger menu item. Units below
    // firmware 9 are not logged.
    void LogLiveRecord(const TLiveRecord& record, bool loggerChecked);
    // Program exit.
    void CloseAtExit();

    // A note between the data lines of the open log, stamped with the time since it opened;
    // false when no log is open or the line could not be written.
    bool WriteNote(const std::string& text);

    // Page buttons and the comment editor.
    void ClearDLogBufferButtonClick();
    // Only while the button is enabled, that is after a log closed and before the next opens.
    void AddCommentButtonClick();
    void ShowDLogDataButtonClick();
    // A numbered mark in the open log, so that a viewer finds the moment the operator meant.
    void MarkButtonClick();
    void SetLogComment(std::vector<std::string> lines) { comment_ = std::move(lines); }
    const std::vector<std::string>& LogComment() const { return comment_; }

    // Page operations. The page shows nothing of the data set and no live values.
    void LoadFromImage() override {}
    void ShowPage() override;
    void RefreshPage() override { NotifyChanged(); }
    void SetLanguage(Language lang) override;
    // Tab moves the focus on, Escape shows the page selection, M sets a mark unless it is typed
    // into the comment editor; other keys are not the page's.
    void HandleKey(std::uint8_t key) override;
    // The operator put the focus on one of the page's controls.
    void FocusChanged(TDLoggerFocus focus) { state_.Focus = focus; }

    const TDLoggerState& State() const { return state_; }
    // The file dialogs' filter for logs, also the log viewer's.
    std::string LogFilter() const;

  private:
    TLogConfig Config() const;
    void ShowError(const std::string& text) const;

    TZVDataClass& data_;
    Dialogs& dialogs_;
    const TimerService& clock_;
    TDLoggerHost host_;
    TLogConfig config_;  // what the open log's header was built from
    TLogColumns columns_;
    std::vector<std::string> comment_;
    TDLoggerState state_;
};

}  // namespace zv
