#pragma once

#include <array>

#include "pages/page_view.h"

class QGroupBox;
class QLabel;
class QToolButton;

namespace zv {
class TLampForm;
}

namespace zv::gui {

class TMarkedGauge;
class TLed;
class TM2DsChart;
class TValuePanel;

// Page 9, the shift lamps: the brightness curve, the three thresholds with their lamps, the
// curve's download button and the engine-speed bar with the live lamps.
class TLampFormView : public TPageView {
    Q_OBJECT
  public:
    explicit TLampFormView(TLampForm& model, QWidget* parent = nullptr);
    ~TLampFormView() override;

    void Render() override;

  private:
    QWidget* BuildBoundPanel();

    TLampForm& model_;
    TM2DsChart* chart_ = nullptr;
    QWidget* boundPanel_ = nullptr;  // LedBoundPanel
    QGroupBox* adjustGroup_ = nullptr;
    std::array<QLabel*, 3> labels_{};
    std::array<TValuePanel*, 3> panels_{};
    std::array<TLed*, 3> shapes_{};
    QToolButton* downloadButton_ = nullptr;
    TMarkedGauge* bar_ = nullptr;
    QLabel* barCaption_ = nullptr;  // the bar's unit
};

}  // namespace zv::gui
