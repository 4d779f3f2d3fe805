#include "dialogs/page_select_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "config/page_select.h"
#include "dialogs/colour_panel.h"
#include "widgets/key_control_widget.h"

namespace zv::gui {

namespace {

constexpr int kMargin = 3;
constexpr int kTextPadding = 8;  // each side of a page's name
constexpr int kColumnGap = 2;
constexpr int kMaxColumns = 6;
constexpr int kGap = 4;  // between the list and what it must not cover

TRect ToRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

// A list without a title bar still needs an edge against the page behind it.
class FramedWidget : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

}  // namespace

PageSelectWindow::PageSelectWindow(TPageSelect& model, QWidget* mainWindow)
    : QWidget(mainWindow), model_(model) {
    setObjectName("PageSelect");
    auto* outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new FramedWidget(this);
    frame->setAutoFillBackground(true);
    outer->addWidget(frame);
    grid_ = new QGridLayout(frame);
    grid_->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    grid_->setHorizontalSpacing(kColumnGap);
    grid_->setVerticalSpacing(0);

    QFont panelFont = font();
    panelFont.setPointSize(9);
    panelFont.setBold(true);
    const int panelHeight = QFontMetrics(panelFont).height() + 4;
    for (int page = 0; page < kPageCount; ++page) {
        auto* panel = new ColourPanel(frame);
        panel->setFont(panelFont);
        panel->setFixedHeight(panelHeight);
        panel->setIndent(kTextPadding);
        panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        connect(panel, &ColourPanel::Clicked, this, [this, page] {
            model_.PanelClick(page);
            keySink_->setFocus();
        });
        connect(panel, &ColourPanel::DoubleClicked, this,
                [this, page] { model_.PanelDblClick(page); });
        panels_[static_cast<std::size_t>(page)] = panel;
    }
    // The title bar's close button, which the list no longer has: it hides the list as Enter
    // would, without choosing anew.
    closeButton_ = new QToolButton(frame);
    closeButton_->setObjectName("PageSelectClose");
    closeButton_->setText(QStringLiteral("×"));
    closeButton_->setAutoRaise(true);
    closeButton_->setFocusPolicy(Qt::NoFocus);
    closeButton_->setFixedSize(panelHeight, panelHeight);
    connect(closeButton_, &QToolButton::clicked, this, [this] {
        if (model_.Visible())
            model_.Hide();
    });
    // Keys reach the model through a sink that takes no room.
    keySink_ = new KeyControlWidget(model_.KeyCtrlPage, frame);
    keySink_->setFixedSize(0, 0);
    Arrange(1);

    model_.Changed = [this] { Refresh(); };
    model_.VisibilityChanged = [this](bool visible) { ApplyVisibility(visible); };
    Refresh();
}

PageSelectWindow::~PageSelectWindow() {
    model_.Changed = nullptr;
    model_.VisibilityChanged = nullptr;
}

std::vector<ColourPanel*> PageSelectWindow::ShownPanels() const {
    std::vector<ColourPanel*> shown;
    for (int page = 0; page < kPageCount; ++page) {
        if (model_.Panel(page).Visible)
            shown.push_back(panels_[static_cast<std::size_t>(page)]);
    }
    return shown;
}

// Pages run down the first column, then down the next, so that Up and Down keep their sense.
void PageSelectWindow::Arrange(int columns) {
    columns_ = columns;
    for (ColourPanel* panel : panels_)
        grid_->removeWidget(panel);
    grid_->removeWidget(closeButton_);
    const auto shown = ShownPanels();
    const int rows = std::max<int>(1, (static_cast<int>(shown.size()) + columns - 1) / columns);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        // The same room after a name as before it.
        shown[i]->setMinimumWidth(0);
        shown[i]->setMinimumWidth(shown[i]->sizeHint().width() + kTextPadding);
        grid_->addWidget(shown[i], static_cast<int>(i) % rows, static_cast<int>(i) / rows);
    }
    grid_->addWidget(closeButton_, 0, columns, Qt::AlignTop);
    adjustSize();
}

// Each shape is measured as laid out, so that the place found is the room the list takes.
std::vector<TPageListShape> PageSelectWindow::Shapes() {
    const int count = static_cast<int>(ShownPanels().size());
    std::vector<TPageListShape> shapes;
    for (int columns = 1; columns <= std::min(kMaxColumns, std::max(count, 1)); ++columns) {
        const int rows = std::max(1, (count + columns - 1) / columns);
        if (columns > 1 && (count + rows - 1) / rows < columns)
            continue;  // the same rows as fewer columns, with an empty column
        Arrange(columns);
        const QSize size = grid_->sizeHint();  // the frame adds nothing around the grid
        shapes.push_back({columns, size.width(), size.height()});
    }
    return shapes;
}

void PageSelectWindow::PlaceIn(const QRect& area, const std::vector<QRect>& occupied) {
    std::vector<TRect> taken;
    taken.reserve(occupied.size());
    for (const QRect& r : occupied)
        taken.push_back(ToRect(r));
    const TPageListPlace place = PlacePageList(ToRect(area), taken, Shapes(), kGap);
    Arrange(place.Columns);
    const QPoint topLeft(place.Rect.Left, place.Rect.Top);
    move(parentWidget() ? parentWidget()->mapFromGlobal(topLeft) : topLeft);
}

int PageSelectWindow::TwoRowsHeight() const {
    return 2 * panels_[0]->minimumHeight() + 2 * kMargin + 2 * kGap;
}

void PageSelectWindow::Refresh() {
    setWindowTitle(QString::fromStdString(model_.Caption()));
    bool shownChanged = false;
    for (int page = 0; page < kPageCount; ++page) {
        const TPagePanel& state = model_.Panel(page);
        ColourPanel* panel = panels_[static_cast<std::size_t>(page)];
        panel->setText(QString::fromStdString(state.Text));
        panel->SetColours(state.BackColour, state.FontColour);
        panel->SetLowered(state.Highlighted);
        shownChanged |= panel->isVisibleTo(this) != state.Visible;
        panel->setVisible(state.Visible);
    }
    if (shownChanged)
        Arrange(columns_);
    // The highlight must show at once, even when the page that follows takes a while to build.
    if (isVisible())
        repaint();
}

void PageSelectWindow::closeEvent(QCloseEvent* event) {
    // Closing the window (Alt+F4) hides the list as Enter would, without choosing anew.
    if (model_.Visible())
        model_.Hide();
    event->accept();
}

void PageSelectWindow::ApplyVisibility(bool visible) {
    if (!visible) {
        hide();
        return;
    }
    show();
    raise();
    TakeKeys();
}

void PageSelectWindow::TakeKeys() {
    if (isWindow())
        activateWindow();
    keySink_->setFocus();
}

}  // namespace zv::gui
