#include "pages/param_form_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "editors/param_form.h"
#include "pages/page_button.h"
#include "pages/value_panel.h"
#include "pages/view_text.h"
#include "widgets/led.h"
#include "widgets/m2d_chart.h"
#include "widgets/marked_gauge.h"

namespace zv::gui {

namespace {

// A group with one labelled value panel.
QGroupBox* ValueGroup(QLabel*& label, TValuePanel* panel) {
    auto* group = new QGroupBox;
    auto* row = new QHBoxLayout(group);
    row->setSpacing(kGroupSpacing);
    label = new QLabel;
    label->setWordWrap(true);
    row->addWidget(label, 1);
    row->addWidget(panel);
    return group;
}

}  // namespace

TParamFormView::TParamFormView(TParamForm& model, QWidget* parent)
    : TPageView(parent), model_(model) {
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new TValuePanel;
        connect(panels_[i], &TValuePanel::Clicked, this,
                [this, i] { model_.ValuePanelClick(static_cast<int>(i)); });
    }
    auto* right = new QVBoxLayout;
    right->setSpacing(kGroupSpacing);
    right->addWidget(BuildContactGroup());
    right->addWidget(BuildAccelGroup(), 1);
    right->addStretch(0);  // takes the room while the acceleration group is hidden
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kGroupSpacing, kGroupSpacing, kGroupSpacing, kGroupSpacing);
    outer->setSpacing(kGroupSpacing);
    outer->addWidget(BuildLeftColumn(), 1);
    outer->addLayout(right, 2);
    model_.Changed = [this] { Render(); };
    Render();
}

TParamFormView::~TParamFormView() {
    model_.Changed = nullptr;
}

TValuePanel* TParamFormView::Panel(int item) {
    return panels_[static_cast<std::size_t>(item)];
}

QWidget* TParamFormView::BuildLeftColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGroupSpacing);
    pulseGroup_ = ValueGroup(pulseLabel_, Panel(0));
    zeroGroup_ = ValueGroup(zeroLabel_, Panel(1));
    maxOutGroup_ = ValueGroup(maxOutLabel_, Panel(2));
    pinLGroup_ = new QGroupBox;
    auto* pinRow = new QHBoxLayout(pinLGroup_);
    pinLButton_ = PageToolButton(true);
    pinLButton_->setText(QStringLiteral("L"));
    pinLButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    pinLLabel_ = new QLabel;
    pinRow->addWidget(pinLButton_);
    pinRow->addWidget(pinLLabel_, 1);
    connect(pinLButton_, &QToolButton::clicked, this,
            [this] { model_.DigOut_L_FuncSpeedButtonClick(); });
    for (QWidget* w :
         std::initializer_list<QWidget*>{pulseGroup_, zeroGroup_, maxOutGroup_, pinLGroup_})
        layout->addWidget(w);
    layout->addStretch(1);
    return column;
}

// The throttle bar with the contacts at their thresholds, the closed-throttle aid above it and
// the two contact thresholds below.
QWidget* TParamFormView::BuildContactGroup() {
    contactGroup_ = new QGroupBox;
    auto* layout = new QVBoxLayout(contactGroup_);
    layout->setSpacing(kSpacing);
    potiGroup_ = new QGroupBox;
    potiGroup_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // Each lamp with the raw throttle band it stands for under it.
    auto* poti = new QGridLayout(potiGroup_);
    poti->setHorizontalSpacing(kGroupSpacing);
    poti->setVerticalSpacing(0);
    potiLabel_ = new QLabel;
    poti->addWidget(potiLabel_, 0, 0, 2, 1);
    for (std::size_t i = 0; i < potiShapes_.size(); ++i) {
        const int column = static_cast<int>(i) + 1;
        potiShapes_[i] = new TLed(Qt::darkGray);
        potiCaptions_[i] = new QLabel;
        poti->addWidget(potiShapes_[i], 0, column, Qt::AlignHCenter);
        poti->addWidget(potiCaptions_[i], 1, column, Qt::AlignHCenter);
    }
    poti->setColumnStretch(0, 1);
    poti->setColumnStretch(4, 1);
    contactGauge_ = new TMarkedGauge(Qt::Horizontal, 2);
    layout->addWidget(potiGroup_);
    layout->addWidget(contactGauge_);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(kGroupSpacing);
    idleLabel_ = new QLabel;
    wotLabel_ = new QLabel;
    idlePercent_ = new QLabel;
    wotPercent_ = new QLabel;
    grid->addWidget(idleLabel_, 0, 0);
    grid->addWidget(Panel(5), 0, 1);
    grid->addWidget(idlePercent_, 0, 2);
    grid->addWidget(wotLabel_, 1, 0);
    grid->addWidget(Panel(6), 1, 1);
    grid->addWidget(wotPercent_, 1, 2);
    defaultButton_ = PageToolButton(false);
    defaultButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    grid->addWidget(defaultButton_, 2, 0, 1, 3, Qt::AlignRight);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    connect(defaultButton_, &QToolButton::clicked, this,
            [this] { model_.ContactDefaultSpeedButtonClick(); });
    return contactGroup_;
}

QWidget* TParamFormView::BuildAccelGroup() {
    accelGroup_ = new QGroupBox;
    auto* layout = new QGridLayout(accelGroup_);
    layout->setSpacing(kSpacing);
    accelFactLabel_ = new QLabel;
    accelRetLabel_ = new QLabel;
    accelValueLabel_ = new QLabel;
    adcLabel_ = new QLabel;
    accelValue_ = new QLabel;
    adcValues_ = new QLabel;
    scaleChart_ = new TM2DsChart;
    layout->addWidget(accelFactLabel_, 0, 0);
    layout->addWidget(Panel(3), 0, 1);
    layout->addWidget(accelRetLabel_, 1, 0);
    layout->addWidget(Panel(4), 1, 1);
    layout->addWidget(accelValueLabel_, 0, 2, Qt::AlignRight);
    layout->addWidget(accelValue_, 0, 3);
    layout->addWidget(adcLabel_, 1, 2, Qt::AlignRight);
    layout->addWidget(adcValues_, 1, 3);
    layout->addWidget(scaleChart_, 2, 0, 1, 4);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(2, 1);
    layout->setColumnStretch(3, 1);
    connect(scaleChart_, &TM2DsChart::PointClicked, this, [this](int p) { model_.PointClick(p); });
    return accelGroup_;
}

void TParamFormView::Render() {
    const TParamFormState& s = model_.State();
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        SetText(panels_[i], Q(s.Values[i]));
        panels_[i]->SetLook(LookOf(s.PanelColours[i]));
    }
    zeroGroup_->setVisible(s.OutputAtZeroVisible);
    maxOutGroup_->setVisible(s.MaxOutVisible);
    accelGroup_->setVisible(s.AccelVisible);
    pinLGroup_->setVisible(s.PinLVisible);
    pinLButton_->setChecked(s.PinLDown);
    SetText(idlePercent_, Q(s.IdlePercent));
    SetText(wotPercent_, Q(s.WOTPercent));
    const std::array<std::uint32_t, 3> poti = {s.LowArrow, s.MidShape, s.HighArrow};
    for (std::size_t i = 0; i < 3; ++i) {
        potiShapes_[i]->SetOnColour(ColourOf(poti[i]));
        potiShapes_[i]->SetOn(true);
    }
    contactGauge_->SetPosition(s.Throttle);
    contactGauge_->SetMarkers({s.IdleMarker + 7, s.WOTMarker + 7},
                              {ColourOf(s.IdleShape), ColourOf(s.WOTShape)});
    SetText(accelValue_, Q(s.AccelValue));
    adcValues_->setText(s.AdcInput.empty()
                            ? QString()
                            : Q(s.AdcInput) + QStringLiteral(" \u2192 ") + Q(s.AdcScaled));
    scaleChart_->SetState(s.Chart);
    RenderTexts();
}

void TParamFormView::RenderTexts() {
    const TParamFormTexts& t = model_.State().Texts;
    pulseGroup_->setTitle(Q(t.PulseGroup));
    SetText(pulseLabel_, Q(t.PulseLabel));
    potiGroup_->setTitle(Q(t.PotiGroup));
    SetText(potiLabel_, Q(t.PotiAidLabel));
    SetText(potiCaptions_[0], Q(t.PotiLow));
    SetText(potiCaptions_[1], Q(t.PotiMid));
    SetText(potiCaptions_[2], Q(t.PotiHigh));
    SetText(accelValueLabel_, Q(t.AccelValueLabel));
    SetText(adcLabel_, Q(t.AdcLabel));
    contactGroup_->setTitle(Q(t.ContactGroup));
    SetText(idleLabel_, Q(t.IdleContact));
    SetText(wotLabel_, Q(t.WOTContact));
    SetText(defaultButton_, Q(t.ContactDefault));
    zeroGroup_->setTitle(Q(t.OutputAtZeroGroup));
    SetText(zeroLabel_, Q(t.OutputAtZeroLabel));
    maxOutGroup_->setTitle(Q(t.MaxOutGroup));
    SetText(maxOutLabel_, Q(t.MaxOutLabel));
    accelGroup_->setTitle(Q(t.AccelGroup));
    SetText(accelFactLabel_, Q(t.AccelFactLabel));
    SetText(accelRetLabel_, Q(t.AccelRetLabel));
    for (std::size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->setToolTip(Q(t.Tips[i]));
    scaleChart_->setToolTip(Q(t.Tips[kParamCurveItem]));
    pinLGroup_->setTitle(Q(t.PinLGroup));
    pinLGroup_->setToolTip(Q(t.PinLHint));
    SetText(pinLLabel_, Q(t.PinLLabel));
}

}  // namespace zv::gui
