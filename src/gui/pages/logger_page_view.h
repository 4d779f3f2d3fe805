#pragma once

#include <array>
#include <cstdint>

#include "logger/data_logger.h"
#include "pages/page_view.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace zv::gui {

// Page 10, the data logger: the log file's name over the log comment editor and the page's
// three buttons, and below them the list that shows a log again.
class TDLoggerView : public TPageView {
    Q_OBJECT
  public:
    explicit TDLoggerView(TDLogger& model, QWidget* parent = nullptr);
    ~TDLoggerView() override;

    void Render() override;

    QLineEdit& FileNamePanel() { return *fileNamePanel_; }
    QPlainTextEdit& CommentEditor() { return *commentEditor_; }
    QPlainTextEdit& ViewList() { return *viewList_; }
    QPushButton& ClearBufferButton() { return *clearBuffer_; }
    QPushButton& AddCommentButton() { return *addComment_; }
    QPushButton& ShowLogDataButton() { return *showLogData_; }
    QPushButton& MarkButton() { return *mark_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* FocusWidget(TDLoggerFocus focus) const;
    void RenderViewList();

    TDLogger& model_;
    QLineEdit* fileNamePanel_ = nullptr;
    QLabel* commentLabel_ = nullptr;
    QPlainTextEdit* commentEditor_ = nullptr;
    QPushButton* clearBuffer_ = nullptr;
    QPushButton* addComment_ = nullptr;
    QPushButton* showLogData_ = nullptr;
    QPushButton* mark_ = nullptr;
    QPlainTextEdit* viewList_ = nullptr;
    std::uint32_t focusMovesShown_ = 0;
    std::uint32_t viewLoadsShown_ = 0;
};

}  // namespace zv::gui
