#include "pages/wbo2_form_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QAbstractItemView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/look.h"
#include "app/main_model.h"
#include "lambda/wbo2_form.h"
#include "pages/block_menu.h"
#include "pages/overlay_button.h"
#include "pages/page_button.h"
#include "pages/value_panel.h"
#include "pages/view_text.h"
#include "widgets/afr_grid.h"
#include "widgets/lambda_scope.h"
#include "widgets/led.h"
#include "widgets/readout.h"
#include "widgets/wideband_display.h"
#include "widgets/wrap_label.h"

namespace zv::gui {

namespace {

constexpr int kTimer1Ms = 200;
// The sensor list is as wide as the column's fields, not as its longest entry, so that the AFR
// grid keeps its room on a narrow screen; room for the list's frame and scroll bar.
constexpr int kSensorListChars = 22;
constexpr int kComboPopupSlack = 40;
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kFuchsia(0xFF, 0x00, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);

QLabel* WrappedLabel() {
    return new TWrapLabel;
}

// A framed value the keys never select (the error limits as AFR, the startup count).
QLabel* ReadOnlyPanel(const QString& widest) {
    auto* panel = new QLabel;
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(widest) + 2 * kSpacing);
    return panel;
}

// Lists whose texts follow the language are refilled only when a text changed, and their
// selection is set without reporting it as the operator's choice.
template <typename Items>
void FillCombo(QComboBox* combo, const Items& items, int current) {
    const QSignalBlocker block(combo);
    bool same = combo->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < combo->count(); ++i)
        same = combo->itemText(i) == Q(items[static_cast<std::size_t>(i)]);
    if (!same) {
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(Q(item));
    }
    if (combo->currentIndex() != current)
        combo->setCurrentIndex(current);
    // The box may be narrower than its longest entry: the list shows each whole, and the
    // chosen one is whole in the tooltip.
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
    combo->view()->setMinimumWidth(widest + kComboPopupSlack);
    combo->setToolTip(combo->currentText());
}

}  // namespace

TWBO2FormView::TWBO2FormView(TWBO2Form& model, QWidget* parent) : TPageView(parent), model_(model) {
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new TValuePanel;
        connect(panels_[i], &TValuePanel::Clicked, this,
                [this, i] { model_.PanelClick(static_cast<int>(i)); });
    }
    readout_ = new TWidebandDisplay;
    grid_ = new TAfrGrid;
    auto* right = new QVBoxLayout;
    right->setSpacing(kSpacing);
    right->addWidget(BuildReadingRow());
    right->addWidget(grid_, 3);
    right->addWidget(BuildLampRow());
    right->addWidget(BuildPlot(), 1);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kGroupSpacing, kSpacing, kGroupSpacing, kGroupSpacing);
    outer->setSpacing(kGroupSpacing);
    outer->addWidget(BuildLeftColumn());
    outer->addLayout(right, 1);

    connect(readout_, &TWidebandDisplay::SwapRequested, this,
            [this] { model_.WBOMasterLCDDblClick(); });
    connect(readout_, &TWidebandDisplay::DebounceMoved, this,
            [this](int position) { model_.DebounceScrollBarScroll(position); });
    connect(grid_, &TAfrGrid::CellClicked, this,
            [this](int col, int row) { model_.GridClick(col, row); });
    connect(grid_, &TAfrGrid::CellRightPressed, this,
            [this](int col, int row) { model_.GridContextClick(col, row); });
    connect(grid_, &TAfrGrid::CellsDragged, this, [this](int col0, int row0, int col, int row) {
        model_.GridDrag(col0, row0, col, row);
    });
    blockMenu_ = new TBlockMenu([this](TBlockOp op) { model_.BlockCommand(op); }, this);
    blockMenu_->AttachTo(grid_);
    model_.Block().AskValue = [this](const TValuePrompt& prompt) {
        return AskBlockValue(this, prompt);
    };
    model_.Changed = [this] { Render(); };
    timer1_.setInterval(kTimer1Ms);
    connect(&timer1_, &QTimer::timeout, this, &TWBO2FormView::Timer1Timer);
    timer1_.start();
    Render();
}

TWBO2FormView::~TWBO2FormView() {
    model_.Block().AskValue = nullptr;
    model_.Changed = nullptr;
}

QWidget* TWBO2FormView::BuildLeftColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGroupSpacing);
    layout->addWidget(BuildSensorGroup());
    layout->addWidget(BuildParamGroup());
    layout->addStretch(1);
    viewButton_ = PageToolButton(true);
    mapDownloadButton_ = PageToolButton(false);
    overlayButton_ = new TOverlayButton;
    layout->addWidget(viewButton_);
    layout->addWidget(overlayButton_);
    layout->addWidget(mapDownloadButton_);
    connect(viewButton_, &QToolButton::clicked, this,
            [this] { model_.ViewModeSpeedButtonClick(); });
    connect(mapDownloadButton_, &QToolButton::clicked, this,
            [this] { model_.MapDownloadButtonClick(); });
    column->setMaximumWidth(column->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 42);
    return column;
}

QGroupBox* TWBO2FormView::BuildSensorGroup() {
    sensorGroup_ = new QGroupBox;
    auto* grid = new QGridLayout(sensorGroup_);
    grid->setSpacing(kSpacing);
    sensorComboLabel_ = new QLabel;
    unitCombo_ = new QComboBox;
    unitCombo_->setFocusPolicy(Qt::NoFocus);
    unitCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    unitCombo_->setMinimumContentsLength(kSensorListChars);
    afrAt0VLabel_ = WrappedLabel();
    afrAt5VLabel_ = WrappedLabel();
    errorLowLabel_ = WrappedLabel();
    errorHighLabel_ = WrappedLabel();
    afrLowLimit_ = ReadOnlyPanel(QStringLiteral("00.00"));
    afrHighLimit_ = ReadOnlyPanel(QStringLiteral("00.00"));
    grid->addWidget(sensorComboLabel_, 0, 0, 1, 3);
    grid->addWidget(unitCombo_, 1, 0, 1, 3);
    grid->addWidget(afrAt0VLabel_, 2, 0);
    grid->addWidget(panels_[0], 2, 1);
    grid->addWidget(afrAt5VLabel_, 3, 0);
    grid->addWidget(panels_[1], 3, 1);
    // The AFR column's name sits in the free cell above it.
    errorAfrCaption_ = new QLabel;
    errorAfrCaption_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    grid->addWidget(errorAfrCaption_, 3, 2);
    grid->addWidget(errorLowLabel_, 4, 0);
    grid->addWidget(panels_[3], 4, 1);
    grid->addWidget(afrLowLimit_, 4, 2);
    grid->addWidget(errorHighLabel_, 5, 0);
    grid->addWidget(panels_[4], 5, 1);
    grid->addWidget(afrHighLimit_, 5, 2);
    grid->setColumnStretch(0, 1);
    panels_[2]->setVisible(false);  // AfrOffsetPanel
    panels_[5]->setVisible(false);
    connect(unitCombo_, &QComboBox::activated, this,
            [this](int index) { model_.WBO2UnitComboBoxChange(index); });
    return sensorGroup_;
}

QGroupBox* TWBO2FormView::BuildParamGroup() {
    paramGroup_ = new QGroupBox;
    auto* grid = new QGridLayout(paramGroup_);
    grid->setSpacing(kSpacing);
    kpLabel_ = WrappedLabel();
    kiLabel_ = WrappedLabel();
    intLimitUpLabel_ = WrappedLabel();
    intLimitDownLabel_ = WrappedLabel();
    startupDispLabel_ = WrappedLabel();
    const std::array<std::pair<QLabel*, std::size_t>, 5> rows = {{{kpLabel_, 6},
                                                                  {kiLabel_, 7},
                                                                  {intLimitUpLabel_, 8},
                                                                  {intLimitDownLabel_, 9},
                                                                  {startupDispLabel_, 10}}};
    int r = 0;
    for (const auto& [label, field] : rows) {
        grid->addWidget(label, r, 0);
        grid->addWidget(panels_[field], r++, 1);
    }
    errorOnIntegratorLabel_ = WrappedLabel();
    errorOnIntegratorButton_ = PageToolButton(true);
    connect(errorOnIntegratorButton_, &QToolButton::clicked, this,
            [this] { model_.WBO2SetErrorOnIntegratorButtonClick(); });
    grid->addWidget(errorOnIntegratorLabel_, r, 0);
    grid->addWidget(errorOnIntegratorButton_, r++, 1);
    presetLabel_ = WrappedLabel();
    presetCombo_ = new QComboBox;
    presetCombo_->setFocusPolicy(Qt::NoFocus);
    connect(presetCombo_, &QComboBox::activated, this,
            [this](int index) { model_.WBO2DefaultMapComboBoxChange(index); });
    grid->addWidget(presetLabel_, r, 0);
    grid->addWidget(presetCombo_, r, 1);
    grid->setColumnStretch(0, 1);
    return paramGroup_;
}

// Over the grid: the reading with its smoothing, the target and the controller's correction.
QWidget* TWBO2FormView::BuildReadingRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGroupSpacing);
    targetLabel_ = new QLabel;
    target_ = new TReadout(QStringLiteral("S 255"), 2.0);
    compLabel_ = new QLabel;
    comp_ = new TReadout(QStringLiteral("disbaled"), 1.6);
    layout->addWidget(readout_);
    layout->addStretch(1);
    for (const auto& [label, value] : {std::pair{targetLabel_, target_}, {compLabel_, comp_}}) {
        auto* stack = new QVBoxLayout;
        stack->setSpacing(0);
        stack->addWidget(label, 0, Qt::AlignRight);
        stack->addWidget(value);
        layout->addLayout(stack);
    }
    return row;
}

// Under the grid: the controller's state as lamps in two rows, the startup count beside its
// lamp.
QWidget* TWBO2FormView::BuildLampRow() {
    auto* row = new QWidget;
    auto* lamps = new QGridLayout(row);
    lamps->setContentsMargins(0, 0, 0, 0);
    lamps->setHorizontalSpacing(kSpacing);
    lamps->setVerticalSpacing(kSpacing);
    activeLed_ = new TLed(kLime);
    startupLed_ = new TLed(kYellow);
    lockoutLed_ = new TLed(kRed);
    upLimLed_ = new TLed(kYellow);
    lowLimLed_ = new TLed(kYellow);
    outValueLed_ = new TLed(kRed);
    activeLabel_ = new QLabel;
    startupLabel_ = new QLabel;
    lockoutLabel_ = new QLabel;
    upLimLabel_ = new QLabel;
    lowLimLabel_ = new QLabel;
    outValueLabel_ = new QLabel;
    startupCount_ = ReadOnlyPanel(QStringLiteral("255"));
    const std::array<std::pair<TLed*, QLabel*>, 6> cells = {{{activeLed_, activeLabel_},
                                                             {lockoutLed_, lockoutLabel_},
                                                             {upLimLed_, upLimLabel_},
                                                             {startupLed_, startupLabel_},
                                                             {outValueLed_, outValueLabel_},
                                                             {lowLimLed_, lowLimLabel_}}};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int r = static_cast<int>(i / 3);
        const int c = static_cast<int>(i % 3) * 3;
        lamps->addWidget(cells[i].first, r, c);
        lamps->addWidget(cells[i].second, r, c + 1);
        lamps->setColumnStretch(c + 1, 1);
    }
    // The count under a short name of its own, beside the startup lamp.
    startupCountCaption_ = new QLabel;
    auto* count = new QHBoxLayout;
    count->setSpacing(kSpacing);
    count->addWidget(startupCountCaption_);
    count->addWidget(startupCount_);
    lamps->addLayout(count, 1, 2);
    return row;
}

// The plot between its AFR axis labels (5 V at the top) and the legend.
QWidget* TWBO2FormView::BuildPlot() {
    plot_ = new QWidget;
    auto* row = new QHBoxLayout(plot_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSpacing);
    auto* axis = new QVBoxLayout;
    axisHigh_ = new QLabel;
    axisLow_ = new QLabel;
    for (QLabel* label : {axisHigh_, axisLow_}) {
        label->setAlignment(Qt::AlignRight);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("00.0")));
    }
    axis->addWidget(axisHigh_);
    axis->addStretch(1);
    axis->addWidget(axisLow_);
    scope_ = new TLambdaScope;
    scope_->setMinimumHeight(scope_->fontMetrics().height() * 6);
    auto* legend = new QGridLayout;
    legend->setSpacing(kSpacing);
    legendLabel_ = new QLabel;
    legendSensor_ = new QLabel;
    legendController_ = new QLabel;
    auto* sensorShape = new TLed(kLime);
    auto* controllerShape = new TLed(kFuchsia);
    sensorShape->SetOn(true);
    controllerShape->SetOn(true);
    legend->addWidget(legendLabel_, 0, 0, 1, 2);
    legend->addWidget(sensorShape, 1, 0);
    legend->addWidget(legendSensor_, 1, 1);
    legend->addWidget(controllerShape, 2, 0);
    legend->addWidget(legendController_, 2, 1);
    legend->setRowStretch(3, 1);
    row->addLayout(axis);
    row->addWidget(scope_, 1);
    row->addLayout(legend);
    return plot_;
}

void TWBO2FormView::Timer1Timer() {
    const TTraceDraw draw = model_.Timer1Tick(scope_->width(), scope_->height());
    if (scope_->isVisible())
        scope_->Apply(draw);
}

void TWBO2FormView::Render() {
    const TWBO2FormState& s = model_.State();
    RenderTexts();
    RenderCombos();
    RenderPanels();
    RenderLive();
    grid_->SetState(s.Grid, s.GridCol, s.GridRow, s.Selected == kWBO2GridField, s.Selection);
    overlayButton_->Render();
    if (const TMainModel* main = overlayButton_->Host())
        grid_->SetOverlay(main->Overlay().Shown(), main->Overlay().AfrClasses(main->Data().AfrMap));
    plot_->setVisible(s.PlotShown);
    viewButton_->setChecked(s.PlotShown);
    mapDownloadButton_->setEnabled(s.MapDownloadEnabled);
    errorOnIntegratorLabel_->setVisible(s.ErrorOnIntegratorVisible);
    errorOnIntegratorButton_->setVisible(s.ErrorOnIntegratorVisible);
    errorOnIntegratorButton_->setChecked(s.ErrorOnIntegratorDown);
    readout_->SetDebounce(s.Debounce.Position, Q(s.Debounce.Level));
}

void TWBO2FormView::RenderTexts() {
    const TWBO2FormTexts& t = model_.State().Texts;
    blockMenu_->SetItems(t.BlockMenu);
    sensorGroup_->setTitle(Q(t.SensorGroup));
    paramGroup_->setTitle(Q(t.ParamGroup));
    const std::array<std::pair<QLabel*, const std::string*>, 20> labels = {{
        {sensorComboLabel_, &t.SensorComboLabel},
        {afrAt0VLabel_, &t.AfrAt0VLabel},
        {afrAt5VLabel_, &t.AfrAt5VLabel},
        {errorLowLabel_, &t.ErrorLowLabel},
        {errorHighLabel_, &t.ErrorHighLabel},
        {kpLabel_, &t.KpLabel},
        {kiLabel_, &t.KiLabel},
        {intLimitUpLabel_, &t.IntLimitUpLabel},
        {intLimitDownLabel_, &t.IntLimitDownLabel},
        {startupDispLabel_, &t.StartupDispLabel},
        {errorOnIntegratorLabel_, &t.ErrorOnIntegratorLabel},
        {presetLabel_, &t.PresetLabel},
        {targetLabel_, &t.TargetLabel},
        {activeLabel_, &t.ActiveLabel},
        {startupLabel_, &t.StartupLabel},
        {lockoutLabel_, &t.LockoutLabel},
        {upLimLabel_, &t.UpLimLabel},
        {lowLimLabel_, &t.LowLimLabel},
        {outValueLabel_, &t.OutValueAtUpLimitLabel},
        {legendLabel_, &t.Legend},
    }};
    for (const auto& [label, text] : labels)
        SetText(label, Q(*text));
    // The caption's two halves on one line: "Kompens.-wert", "Compens. value".
    const bool hyphen = !t.CompUpper.empty() && t.CompUpper.back() == '-';
    SetText(compLabel_, Q(t.CompUpper + (hyphen ? "" : " ") + t.CompLower));
    SetText(legendSensor_, Q(t.LegendSensor));
    SetText(legendController_, Q(t.LegendController));
    lockoutLabel_->setToolTip(Q(t.LockoutHint));
    lockoutLed_->setToolTip(Q(t.LockoutHint));
    SetText(errorOnIntegratorButton_, Q(t.ErrorOnIntegratorButton));
    SetText(viewButton_, Q(t.ViewButton));
    SetText(mapDownloadButton_, Q(t.MapDownloadButton));
    mapDownloadButton_->setToolTip(Q(t.MapDownloadHint));
    readout_->SetDebounceTexts(t.Debounce);
    for (std::size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->setToolTip(Q(t.Tips[i]));
    grid_->setToolTip(Q(t.Tips[kWBO2GridField]));
    for (QLabel* afr : {afrLowLimit_, afrHighLimit_, errorAfrCaption_})
        afr->setToolTip(Q(t.ErrorAfrTip));
    SetText(errorAfrCaption_, Q(t.ErrorAfrCaption));
    for (QWidget* w : std::initializer_list<QWidget*>{errorOnIntegratorLabel_, errorOnIntegratorButton_})
        w->setToolTip(Q(t.ErrorOnIntegratorTip));
    SetText(startupCountCaption_, Q(t.StartupCountCaption));
    for (QLabel* count : {startupCount_, startupCountCaption_})
        count->setToolTip(Q(t.StartupCountTip));
}

void TWBO2FormView::RenderCombos() {
    const TWBO2FormState& s = model_.State();
    FillCombo(unitCombo_, s.Texts.UnitItems, s.SensorUnit);
    FillCombo(presetCombo_, s.Texts.PresetItems, s.Preset);
}

void TWBO2FormView::RenderPanels() {
    const TWBO2FormState& s = model_.State();
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        SetText(panels_[i], Q(s.Values[i]));
        panels_[i]->SetLook(LookOf(s.Looks[i]));
    }
    panels_[0]->SetTextGrey(s.ScaleGrey);
    panels_[1]->SetTextGrey(s.ScaleGrey);
    SetText(afrLowLimit_, Q(s.AfrLowLimit));
    SetText(afrHighLimit_, Q(s.AfrHighLimit));
    SetText(axisLow_, Q(s.AxisLow));
    SetText(axisHigh_, Q(s.AxisHigh));
}

void TWBO2FormView::RenderLive() {
    const TWBO2FormState& s = model_.State();
    readout_->SetReadout(s.Wideband);
    target_->SetText(Q(s.AfrTarget));
    comp_->SetText(Q(s.CompValue));
    SetText(startupCount_, Q(s.StartupCount));
    activeLed_->SetOn(s.Leds.Active);
    startupLed_->SetOn(s.Leds.Startup);
    lockoutLed_->SetOn(s.Leds.Lockout);
    upLimLed_->SetOn(s.Leds.UpLim);
    lowLimLed_->SetOn(s.Leds.LowLim);
    outValueLed_->SetOn(s.Leds.OutValueAtUpLimit);
}

}  // namespace zv::gui
