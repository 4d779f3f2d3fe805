#include "pages/comment_page_view.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "config/key_control.h"
#include "logger/comment_form.h"
#include "pages/view_text.h"
#include "widgets/virtual_key.h"

namespace zv::gui {

namespace {

enum Glyph { kCutGlyph, kCopyGlyph, kPasteGlyph };
constexpr int kGlyphSize = 32;

void Sheet(QPainter& p, const QRectF& r) {
    p.drawRect(r);
    for (int line = 1; line <= 3; ++line) {
        const double y = r.top() + r.height() * line / 4.5;
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
    }
}

// The three edit pictures in the palette's text colour, for systems without an icon theme.
QIcon DrawnIcon(int glyph, const QColor& ink, const QColor& paper) {
    QPixmap pixmap(kGlyphSize, kGlyphSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 2));
    p.setBrush(paper);
    switch (glyph) {
        case kCutGlyph:
            p.drawLine(QPointF(10, 3), QPointF(21, 21));
            p.drawLine(QPointF(22, 3), QPointF(11, 21));
            p.drawEllipse(QPointF(9, 25), 4.5, 4.5);
            p.drawEllipse(QPointF(23, 25), 4.5, 4.5);
            break;
        case kCopyGlyph:
            Sheet(p, QRectF(3, 3, 17, 20));
            Sheet(p, QRectF(12, 9, 17, 20));
            break;
        case kPasteGlyph:
            p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
            p.setBrush(ink);
            p.drawRect(QRectF(10, 2, 8, 5));
            p.setBrush(paper);
            Sheet(p, QRectF(14, 12, 15, 18));
            break;
    }
    return QIcon(pixmap);
}

}  // namespace

TCommentFormView::TCommentFormView(TCommentForm& model, QWidget* parent)
    : TPageView(parent), model_(model) {
    commentMemo_ = new QPlainTextEdit;
    commentMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    commentMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    commentMemo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    cutBtn_ = EditButton("edit-cut", kCutGlyph);
    copyBtn_ = EditButton("edit-copy", kCopyGlyph);
    pasteBtn_ = EditButton("edit-paste", kPasteGlyph);
    textSizeBox_ = new QComboBox;
    textSizeBox_->setEditable(true);
    textSizeBox_->setInsertPolicy(QComboBox::NoInsert);
    textSizeBox_->lineEdit()->setMaxLength(2);
    for (const std::string& item : TCommentForm::TextSizeItems())
        textSizeBox_->addItem(Q(item));
    textSizeBox_->setEditText(QString::number(model_.TextSize()));

    auto* tools = new QHBoxLayout;
    tools->setSpacing(kSpacing);
    tools->addWidget(cutBtn_);
    tools->addWidget(copyBtn_);
    tools->addWidget(pasteBtn_);
    tools->addSpacing(kGroupSpacing);
    tools->addWidget(textSizeBox_);
    tools->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kGroupSpacing, kSpacing, kGroupSpacing, kGroupSpacing);
    column->setSpacing(kSpacing);
    column->addLayout(tools);
    column->addWidget(commentMemo_, 1);

    connect(cutBtn_, &QToolButton::clicked, this, [this] {
        model_.CommentMemoOperatorEdit();
        commentMemo_->cut();
    });
    connect(copyBtn_, &QToolButton::clicked, commentMemo_, &QPlainTextEdit::copy);
    connect(pasteBtn_, &QToolButton::clicked, this, [this] {
        model_.CommentMemoOperatorEdit();
        commentMemo_->paste();
    });
    connect(textSizeBox_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { model_.TextSizeBoxChange(text.toStdString()); });
    connect(commentMemo_, &QPlainTextEdit::textChanged, this, [this] {
        model_.CommentMemoChange(EditorTextLines(commentMemo_->toPlainText().toStdString()));
    });
    commentMemo_->installEventFilter(this);
    commentMemo_->viewport()->installEventFilter(this);
    model_.Changed = [this] { Render(); };
    Render();
}

TCommentFormView::~TCommentFormView() {
    model_.Changed = nullptr;
}

QToolButton* TCommentFormView::EditButton(const char* themeIcon, int glyph) {
    auto* button = new QToolButton;
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    const int side = fontMetrics().height() + kSpacing;
    button->setIconSize(QSize(side, side));
    button->setIcon(QIcon::fromTheme(
        QString::fromLatin1(themeIcon),
        DrawnIcon(glyph, palette().color(QPalette::Text), palette().color(QPalette::Base))));
    return button;
}

// Every key in the editor is the operator's; so is text changed through its own menu, dropped
// on it or pasted with the middle button.
bool TCommentFormView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (watched == commentMemo_) {
                const int key = VirtualKeyOf(static_cast<const QKeyEvent&>(*event));
                model_.CommentMemoKeyPress(key);
                if (key == vk::Esc)
                    return true;
            }
            break;
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            model_.CommentMemoOperatorEdit();
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<const QMouseEvent&>(*event).button() == Qt::MiddleButton)
                model_.CommentMemoOperatorEdit();
            break;
        default:
            break;
    }
    return TPageView::eventFilter(watched, event);
}

void TCommentFormView::Render() {
    const TCommentFormState& s = model_.State();
    if (linesShown_ != s.LinesShown) {
        linesShown_ = s.LinesShown;
        const QString text = Q(EditorText(model_.CommentLines()));
        if (commentMemo_->toPlainText() != text)
            commentMemo_->setPlainText(text);
    }
    if (commentMemo_->font().pointSize() != s.TextSize) {
        QFont font = commentMemo_->font();
        font.setPointSize(s.TextSize);
        commentMemo_->setFont(font);
    }
    if (focusMovesShown_ != s.FocusMoves && isVisible()) {
        focusMovesShown_ = s.FocusMoves;
        commentMemo_->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace zv::gui
