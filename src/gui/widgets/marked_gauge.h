#pragma once

#include <QWidget>
#include <vector>

namespace zv::gui {

class TBarGauge;
class TLed;

// A bar gauge (0..255) with lamps beside it, each at the place of its own value on the scale:
// the shift lamps at their thresholds beside the engine-speed bar, the throttle contacts at
// theirs over the throttle bar, the narrowband probe's reference beside its voltage (0..51).
class TMarkedGauge : public QWidget {
    Q_OBJECT
  public:
    TMarkedGauge(Qt::Orientation orientation, int markers, QWidget* parent = nullptr);

    void SetPosition(int raw);
    void SetScaleMaximum(int maximum);  // 255 unless set
    void SetBarColour(const QColor& colour);
    // Markers beyond the values given are hidden.
    void SetMarkers(const std::vector<int>& raw, const std::vector<QColor>& colours);

    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PlaceMarkers();

    Qt::Orientation orientation_;
    TBarGauge* gauge_ = nullptr;
    std::vector<TLed*> markers_;
    std::vector<int> raw_;
    int scaleMax_ = 255;
};

}  // namespace zv::gui
