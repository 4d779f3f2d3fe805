#include "pages/logger_page_view.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "config/key_control.h"
#include "logger/comment_form.h"
#include "pages/view_text.h"
#include "widgets/virtual_key.h"

namespace zv::gui {

namespace {

constexpr int kCommentEditorLines = 5;
// Columns of the shown log line up at tab stops this many digits wide: room for the values and
// for all but the longest column names.
constexpr int kTabStopDigits = 12;

QPushButton* PageButton() {
    auto* button = new QPushButton;
    button->setAutoDefault(false);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

}  // namespace

TDLoggerView::TDLoggerView(TDLogger& model, QWidget* parent) : TPageView(parent), model_(model) {
    // Framed like the editors below it, but only for reading.
    fileNamePanel_ = new QLineEdit;
    fileNamePanel_->setReadOnly(true);
    fileNamePanel_->setFocusPolicy(Qt::NoFocus);
    fileNamePanel_->setBackgroundRole(QPalette::Window);
    QPalette shaded = fileNamePanel_->palette();
    shaded.setColor(QPalette::Base, shaded.color(QPalette::Window));
    fileNamePanel_->setPalette(shaded);

    commentLabel_ = new QLabel;
    commentEditor_ = new QPlainTextEdit;
    commentEditor_->setTabChangesFocus(true);
    commentEditor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    commentEditor_->setFixedHeight(commentEditor_->fontMetrics().lineSpacing() *
                                       kCommentEditorLines +
                                   2 * (commentEditor_->frameWidth() + kSpacing));
    commentLabel_->setBuddy(commentEditor_);

    clearBuffer_ = PageButton();
    addComment_ = PageButton();
    showLogData_ = PageButton();
    // Outside the page's Tab cycle: a mark is set with a click or the M key and leaves the focus
    // where it was.
    mark_ = PageButton();
    mark_->setFocusPolicy(Qt::NoFocus);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(kSpacing);
    buttons->addWidget(clearBuffer_);
    buttons->addWidget(addComment_);
    buttons->addWidget(showLogData_);
    buttons->addSpacing(kGroupSpacing - kSpacing);
    buttons->addWidget(mark_);
    buttons->addStretch(1);

    viewList_ = new QPlainTextEdit;
    viewList_->setReadOnly(true);
    viewList_->setLineWrapMode(QPlainTextEdit::NoWrap);
    viewList_->setFocusPolicy(Qt::ClickFocus);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    viewList_->setFont(fixed);
    viewList_->setTabStopDistance(QFontMetricsF(fixed).horizontalAdvance(QLatin1Char('0')) *
                                  kTabStopDigits);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(kGroupSpacing, kSpacing, kGroupSpacing, kGroupSpacing);
    grid->setHorizontalSpacing(kGroupSpacing);
    grid->setVerticalSpacing(kSpacing);
    grid->addWidget(fileNamePanel_, 0, 0, 1, 2);
    grid->addWidget(commentLabel_, 1, 0);
    grid->addWidget(commentEditor_, 2, 0);
    grid->addLayout(buttons, 2, 1);
    grid->addWidget(viewList_, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);
    grid->setRowMinimumHeight(3, kGroupSpacing);

    connect(clearBuffer_, &QPushButton::clicked, this, [this] {
        model_.ClearDLogBufferButtonClick();
        Render();
    });
    connect(addComment_, &QPushButton::clicked, this, [this] {
        model_.AddCommentButtonClick();
        Render();
    });
    connect(showLogData_, &QPushButton::clicked, this, [this] {
        model_.ShowDLogDataButtonClick();
        Render();
    });
    connect(mark_, &QPushButton::clicked, this, [this] { model_.MarkButtonClick(); });
    connect(commentEditor_, &QPlainTextEdit::textChanged, this, [this] {
        model_.SetLogComment(EditorTextLines(commentEditor_->toPlainText().toStdString()));
    });
    for (QWidget* control :
         {static_cast<QWidget*>(clearBuffer_), static_cast<QWidget*>(addComment_),
          static_cast<QWidget*>(showLogData_), static_cast<QWidget*>(commentEditor_),
          static_cast<QWidget*>(viewList_)})
        control->installEventFilter(this);
    model_.Changed = [this] { Render(); };
    Render();
}

TDLoggerView::~TDLoggerView() {
    model_.Changed = nullptr;
}

QWidget* TDLoggerView::FocusWidget(TDLoggerFocus focus) const {
    switch (focus) {
        case TDLoggerFocus::ClearBuffer:
            return clearBuffer_;
        case TDLoggerFocus::AddComment:
            return addComment_;
        case TDLoggerFocus::ShowLogData:
            return showLogData_;
        case TDLoggerFocus::CommentEditor:
            return commentEditor_;
        case TDLoggerFocus::ViewList:
            return viewList_;
    }
    return clearBuffer_;
}

// Tab and Escape on the page's controls are the page's keys; a click on a control tells the
// page where the focus is now.
bool TDLoggerView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto& press = static_cast<const QKeyEvent&>(*event);
        const int key = VirtualKeyOf(press);
        // M is text in the comment editor. Held down it sets one mark, not a row of them.
        const bool markKey = key == 'M' && watched != commentEditor_ && !press.isAutoRepeat() &&
                             (press.modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
        if (key == vk::Tab || key == vk::Esc || markKey) {
            model_.HandleKey(static_cast<std::uint8_t>(key));
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        for (TDLoggerFocus focus :
             {TDLoggerFocus::ClearBuffer, TDLoggerFocus::AddComment, TDLoggerFocus::ShowLogData,
              TDLoggerFocus::CommentEditor, TDLoggerFocus::ViewList}) {
            if (watched == FocusWidget(focus))
                model_.FocusChanged(focus);
        }
    }
    return TPageView::eventFilter(watched, event);
}

void TDLoggerView::Render() {
    const TDLoggerState& s = model_.State();
    SetText(fileNamePanel_, Q(s.FileNamePanel));
    SetText(commentLabel_, Q(s.CommentLabel));
    SetText(clearBuffer_, Q(s.ClearBufferCaption));
    SetText(addComment_, Q(s.AddCommentCaption));
    SetText(showLogData_, Q(s.ShowLogDataCaption));
    addComment_->setEnabled(s.AddCommentEnabled);
    SetText(mark_, Q(s.MarkCaption));
    mark_->setEnabled(s.MarkEnabled);
    RenderViewList();
    if (focusMovesShown_ != s.FocusMoves && isVisible()) {
        focusMovesShown_ = s.FocusMoves;
        FocusWidget(s.Focus)->setFocus(Qt::TabFocusReason);
    }
}

void TDLoggerView::RenderViewList() {
    const TDLoggerState& s = model_.State();
    if (viewLoadsShown_ == s.ViewLoads)
        return;
    viewLoadsShown_ = s.ViewLoads;
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(s.ViewLines.size()));
    for (const std::string& line : s.ViewLines)
        lines.push_back(Q(line));
    viewList_->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace zv::gui
