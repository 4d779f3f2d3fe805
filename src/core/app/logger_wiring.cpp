#include "app/logger_wiring.h"

#include "logger/comment_form.h"
#include "logger/data_logger.h"
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
