#include "pages/map_form_view.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "app/main_model.h"
#include "dialogs/rev_adjust_dialog.h"
#include "editors/map_form.h"
#include "pages/block_menu.h"
#include "pages/overlay_button.h"
#include "pages/page_button.h"
#include "pages/view_text.h"
#include "widgets/bar_gauge.h"
#include "widgets/lambda_scope.h"
#include "widgets/m3d_chart.h"
#include "widgets/map_table.h"
#include "widgets/readout.h"
#include "widgets/wideband_display.h"

namespace zv::gui {

namespace {

constexpr int kTimer1Ms = 200;

QColor BarColour(TAfrBarColour colour, const QWidget& widget) {
    switch (colour) {
        case TAfrBarColour::Yellow:
            return {0xFF, 0xFF, 0x00};
        case TAfrBarColour::Green:
            return {0x00, 0xFF, 0x00};
        case TAfrBarColour::Red:
            return {0xFF, 0x00, 0x00};
        case TAfrBarColour::ButtonFace:
            break;
    }
    return widget.palette().color(QPalette::Button);
}

}  // namespace

TMapFormView::TMapFormView(TMapForm& model, QWidget* parent) : TPageView(parent), model_(model) {
    chart_ = new TM3DChart1;
    table_ = new TMapTable;
    scope_ = new TLambdaScope;

    auto* charts = new QHBoxLayout;
    charts->setSpacing(kGroupSpacing);
    charts->addWidget(BuildAfrBar());
    charts->addWidget(chart_, 4);
    charts->addWidget(table_, 3);
    auto* left = new QVBoxLayout;
    left->setSpacing(kSpacing);
    readout_ = new TWidebandDisplay;
    connect(readout_, &TWidebandDisplay::SwapRequested, this,
            [this] { model_.SwapLambdaAfrClick(); });
    connect(readout_, &TWidebandDisplay::DebounceMoved, this,
            [this](int position) { model_.DebounceScrollBarScroll(position); });
    left->addWidget(readout_);
    left->addLayout(charts, 4);
    left->addWidget(scope_, 1);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kGroupSpacing, kSpacing, kGroupSpacing, kGroupSpacing);
    outer->setSpacing(kGroupSpacing);
    outer->addLayout(left, 1);
    outer->addWidget(BuildValuePanel());
    BuildMenu();

    siteDialog_ = new TRevAdjustDialog(model_.RevAdjustDlg(), this);
    connect(chart_, &TM3DChart1::CellClicked, this,
            [this](int t, int r) { model_.CellClick(t, r); });
    connect(table_, &TMapTable::CellClicked, this,
            [this](int t, int r) { model_.CellClick(t, r); });
    connect(table_, &TMapTable::CellRightPressed, this,
            [this](int t, int r) { model_.CellContextClick(t, r); });
    connect(table_, &TMapTable::CellsDragged, this,
            [this](int t0, int r0, int t, int r) { model_.CellDrag(t0, r0, t, r); });
    model_.OpenRevAdjust = [this] { OpenSiteDialog(); };
    model_.Block().AskValue = [this](const TValuePrompt& prompt) {
        return AskBlockValue(this, prompt);
    };
    model_.Changed = [this] { Render(); };
    timer1_.setInterval(kTimer1Ms);
    connect(&timer1_, &QTimer::timeout, this, &TMapFormView::Timer1Timer);
    timer1_.start();
    Render();
}

TMapFormView::~TMapFormView() {
    model_.Changed = nullptr;
    model_.OpenRevAdjust = nullptr;
    model_.Block().AskValue = nullptr;
}

// Left of the chart: the AFR bar under its name (the bar's reading is an air/fuel ratio in
// both display modes).
QWidget* TMapFormView::BuildAfrBar() {
    afrBar_ = new QWidget;
    auto* column = new QVBoxLayout(afrBar_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kSpacing / 2);
    auto* name = new QLabel(QStringLiteral("AFR"));
    QFont small = name->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    name->setFont(small);
    name->setAlignment(Qt::AlignHCenter);
    afrGauge_ = new TBarGauge(Qt::Vertical);
    afrGauge_->SetMaximum(255);
    column->addWidget(name);
    column->addWidget(afrGauge_, 1, Qt::AlignHCenter);
    return afrBar_;
}

// On the right: the cursor's value and the unit's output, then the buttons at the bottom.
QWidget* TMapFormView::BuildValuePanel() {
    const TValueColumn values = BuildValueColumn(QStringLiteral("255"));
    QWidget* panel = values.Panel;
    QVBoxLayout* column = values.Column;
    manLabel_ = values.ManLabel;
    manValue_ = values.ManValue;
    autoLabel_ = values.AutoLabel;
    autoValue_ = values.AutoValue;
    viewButton_ = PageToolButton(true);
    tableButton_ = PageToolButton(true);
    sitesButton_ = PageToolButton(false);
    mapDownloadButton_ = PageToolButton(false);
    overlayButton_ = new TOverlayButton;
    for (QToolButton* b : std::initializer_list<QToolButton*>{
             viewButton_, tableButton_, overlayButton_, sitesButton_, mapDownloadButton_})
        column->addWidget(b);
    connect(viewButton_, &QToolButton::clicked, this,
            [this] { model_.ViewModeSpeedButtonClick(); });
    connect(tableButton_, &QToolButton::clicked, this, [this] { model_.TableButtonClick(); });
    connect(sitesButton_, &QToolButton::clicked, this, [this] { model_.RevAdjustButtonClick(); });
    connect(mapDownloadButton_, &QToolButton::clicked, this,
            [this] { model_.MapDownloadButtonClick(); });
    return panel;
}

void TMapFormView::BuildMenu() {
    fieldPopupMenu_ = new QMenu(this);
    menuMapLines_ = fieldPopupMenu_->addAction(QString());
    menuBackground_ = fieldPopupMenu_->addAction(QString());
    menuFrame_ = fieldPopupMenu_->addAction(QString());
    connect(menuMapLines_, &QAction::triggered, this, [this] { ChooseColour(0); });
    connect(menuBackground_, &QAction::triggered, this, [this] { ChooseColour(1); });
    connect(menuFrame_, &QAction::triggered, this, [this] { ChooseColour(2); });
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { fieldPopupMenu_->popup(chart_->mapToGlobal(at)); });
    blockMenu_ = new TBlockMenu([this](TBlockOp op) { model_.BlockCommand(op); }, this);
    blockMenu_->AttachTo(table_);
}

void TMapFormView::ChooseColour(int which) {
    const auto colour = static_cast<TChartColour>(which);
    const QColor chosen = QColorDialog::getColor(ColourOf(model_.ChartColour(colour)), this);
    if (chosen.isValid())
        model_.ColourChosen(colour, static_cast<std::uint32_t>(chosen.rgb() & 0xFFFFFF));
}

void TMapFormView::OpenSiteDialog() {
    siteDialog_->exec();
}

void TMapFormView::RenderOverlay() {
    overlayButton_->Render();
    if (const TMainModel* main = overlayButton_->Host())
        table_->SetOverlay(main->Overlay().Shown(), main->Overlay().MapClasses(main->Data().Map));
}

void TMapFormView::Timer1Timer() {
    if (!scope_->isVisible())
        return;
    scope_->Apply(model_.Timer1Timer(scope_->width(), scope_->height()));
}

void TMapFormView::Render() {
    const TMapFormState& s = model_.State();
    chart_->SetState(s.Chart);
    table_->setVisible(s.TableShown);
    if (s.TableShown)
        table_->SetState(s.Chart);
    scope_->setVisible(s.ViewMode == TMapViewMode::MapO2);
    scope_->SetShapes(s.LLoShape, s.WBoShape);
    manValue_->SetText(Q(s.ManMapValue));
    autoValue_->SetText(Q(s.AutoMapValue));
    viewButton_->setChecked(s.ViewMode == TMapViewMode::MapO2);
    tableButton_->setChecked(s.TableShown);
    sitesButton_->setVisible(s.SitesButtonVisible);
    mapDownloadButton_->setEnabled(s.MapDownloadEnabled);
    readout_->SetDebounce(s.Debounce.Position, Q(s.Debounce.Level));
    RenderTexts();
    RenderReadout();
    RenderOverlay();
}

void TMapFormView::RenderTexts() {
    const TMapFormTexts& t = model_.State().Texts;
    SetText(manLabel_, Q(t.ManFieldValueLabel));
    SetText(autoLabel_, Q(t.AutoFieldValueLabel));
    viewButton_->setText(Q(t.ViewButton));
    tableButton_->setText(Q(t.TableButton));
    sitesButton_->setText(Q(t.RevAdjustButton));
    sitesButton_->setToolTip(Q(model_.RevAdjustDlg().Texts().Caption));
    mapDownloadButton_->setText(Q(t.MapDownloadButton));
    mapDownloadButton_->setToolTip(Q(t.MapDownloadHint));
    readout_->SetDebounceTexts(t.Debounce);
    for (QWidget* cells : std::initializer_list<QWidget*>{chart_, table_, manValue_})
        cells->setToolTip(Q(t.CellTip));
    menuMapLines_->setText(Q(t.MenuMapLinesColor));
    menuBackground_->setText(Q(t.MenuBGColor));
    menuFrame_->setText(Q(t.MenuFrameColor));
    blockMenu_->SetItems(t.BlockMenu);
}

void TMapFormView::RenderReadout() {
    const TWidebandReadoutState& w = model_.State().Wideband;
    readout_->setVisible(w.Visible);
    afrBar_->setVisible(w.Visible);
    if (!w.Visible)
        return;
    readout_->SetReadout(w);
    afrGauge_->SetPosition(std::max(0, w.BarProgress));
    afrGauge_->SetBarColour(BarColour(w.BarColour, *afrGauge_));
}

}  // namespace zv::gui
