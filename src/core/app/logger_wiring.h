#pragma once

#include <string>
#include <vector>

#include "app/main_model.h"

namespace zv {

class TCommentForm;
class TDLogger;
class TOnlineMode;

// The data logger behind the Logger button and menu item and the live records of the online
// mode, as the program and the command-line tool both wire it.
void ConnectDataLogger(TOnlineMode& online, TDLogger& logger);

// The note a running log gets of an edit step: "Edit: fuel map cell 5/7 +3 118 -> 121", with
// the step's name as the Edit menu shows it and, for a single byte, its values before and after.
std::string EditNoteText(THistoryEvent event, const THistoryStep& step, Language lang);

// Every edit step, undo and redo goes into the log that is open, between its data lines, so that
// a viewer shows what changed when.
class TEditNotes {
  public:
    TEditNotes(TMainModel& main, TDLogger& logger);
    ~TEditNotes();
    TEditNotes(const TEditNotes&) = delete;
    TEditNotes& operator=(const TEditNotes&) = delete;

  private:
    TMainModel& main_;
    int listener_ = 0;
};

// The comment page as the main model's file commands see it: they fill it on open and new and
// take its lines back on save. Typing in it marks the data set modified.
class TCommentPageAdapter final : public CommentPage {
  public:
    TCommentPageAdapter(TMainModel& main, TCommentForm& form);
    ~TCommentPageAdapter() override;
    TCommentPageAdapter(const TCommentPageAdapter&) = delete;
    TCommentPageAdapter& operator=(const TCommentPageAdapter&) = delete;

    void ShowComment(const std::vector<std::string>& lines) override;
    std::vector<std::string> CommentLines() const override;

  private:
    TMainModel& main_;
    TCommentForm& form_;
};

}  // namespace zv
