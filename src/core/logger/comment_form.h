#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pages/page.h"

namespace zv {

// What the comment page shows.
struct TCommentFormState {
    // Counts the times the program put lines into the editor (open, new, save): the view sets
    // the editor's text only then, so that the operator's cursor and selection stay otherwise.
    std::uint32_t LinesShown = 0;
    // Counts the page's requests for the keyboard focus on the editor (the page shown).
    std::uint32_t FocusMoves = 0;
    int TextSize = 0;  // the editor's font size in points
};

// The comment page (notebook page 11): the editor of the data set's comment lines. Text the
// program puts in (on open, new and save) leaves the data set unmodified; once the operator
// edited the text, every change marks it modified until the next open, new or save.
class TCommentForm : public TPage {
  public:
    static constexpr int kMinTextSize = 6;
    static constexpr int kMaxTextSize = 22;

    explicit TCommentForm(int editorFontSize);

    // The data set's lines into the editor, as loaded, created or saved.
    void ShowComment(const std::vector<std::string>& lines);
    const std::vector<std::string>& CommentLines() const { return lines_; }

    // The editor's events: a key pressed in it, and its text after any change.
    void CommentMemoKeyPress(int keyCode);
    void CommentMemoChange(std::vector<std::string> lines);
    bool Typed() const { return typed_; }
    // The operator changes the text without a key: the Cut and Paste buttons, the editor's own
    // menu, text dropped on it. These changes count as typed ones, so that a pasted comment is
    // not lost without the question to save it.
    void CommentMemoOperatorEdit() { typed_ = true; }

    // The size box: its entries, and the editor's font size (not kept anywhere).
    static std::vector<std::string> TextSizeItems();
    // Takes the box's text when it is a size of the list; anything else leaves the size.
    void TextSizeBoxChange(const std::string& text);
    int TextSize() const { return state_.TextSize; }

    // Page operations. The comment comes with the data set through ShowComment, and the page
    // has no texts of its own to re-caption.
    void LoadFromImage() override {}
    void ShowPage() override;
    void RefreshPage() override { NotifyChanged(); }
    void SetLanguage(Language lang) override { (void)lang; }
    // Keys of the main key control while the editor does not hold the focus.
    void HandleKey(std::uint8_t key) override;

    const TCommentFormState& State() const { return state_; }

    std::function<void()> MarkModified;
    std::function<void()> ShowPageSelection;

  private:
    std::vector<std::string> lines_;
    bool typed_ = false;
    TCommentFormState state_;
};

// The editor's text and its lines: every line ends with a line break, and a last line without
// one counts as well, so that lines survive the editor unchanged, empty ones at the end too.
std::vector<std::string> EditorTextLines(const std::string& text);
std::string EditorText(const std::vector<std::string>& lines);

}  // namespace zv
