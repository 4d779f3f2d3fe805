#include "app/logger_wiring.h"

#include <utility>

#include "logger/comment_form.h"
#include "logger/data_logger.h"
#include "logger/log_format.h"
#include "online/online_mode.h"

namespace zv {

void ConnectDataLogger(TOnlineMode& online, TDLogger& logger) {
    online.StartLogging = [&logger] { return logger.ArmLogging(); };
    // Releasing the button only disarms: the log closes with the next record, as its closing
    // stamp says when recording stopped.
    online.StopLogging = nullptr;
    online.LogRecord = [&online, &logger](const TLiveRecord& record) {
        logger.LogLiveRecord(record, online.Controls().LoggerMenuChecked);
    };
}

std::string EditNoteText(THistoryEvent event, const THistoryStep& step, Language lang) {
    const char* word = event == THistoryEvent::Undone   ? kLogUndoWord
                       : event == THistoryEvent::Redone ? kLogRedoWord
                                                        : kLogEditWord;
    std::string text = std::string(word) + " " + step.Name.Pick(lang);
    if (step.Writes.size() == 1 && step.Writes.front().Old.size() == 1) {
        // Undo writes the old byte back: it goes from the new value to the old one.
        int from = step.Writes.front().Old.front();
        int to = step.Writes.front().New.front();
        if (event == THistoryEvent::Undone)
            std::swap(from, to);
        text += " " + std::to_string(from) + " -> " + std::to_string(to);
    }
    return text;
}

TEditNotes::TEditNotes(TMainModel& main, TDLogger& logger) : main_(main) {
    listener_ = main_.History().AddStepListener(
        [this, &logger](THistoryEvent event, const THistoryStep& step) {
            logger.WriteNote(EditNoteText(event, step, main_.CurrentLanguage()));
        });
}

TEditNotes::~TEditNotes() {
    main_.History().RemoveStepListener(listener_);
}

TCommentPageAdapter::TCommentPageAdapter(TMainModel& main, TCommentForm& form)
    : main_(main), form_(form) {
    form_.MarkModified = [this] { main_.SetModified(true); };
    main_.SetCommentPage(this);
    form_.ShowComment(main_.Data().Comment);
}

TCommentPageAdapter::~TCommentPageAdapter() {
    main_.SetCommentPage(nullptr);
    form_.MarkModified = nullptr;
}

void TCommentPageAdapter::ShowComment(const std::vector<std::string>& lines) {
    form_.ShowComment(lines);
}

std::vector<std::string> TCommentPageAdapter::CommentLines() const {
    return form_.CommentLines();
}

}  // namespace zv
