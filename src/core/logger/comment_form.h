#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zv {

// The comment page (notebook page 11): the editor of the data set's comment lines. Text the
// program puts in (on open, new and save) leaves the data set unmodified; once the operator
// pressed a key in the editor, every change marks it modified until the next open, new or save.
class TCommentForm {
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

    // The size box: its entries, and the editor's font size (not kept anywhere).
    static std::vector<std::string> TextSizeItems();
    // Takes the box's text when it is a size of the list; anything else leaves the size.
    void TextSizeBoxChange(const std::string& text);
    int TextSize() const { return textSize_; }

    std::function<void()> MarkModified;
    std::function<void()> ShowPageSelection;

  private:
    std::vector<std::string> lines_;
    bool typed_ = false;
    int textSize_;
};

}  // namespace zv
