#include "widgets/marked_gauge.h"

#include <algorithm>

#include "widgets/bar_gauge.h"
#include "widgets/led.h"

namespace zv::gui {

TMarkedGauge::TMarkedGauge(Qt::Orientation orientation, int markers, QWidget* parent)
    : QWidget(parent), orientation_(orientation), raw_(static_cast<std::size_t>(markers), 0) {
    gauge_ = new TBarGauge(orientation, this);
    gauge_->SetMaximum(scaleMax_);
    gauge_->SetMarks(10);
    for (int i = 0; i < markers; ++i)
        markers_.push_back(new TLed(Qt::darkGray, this));
    if (orientation == Qt::Vertical)
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    else
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize TMarkedGauge::sizeHint() const {
    const int d = fontMetrics().height();
    return orientation_ == Qt::Vertical ? QSize(d * 3, d * 12) : QSize(d * 16, d * 3);
}

void TMarkedGauge::SetPosition(int raw) {
    gauge_->SetPosition(raw);
}

void TMarkedGauge::SetScaleMaximum(int maximum) {
    if (maximum == scaleMax_ || maximum <= 0)
        return;
    scaleMax_ = maximum;
    gauge_->SetMaximum(maximum);
    PlaceMarkers();
}

void TMarkedGauge::SetBarColour(const QColor& colour) {
    gauge_->SetBarColour(colour);
}

void TMarkedGauge::SetMarkers(const std::vector<int>& raw, const std::vector<QColor>& colours) {
    for (std::size_t i = 0; i < markers_.size() && i < colours.size(); ++i) {
        markers_[i]->SetOnColour(colours[i]);
        markers_[i]->SetOn(true);
    }
    // Markers without a value are not placed yet and stay out of sight.
    for (std::size_t i = 0; i < markers_.size(); ++i)
        markers_[i]->setVisible(i < raw.size());
    if (raw != raw_) {
        raw_ = raw;
        PlaceMarkers();
    }
}

void TMarkedGauge::resizeEvent(QResizeEvent*) {
    PlaceMarkers();
}

// Each lamp is centred on its value: vertical bars fill from the bottom, horizontal ones from
// the left.
void TMarkedGauge::PlaceMarkers() {
    const int d = fontMetrics().height();
    const bool vertical = orientation_ == Qt::Vertical;
    if (vertical)
        gauge_->setGeometry(0, 0, d, height());
    else
        gauge_->setGeometry(0, 0, width(), d);
    for (std::size_t i = 0; i < markers_.size() && i < raw_.size(); ++i) {
        const int value = std::clamp(raw_[i], 0, scaleMax_);
        if (vertical) {
            const int top = (scaleMax_ - value) * height() / scaleMax_ - d / 2;
            markers_[i]->setGeometry(d + d / 3, std::clamp(top, 0, std::max(0, height() - d)), d,
                                     d);
        } else {
            const int left = value * width() / scaleMax_ - d / 2;
            markers_[i]->setGeometry(std::clamp(left, 0, std::max(0, width() - d)), d + d / 3, d,
                                     d);
        }
    }
}

}  // namespace zv::gui
