#include "dialogs/page_select_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "config/page_select.h"
#include "dialogs/colour_panel.h"
#include "widgets/key_control_widget.h"

namespace zv::gui {

namespace {

constexpr int kListWidth = 240;
constexpr int kCornerGap = 12;

}  // namespace

PageSelectWindow::PageSelectWindow(TPageSelect& model, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(model) {
    setObjectName("PageSelect");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(0);

    QFont panelFont = font();
    panelFont.setPointSize(9);
    panelFont.setBold(true);
    const int panelHeight = QFontMetrics(panelFont).height() + 4;
    for (int page = 0; page < kPageCount; ++page) {
        auto* panel = new ColourPanel(this);
        panel->setFont(panelFont);
        panel->setFixedHeight(panelHeight);
        panel->setMinimumWidth(kListWidth - 12);
        panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        connect(panel, &ColourPanel::Clicked, this, [this, page] {
            model_.PanelClick(page);
            keySink_->setFocus();
        });
        connect(panel, &ColourPanel::DoubleClicked, this,
                [this, page] { model_.PanelDblClick(page); });
        panels_[static_cast<std::size_t>(page)] = panel;
        layout->addWidget(panel);
    }
    keySink_ = new KeyControlWidget(model_.KeyCtrlPage, this);
    layout->addWidget(keySink_);

    model_.Changed = [this] { Refresh(); };
    model_.VisibilityChanged = [this](bool visible) { ApplyVisibility(visible); };
    Refresh();
}

PageSelectWindow::~PageSelectWindow() {
    model_.Changed = nullptr;
    model_.VisibilityChanged = nullptr;
}

void PageSelectWindow::PlaceInCorner(const QRect& area) {
    adjustSize();
    const int width = isVisible() ? frameGeometry().width() : this->width();
    move(area.right() - width - kCornerGap, area.top() + kCornerGap / 2);
}

void PageSelectWindow::Refresh() {
    setWindowTitle(QString::fromStdString(model_.Caption()));
    for (int page = 0; page < kPageCount; ++page) {
        const TPagePanel& state = model_.Panel(page);
        ColourPanel* panel = panels_[static_cast<std::size_t>(page)];
        panel->setText(QString::fromStdString(state.Text));
        panel->SetColours(state.BackColour, state.FontColour);
        panel->SetLowered(state.Highlighted);
        panel->setVisible(state.Visible);
    }
    // The highlight must show at once, even when the page that follows takes a while to build.
    if (isVisible())
        repaint();
}

void PageSelectWindow::ApplyVisibility(bool visible) {
    if (!visible) {
        hide();
        return;
    }
    show();
    raise();
    activateWindow();
    keySink_->setFocus();
}

void PageSelectWindow::closeEvent(QCloseEvent* event) {
    // The title bar's close button hides the list as Enter would, without choosing anew.
    if (model_.Visible())
        model_.Hide();
    event->accept();
}

}  // namespace zv::gui
