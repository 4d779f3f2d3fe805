#include "logger/comment_form.h"

namespace zv {

namespace {
constexpr int kKeyEscape = 27;
}

TCommentForm::TCommentForm(int editorFontSize) : textSize_(editorFontSize) {}

void TCommentForm::ShowComment(const std::vector<std::string>& lines) {
    lines_ = lines;
    typed_ = false;
}

void TCommentForm::CommentMemoKeyPress(int keyCode) {
    typed_ = true;
    if (keyCode == kKeyEscape && ShowPageSelection)
        ShowPageSelection();
}

void TCommentForm::CommentMemoChange(std::vector<std::string> lines) {
    if (lines == lines_)
        return;
    lines_ = std::move(lines);
    if (typed_ && MarkModified)
        MarkModified();
}

std::vector<std::string> TCommentForm::TextSizeItems() {
    std::vector<std::string> items;
    for (int size = kMinTextSize; size <= kMaxTextSize; ++size)
        items.push_back(std::to_string(size));
    return items;
}

void TCommentForm::TextSizeBoxChange(const std::string& text) {
    if (text.empty() || text.size() > 2)
        return;
    int size = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return;
        size = size * 10 + (c - '0');
    }
    if (size >= kMinTextSize && size <= kMaxTextSize)
        textSize_ = size;
}

}  // namespace zv
