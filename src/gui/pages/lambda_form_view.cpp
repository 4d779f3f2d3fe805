#include "pages/lambda_form_view.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/look.h"
#include "lambda/lambda_form.h"
#include "pages/value_panel.h"
#include "pages/view_text.h"
#include "widgets/lambda_scope.h"
#include "widgets/led.h"
#include "widgets/marked_gauge.h"
#include "widgets/readout.h"
#include "widgets/shape.h"
#include "widgets/wrap_label.h"

namespace zv::gui {

namespace {

constexpr int kTimer1Ms = 200;
constexpr int kStartupField = 6;
constexpr int kLoadLimitField = 5;
constexpr int kRpmSetInField = 4;
// The probe's gauge runs to 1 V (51 counts).
constexpr int kGaugeMax = 51;
// The plot's legend keys: probe and controller in their trace colours.
const QColor kProbeColour(0x00, 0xFF, 0x00);
const QColor kControllerColour(0xFF, 0x00, 0xFF);

QGroupBox* Group() {
    auto* group = new QGroupBox;
    group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    return group;
}

// The probe's instruments sit on black, as the plot does: the tendency's lime and yellow read
// there, not on white.
QFrame* Screen() {
    auto* screen = new QFrame;
    screen->setFrameShape(QFrame::StyledPanel);
    screen->setFrameShadow(QFrame::Sunken);
    screen->setAutoFillBackground(true);
    QPalette p = screen->palette();
    for (auto role : {QPalette::Window, QPalette::Base})
        p.setColor(role, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text})
        p.setColor(role, Qt::white);
    screen->setPalette(p);
    return screen;
}

// A group holding one screen.
QGroupBox* ScreenGroup(QFrame*& screen) {
    QGroupBox* group = Group();
    auto* layout = new QVBoxLayout(group);
    screen = Screen();
    layout->addWidget(screen);
    return group;
}

// A lamp with its text on the right.
QHBoxLayout* LedRow(TLed* led, QLabel* label) {
    auto* row = new QHBoxLayout;
    row->setSpacing(kSpacing);
    row->addWidget(led);
    row->addWidget(label, 1);
    return row;
}

}  // namespace

TLambdaFormView::TLambdaFormView(TLambdaForm& model, QWidget* parent)
    : TPageView(parent), model_(model) {
    auto* top = new QHBoxLayout;
    top->setSpacing(kGroupSpacing);
    top->addWidget(BuildParamGroup());
    top->addWidget(BuildProbeGroup());
    top->addWidget(BuildTendencyGroup());
    top->addWidget(BuildStateColumn());
    top->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kGroupSpacing, kSpacing, kGroupSpacing, kGroupSpacing);
    outer->setSpacing(kGroupSpacing);
    // The probe's gauge grows with the window as the plot does.
    outer->addLayout(top, 3);
    outer->addWidget(BuildPlot(), 2);

    model_.Changed = [this] { Render(); };
    timer1_.setInterval(kTimer1Ms);
    connect(&timer1_, &QTimer::timeout, this, &TLambdaFormView::Timer1Timer);
    timer1_.start();
    Render();
}

TLambdaFormView::~TLambdaFormView() {
    model_.Changed = nullptr;
}

// Caption and value of each parameter; the live throttle stands beside the load limit that
// it is compared with.
QWidget* TLambdaFormView::BuildParamGroup() {
    paramGroup_ = Group();
    auto* grid = new QGridLayout(paramGroup_);
    grid->setHorizontalSpacing(kGroupSpacing);
    grid->setVerticalSpacing(kSpacing);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        captions_[i] = new QLabel;
        panels_[i] = new TValuePanel;
        const int row = static_cast<int>(i);
        grid->addWidget(captions_[i], row, 0);
        grid->addWidget(panels_[i], row, 1);
        connect(panels_[i], &TValuePanel::Clicked, this, [this, row] { model_.PanelClick(row); });
    }
    throttle_ = new TReadout(QStringLiteral("255"), 1.4);
    // Over its value, it wraps rather than widen the page on a narrow screen.
    throttleLabel_ = new TWrapLabel;
    throttleLabel_->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(throttleLabel_, kLoadLimitField - 1, 2, Qt::AlignBottom | Qt::AlignRight);
    grid->addWidget(throttle_, kLoadLimitField, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(static_cast<int>(panels_.size()), 1);
    return paramGroup_;
}

QWidget* TLambdaFormView::BuildProbeGroup() {
    QFrame* screen = nullptr;
    probeGroup_ = ScreenGroup(screen);
    auto* column = new QVBoxLayout(screen);
    column->setSpacing(kSpacing);
    voltage_ = new TReadout(QStringLiteral("0.00"), 2.0);
    gauge_ = new TMarkedGauge(Qt::Vertical, 1);
    gauge_->SetScaleMaximum(kGaugeMax);
    column->addWidget(voltage_);
    column->addWidget(gauge_, 1, Qt::AlignHCenter);
    return probeGroup_;
}

// Rich above, lean below, as on the probe's gauge beside it.
QWidget* TLambdaFormView::BuildTendencyGroup() {
    QFrame* screen = nullptr;
    tendencyGroup_ = ScreenGroup(screen);
    auto* grid = new QGridLayout(screen);
    grid->setHorizontalSpacing(kGroupSpacing);
    grid->setVerticalSpacing(kSpacing);
    tendency_ = {new TShape(TShape::Kind::TriangleUp, 2.0),
                 new TShape(TShape::Kind::TriangleUp, 1.4), new TShape(TShape::Kind::Circle, 2.0),
                 new TShape(TShape::Kind::TriangleDown, 1.4),
                 new TShape(TShape::Kind::TriangleDown, 2.0)};
    // The shapes spread over the height as the gauge's scale does.
    for (std::size_t i = 0; i < tendency_.size(); ++i) {
        grid->addWidget(tendency_[i], static_cast<int>(i), 0, Qt::AlignCenter);
        grid->setRowStretch(static_cast<int>(i), 1);
    }
    for (QLabel*& label : tendencyLabels_) {
        label = new QLabel;
        QFont bold = label->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
        label->setFont(bold);
    }
    grid->addWidget(tendencyLabels_[0], 0, 1, 2, 1);
    grid->addWidget(tendencyLabels_[1], 2, 1);
    grid->addWidget(tendencyLabels_[2], 3, 1, 2, 1);
    return tendencyGroup_;
}

// The controller's flags, its startup count and the unit's lamp outputs.
QWidget* TLambdaFormView::BuildStateColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGroupSpacing);

    stateGroup_ = Group();
    auto* state = new QVBoxLayout(stateGroup_);
    state->setSpacing(kSpacing);
    controlOffBy_ = new QLabel;
    for (QLabel** label : {&errorLabel_, &limitLabel_, &startupLabel_, &shiftModeLabel_,
                           &controlLabel_, &activeLabel_})
        *label = new QLabel;
    errorLed_ = new TLed(kLedRed);
    test1Led_ = new TLed(kLedOrange);
    test2Led_ = new TLed(kLedOrange);
    limitLed_ = new TLed(kLedRed);
    startupLed_ = new TLed(kLedOrange);
    startup1Led_ = new TLed(kLedOrange);
    shiftModeLed_ = new TLed(kLedOrange);
    activeLed_ = new TLed(kLedGreen);
    state->addWidget(controlOffBy_);
    state->addLayout(LedRow(errorLed_, errorLabel_));
    state->addLayout(LedRow(limitLed_, limitLabel_));
    state->addLayout(LedRow(startupLed_, startupLabel_));
    state->addLayout(LedRow(shiftModeLed_, shiftModeLabel_));
    state->addSpacing(kSpacing);
    auto* active = new QHBoxLayout;
    active->setSpacing(kSpacing);
    active->addWidget(controlLabel_);
    active->addWidget(activeLed_);
    active->addWidget(activeLabel_, 1);
    state->addLayout(active);

    startupCountPanel_ = new QWidget;
    auto* count = new QHBoxLayout(startupCountPanel_);
    count->setContentsMargins(0, 0, 0, 0);
    count->setSpacing(kGroupSpacing);
    startupCountLabel_ = new QLabel;
    startupCount_ = new TReadout(QStringLiteral("END"), 1.4);
    count->addWidget(startupCountLabel_);
    count->addWidget(startupCount_, 1);
    state->addWidget(startupCountPanel_);
    // The unit's indicator bits are no reasons for the control being off: they stand apart.
    state->addSpacing(kSpacing);
    for (QLabel** label : {&startup1Label_, &test1Label_, &test2Label_})
        *label = new QLabel;
    state->addLayout(LedRow(startup1Led_, startup1Label_));
    state->addLayout(LedRow(test1Led_, test1Label_));
    state->addLayout(LedRow(test2Led_, test2Label_));

    lampGroup_ = Group();
    auto* lamps = new QHBoxLayout(lampGroup_);
    lamps->setSpacing(kGroupSpacing);
    lamps->addStretch(1);
    // Each lamp over its name.
    for (std::size_t i = 0; i < lamps_.size(); ++i) {
        lamps_[i] = new TLed(Qt::darkGray);
        lamps_[i]->setFixedSize(lamps_[i]->sizeHint() * 3 / 2);
        lamps_[i]->SetOn(true);
        lampCaptions_[i] = new QLabel;
        lampCaptions_[i]->setAlignment(Qt::AlignHCenter);
        auto* lamp = new QVBoxLayout;
        lamp->setSpacing(kSpacing / 2);
        lamp->addWidget(lamps_[i], 0, Qt::AlignHCenter);
        lamp->addWidget(lampCaptions_[i]);
        lamps->addLayout(lamp);
    }
    lamps->addStretch(1);

    layout->addWidget(stateGroup_);
    layout->addWidget(lampGroup_);
    layout->addStretch(1);
    return column;
}

QWidget* TLambdaFormView::BuildPlot() {
    auto* plot = new QWidget;
    auto* layout = new QVBoxLayout(plot);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    auto* legend = new QHBoxLayout;
    legend->setSpacing(kSpacing);
    legend_ = new QLabel;
    legendProbe_ = new QLabel;
    legendController_ = new QLabel;
    auto* probeKey = new TShape(TShape::Kind::Square, 0.8);
    probeKey->SetColour(kProbeColour);
    auto* controllerKey = new TShape(TShape::Kind::Square, 0.8);
    controllerKey->SetColour(kControllerColour);
    legend->addWidget(legend_);
    legend->addSpacing(kSpacing);
    legend->addWidget(probeKey);
    legend->addWidget(legendProbe_);
    legend->addSpacing(kGroupSpacing);
    legend->addWidget(controllerKey);
    legend->addWidget(legendController_);
    legend->addStretch(1);
    scope_ = new TLambdaScope;
    scope_->setMinimumHeight(scope_->fontMetrics().height() * 6);
    layout->addLayout(legend);
    layout->addWidget(scope_, 1);
    return plot;
}

// The plot runs only while the page is on view; the model draws nothing outside online mode.
void TLambdaFormView::Timer1Timer() {
    if (!scope_->isVisible())
        return;
    scope_->Apply(model_.Timer1Tick(scope_->width(), scope_->height()));
}

void TLambdaFormView::Render() {
    const TLambdaFormState& s = model_.State();
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        SetText(panels_[i], Q(s.Values[i]));
        panels_[i]->SetLook(s.PanelWhite[i] ? TValuePanel::Look::White
                                            : TValuePanel::Look::ButtonFace);
    }
    captions_[kStartupField]->setVisible(s.StartupPanelsVisible);
    panels_[kStartupField]->setVisible(s.StartupPanelsVisible);
    startupCountPanel_->setVisible(s.StartupPanelsVisible);
    if (s.RefMarkerPlaced)
        gauge_->SetMarkers({kLambdaRefValue}, {palette().color(QPalette::Highlight)});
    else
        gauge_->SetMarkers({}, {});
    RenderTexts();
    RenderLive();
}

void TLambdaFormView::RenderLive() {
    const TLambdaFormState& s = model_.State();
    throttle_->SetText(Q(s.Throttle));
    voltage_->SetText(Q(s.SensorVoltage));
    gauge_->SetPosition(s.SensorGauge);
    gauge_->SetBarColour(ColourOf(s.SensorGaugeColour));
    for (std::size_t i = 0; i < tendency_.size(); ++i)
        tendency_[i]->SetColour(ColourOf(s.TendencyShapes[i]));
    for (std::size_t i = 0; i < tendencyLabels_.size(); ++i) {
        const QString style = QStringLiteral("color: %1").arg(ColourOf(s.TendencyLabels[i]).name());
        if (tendencyLabels_[i]->styleSheet() != style)
            tendencyLabels_[i]->setStyleSheet(style);
    }
    for (std::size_t i = 0; i < lamps_.size(); ++i)
        lamps_[i]->SetOnColour(ColourOf(s.Lamps[i]));
    const TLambdaLeds& leds = s.Leds;
    activeLed_->SetOn(leds.Active);
    limitLed_->SetOn(leds.LimOff);
    shiftModeLed_->SetOn(leds.ShiftMode);
    startupLed_->SetOn(leds.Startup);
    errorLed_->SetOn(leds.Error);
    startup1Led_->SetOn(leds.Startup1);
    test1Led_->SetOn(leds.Test1);
    test2Led_->SetOn(leds.Test2);
    SetText(startupCountLabel_, Q(s.StartupLabel));
    startupCount_->SetText(Q(s.StartupCount));
}

void TLambdaFormView::RenderTexts() {
    const TLambdaFormTexts& t = model_.State().Texts;
    paramGroup_->setTitle(Q(t.ParamGroup));
    for (std::size_t i = 0; i < captions_.size(); ++i)
        SetText(captions_[i], Q(t.FieldCaptions[i]));
    for (std::size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->setToolTip(Q(t.Tips[i]));
    captions_[kRpmSetInField]->setToolTip(Q(t.RpmSetInHint));
    probeGroup_->setTitle(Q(t.ProbeGroup));
    tendencyGroup_->setTitle(Q(t.TendencyGroup));
    SetText(tendencyLabels_[0], Q(t.RichLabel));
    SetText(tendencyLabels_[1], Q(t.GoodLabel));
    SetText(tendencyLabels_[2], Q(t.LeanLabel));
    SetText(controlOffBy_, Q(t.ControlOffBy));
    SetText(errorLabel_, Q(t.ControlError));
    SetText(limitLabel_, Q(t.LimitOverrun));
    SetText(startupLabel_, Q(t.Startup));
    SetText(shiftModeLabel_, Q(t.ShiftMode));
    SetText(controlLabel_, Q(t.Control));
    SetText(activeLabel_, Q(t.Active));
    lampGroup_->setTitle(Q(t.LampGroup));
    for (std::size_t i = 0; i < lamps_.size(); ++i) {
        SetText(lampCaptions_[i], Q(t.LampCaptions[i]));
        lamps_[i]->setToolTip(Q(t.LampTips[i]));
        lampCaptions_[i]->setToolTip(Q(t.LampTips[i]));
    }
    SetText(throttleLabel_, Q(t.ThrottleLabel));
    SetText(startup1Label_, Q(t.StartupIndicator));
    SetText(test1Label_, Q(t.TestIndicator1));
    SetText(test2Label_, Q(t.TestIndicator2));
    SetText(legend_, Q(t.Legend));
    SetText(legendProbe_, Q(t.LegendProbe));
    SetText(legendController_, Q(t.LegendController));
}

}  // namespace zv::gui
