#pragma once

#include <cstdint>

#include "pages/page_view.h"

class QComboBox;
class QPlainTextEdit;
class QToolButton;

namespace zv {
class TCommentForm;
}

namespace zv::gui {

// Page 11, the comment: the editor of the data set's comment lines under a row with the cut,
// copy and paste buttons and the box for the editor's text size.
class TCommentFormView : public TPageView {
    Q_OBJECT
  public:
    explicit TCommentFormView(TCommentForm& model, QWidget* parent = nullptr);
    ~TCommentFormView() override;

    void Render() override;

    QPlainTextEdit& CommentMemo() { return *commentMemo_; }
    QComboBox& TextSizeBox() { return *textSizeBox_; }
    QToolButton& CutBtn() { return *cutBtn_; }
    QToolButton& CopyBtn() { return *copyBtn_; }
    QToolButton& PasteBtn() { return *pasteBtn_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QToolButton* EditButton(const char* themeIcon, int glyph);

    TCommentForm& model_;
    QPlainTextEdit* commentMemo_ = nullptr;
    QComboBox* textSizeBox_ = nullptr;
    QToolButton* cutBtn_ = nullptr;
    QToolButton* copyBtn_ = nullptr;
    QToolButton* pasteBtn_ = nullptr;
    std::uint32_t linesShown_ = 0;
    std::uint32_t focusMovesShown_ = 0;
};

}  // namespace zv::gui
