#include "pages/lamp_form_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "editors/lamp_form.h"
#include "pages/page_button.h"
#include "pages/value_panel.h"
#include "pages/view_text.h"
#include "widgets/led.h"
#include "widgets/m2d_chart.h"
#include "widgets/marked_gauge.h"

namespace zv::gui {

namespace {

// The lamps' own colours, red first.
const std::array<QColor, 3> kLampColours = {QColor(0xFF, 0, 0), QColor(0xFF, 0xFF, 0),
                                            QColor(0, 0xFF, 0)};

}  // namespace

TLampFormView::TLampFormView(TLampForm& model, QWidget* parent) : TPageView(parent), model_(model) {
    chart_ = new TM2DsChart;
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kGroupSpacing, kGroupSpacing, kGroupSpacing, kGroupSpacing);
    outer->setSpacing(kGroupSpacing);
    outer->addWidget(chart_, 1);
    outer->addWidget(BuildBoundPanel());
    connect(chart_, &TM2DsChart::PointClicked, this, [this](int p) { model_.PointClick(p); });
    model_.Changed = [this] { Render(); };
    Render();
}

TLampFormView::~TLampFormView() {
    model_.Changed = nullptr;
}

QWidget* TLampFormView::BuildBoundPanel() {
    auto* column = new QWidget;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(kGroupSpacing);

    boundPanel_ = new QWidget;
    auto* row = new QHBoxLayout(boundPanel_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kGroupSpacing);
    adjustGroup_ = new QGroupBox;
    auto* grid = new QGridLayout(adjustGroup_);
    grid->setSpacing(kSpacing);
    for (std::size_t i = 0; i < 3; ++i) {
        labels_[i] = new QLabel;
        panels_[i] = new TValuePanel;
        shapes_[i] = new TLed(kLampColours[i]);
        shapes_[i]->SetOn(true);
        const int r = static_cast<int>(i) * 2;
        grid->addWidget(labels_[i], r, 0, 1, 2);
        grid->addWidget(panels_[i], r + 1, 0);
        grid->addWidget(shapes_[i], r + 1, 1);
        grid->setRowMinimumHeight(r, 0);
        connect(panels_[i], &TValuePanel::Clicked, this,
                [this, i] { model_.ValuePanelClick(static_cast<int>(i) + 1); });
    }
    grid->setRowStretch(6, 1);
    bar_ = new TMarkedGauge(Qt::Vertical, 3);
    barCaption_ = new QLabel;
    barCaption_->setAlignment(Qt::AlignHCenter);
    auto* barColumn = new QVBoxLayout;
    barColumn->setSpacing(kSpacing);
    barColumn->addWidget(barCaption_);
    barColumn->addWidget(bar_, 1, Qt::AlignHCenter);
    row->addWidget(adjustGroup_);
    row->addLayout(barColumn);

    downloadButton_ = PageToolButton(false);
    // Its caption runs over two lines.
    downloadButton_->setMinimumHeight(downloadButton_->fontMetrics().height() * 2 + 2 * kSpacing);
    connect(downloadButton_, &QToolButton::clicked, this,
            [this] { model_.FotoDownloadButtonClick(); });
    columnLayout->addWidget(boundPanel_, 1);
    columnLayout->addWidget(downloadButton_);
    return column;
}

void TLampFormView::Render() {
    const TLampFormState& s = model_.State();
    chart_->SetState(s.Chart);
    chart_->setToolTip(Q(s.Texts.CurveTip));
    boundPanel_->setVisible(s.BoundPanelVisible);
    adjustGroup_->setTitle(Q(s.Texts.AdjustGroup));
    std::vector<QColor> live(3);
    for (std::size_t i = 0; i < 3; ++i) {
        SetText(labels_[i], Q(s.Texts.LampLabels[i]));
        SetText(panels_[i], Q(s.Thresholds[i]));
        for (QWidget* w : std::initializer_list<QWidget*>{labels_[i], panels_[i]})
            w->setToolTip(Q(s.Texts.ThresholdTips[i]));
        panels_[i]->SetLook(s.PanelHighlighted[i] ? TValuePanel::Look::Aqua
                                                  : TValuePanel::Look::White);
        live[i] = ColourOf(s.LampColours[i]);
    }
    SetText(barCaption_, Q(s.Texts.GaugeCaption));
    bar_->setToolTip(Q(s.Texts.GaugeTip));
    barCaption_->setToolTip(Q(s.Texts.GaugeTip));
    bar_->SetPosition(s.RotGauge);
    bar_->SetMarkers({s.ThresholdBytes.begin(), s.ThresholdBytes.end()}, live);
    SetText(downloadButton_, Q(s.Texts.DefaultLabel));
    downloadButton_->setVisible(s.DownloadVisible);
    downloadButton_->setEnabled(s.DownloadEnabled);
}

}  // namespace zv::gui
