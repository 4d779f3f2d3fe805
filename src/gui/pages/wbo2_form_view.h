#pragma once

#include <QTimer>
#include <array>

#include "pages/page_view.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QToolButton;

namespace zv {
class TWBO2Form;
}

namespace zv::gui {

class TAfrGrid;
class TBlockMenu;
class TOverlayButton;
class TLambdaScope;
class TLed;
class TReadout;
class TValuePanel;
class TWidebandDisplay;

// Page 5, wideband lambda: sensor unit and controller parameters on the left, the reading over
// the AFR target map in the middle, the controller's state on the right, the plot underneath.
class TWBO2FormView : public TPageView {
    Q_OBJECT
  public:
    explicit TWBO2FormView(TWBO2Form& model, QWidget* parent = nullptr);
    ~TWBO2FormView() override;

    void Render() override;
    TWBO2Form& Model() { return model_; }
    TAfrGrid& Grid() { return *grid_; }
    TLambdaScope& Scope() { return *scope_; }
    void Timer1Timer();

  private:
    QWidget* BuildLeftColumn();
    QGroupBox* BuildSensorGroup();
    QGroupBox* BuildParamGroup();
    QWidget* BuildReadingRow();
    QWidget* BuildLampRow();
    QWidget* BuildPlot();
    void RenderTexts();
    void RenderCombos();
    void RenderPanels();
    void RenderLive();

    TWBO2Form& model_;
    std::array<TValuePanel*, 11> panels_{};  // by edit field; 2 and 5 stay hidden
    QGroupBox* sensorGroup_ = nullptr;
    QLabel* sensorComboLabel_ = nullptr;
    QComboBox* unitCombo_ = nullptr;
    QLabel* afrAt0VLabel_ = nullptr;
    QLabel* afrAt5VLabel_ = nullptr;
    QLabel* errorLowLabel_ = nullptr;
    QLabel* errorHighLabel_ = nullptr;
    QLabel* afrLowLimit_ = nullptr;
    QLabel* errorAfrCaption_ = nullptr;
    QLabel* afrHighLimit_ = nullptr;
    QGroupBox* paramGroup_ = nullptr;
    QLabel* kpLabel_ = nullptr;
    QLabel* kiLabel_ = nullptr;
    QLabel* intLimitUpLabel_ = nullptr;
    QLabel* intLimitDownLabel_ = nullptr;
    QLabel* startupDispLabel_ = nullptr;
    QLabel* errorOnIntegratorLabel_ = nullptr;
    QToolButton* errorOnIntegratorButton_ = nullptr;
    QLabel* presetLabel_ = nullptr;
    QComboBox* presetCombo_ = nullptr;
    TWidebandDisplay* readout_ = nullptr;
    TAfrGrid* grid_ = nullptr;
    TBlockMenu* blockMenu_ = nullptr;  // the grid's context menu
    QLabel* targetLabel_ = nullptr;
    TReadout* target_ = nullptr;
    QLabel* compLabel_ = nullptr;
    TReadout* comp_ = nullptr;
    TLed* activeLed_ = nullptr;
    TLed* startupLed_ = nullptr;
    TLed* lockoutLed_ = nullptr;
    TLed* upLimLed_ = nullptr;
    TLed* lowLimLed_ = nullptr;
    TLed* outValueLed_ = nullptr;
    QLabel* activeLabel_ = nullptr;
    QLabel* startupLabel_ = nullptr;
    QLabel* startupCount_ = nullptr;
    QLabel* startupCountCaption_ = nullptr;
    QLabel* lockoutLabel_ = nullptr;
    QLabel* upLimLabel_ = nullptr;
    QLabel* lowLimLabel_ = nullptr;
    QLabel* outValueLabel_ = nullptr;
    QToolButton* viewButton_ = nullptr;
    QToolButton* mapDownloadButton_ = nullptr;
    TOverlayButton* overlayButton_ = nullptr;
    QWidget* plot_ = nullptr;
    TLambdaScope* scope_ = nullptr;
    QLabel* axisHigh_ = nullptr;
    QLabel* axisLow_ = nullptr;
    QLabel* legendLabel_ = nullptr;
    QLabel* legendSensor_ = nullptr;
    QLabel* legendController_ = nullptr;
    QTimer timer1_;
};

}  // namespace zv::gui
