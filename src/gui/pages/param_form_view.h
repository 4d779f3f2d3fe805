#pragma once

#include <array>

#include "pages/page_view.h"

class QGroupBox;
class QLabel;
class QToolButton;

namespace zv {
class TParamForm;
}

namespace zv::gui {

class TBarGauge;
class TLed;
class TM2DsChart;
class TMarkedGauge;
class TValuePanel;

// Page 6, the parameters: the pulse count, the throttle potentiometer and contact aid, output
// at standstill, maximum output, acceleration enrichment with the scaling curve, pin L.
class TParamFormView : public TPageView {
    Q_OBJECT
  public:
    explicit TParamFormView(TParamForm& model, QWidget* parent = nullptr);
    ~TParamFormView() override;

    void Render() override;

  private:
    QWidget* BuildLeftColumn();
    QWidget* BuildContactGroup();
    QWidget* BuildAccelGroup();
    TValuePanel* Panel(int item);
    void RenderTexts();

    TParamForm& model_;
    std::array<TValuePanel*, 7> panels_{};
    QGroupBox* pulseGroup_ = nullptr;
    QLabel* pulseLabel_ = nullptr;
    QGroupBox* zeroGroup_ = nullptr;
    QLabel* zeroLabel_ = nullptr;
    QGroupBox* maxOutGroup_ = nullptr;
    QLabel* maxOutLabel_ = nullptr;
    QGroupBox* pinLGroup_ = nullptr;
    QToolButton* pinLButton_ = nullptr;
    QLabel* pinLLabel_ = nullptr;
    QGroupBox* potiGroup_ = nullptr;
    std::array<TLed*, 3> potiShapes_{};  // left arrow, middle, right arrow
    TMarkedGauge* contactGauge_ = nullptr;
    QGroupBox* contactGroup_ = nullptr;
    QLabel* idleLabel_ = nullptr;
    QLabel* wotLabel_ = nullptr;
    QLabel* idlePercent_ = nullptr;
    QLabel* wotPercent_ = nullptr;
    QToolButton* defaultButton_ = nullptr;
    QGroupBox* accelGroup_ = nullptr;
    QLabel* accelFactLabel_ = nullptr;
    QLabel* accelRetLabel_ = nullptr;
    QLabel* potiLabel_ = nullptr;
    std::array<QLabel*, 3> potiCaptions_{};
    QLabel* accelValueLabel_ = nullptr;
    QLabel* adcLabel_ = nullptr;
    QLabel* accelValue_ = nullptr;
    QLabel* adcValues_ = nullptr;
    TM2DsChart* scaleChart_ = nullptr;
};

}  // namespace zv::gui
