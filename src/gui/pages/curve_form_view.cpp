#include "pages/curve_form_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "editors/curve_form.h"
#include "pages/page_button.h"
#include "pages/view_text.h"
#include "widgets/m2d_chart.h"
#include "widgets/readout.h"

namespace zv::gui {

TCurveFormView::TCurveFormView(TCurveForm& model, QWidget* parent)
    : TPageView(parent), model_(model) {
    chart_ = model_.Member().LiveInput ? new TM2DsChart : new TM2DChart;
    const TValueColumn values = BuildValueColumn(QStringLiteral("-100"));
    valuePanel_ = values.Panel;
    QVBoxLayout* column = values.Column;
    manLabel_ = values.ManLabel;
    manValue_ = values.ManValue;
    autoLabel_ = values.AutoLabel;
    autoValue_ = values.AutoValue;
    multAddButton_ = PageToolButton(true);
    downloadButton_ = PageToolButton(false);
    column->addWidget(multAddButton_);
    column->addWidget(downloadButton_);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kGroupSpacing, kGroupSpacing, kGroupSpacing, kGroupSpacing);
    outer->setSpacing(kGroupSpacing);
    outer->addWidget(chart_, 1);
    outer->addWidget(valuePanel_);

    connect(chart_, &TM2DsChart::PointClicked, this, [this](int p) { model_.PointClick(p); });
    connect(multAddButton_, &QToolButton::clicked, this, [this] { model_.MultAddButtonClick(); });
    connect(downloadButton_, &QToolButton::clicked, this, [this] { model_.DownloadButtonClick(); });
    model_.Changed = [this] { Render(); };
    Render();
}

TCurveFormView::~TCurveFormView() {
    model_.Changed = nullptr;
}

void TCurveFormView::Render() {
    const TCurveFormState& s = model_.State();
    chart_->SetState(s.Chart);
    valuePanel_->setVisible(s.ValuePanelsVisible || s.DownloadVisible);
    for (QWidget* w : std::initializer_list<QWidget*>{manLabel_, manValue_, autoLabel_, autoValue_})
        w->setVisible(s.ValuePanelsVisible);
    SetText(manLabel_, Q(s.Texts.ManValueLabel));
    SetText(autoLabel_, Q(s.Texts.AutoValueLabel));
    manValue_->SetText(Q(s.ManValue));
    autoValue_->SetText(Q(s.AutoValue));
    multAddButton_->setVisible(s.MultAddVisible);
    multAddButton_->setChecked(s.MultAddDown);
    SetText(multAddButton_, Q(s.Texts.MultAddButton));
    downloadButton_->setVisible(s.DownloadVisible);
    downloadButton_->setEnabled(s.DownloadEnabled);
    SetText(downloadButton_, Q(s.Texts.DownloadButton));
    downloadButton_->setToolTip(Q(s.Texts.DownloadHint));
    for (QWidget* point : std::initializer_list<QWidget*>{chart_, manValue_})
        point->setToolTip(Q(s.Texts.PointTip));
}

}  // namespace zv::gui
