#include "logger/comment_form.h"

namespace zv {

namespace {
constexpr int kKeyEscape = 27;
}

TCommentForm::TCommentForm(int editorFontSize) {
    state_.TextSize = editorFontSize;
}

void TCommentForm::ShowComment(const std::vector<std::string>& lines) {
    lines_ = lines;
    typed_ = false;
    ++state_.LinesShown;
    NotifyChanged();
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
    if (size < kMinTextSize || size > kMaxTextSize || size == state_.TextSize)
        return;
    state_.TextSize = size;
    NotifyChanged();
}

void TCommentForm::ShowPage() {
    ++state_.FocusMoves;
    NotifyChanged();
}

void TCommentForm::HandleKey(std::uint8_t key) {
    if (key == kKeyEscape && ShowPageSelection)
        ShowPageSelection();
}

std::vector<std::string> EditorTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string EditorText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

}  // namespace zv
