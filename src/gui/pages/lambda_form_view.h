#pragma once

#include <QTimer>
#include <array>

#include "pages/page_view.h"

class QGroupBox;
class QLabel;

namespace zv {
class TLambdaForm;
}

namespace zv::gui {

class TLambdaScope;
class TLed;
class TMarkedGauge;
class TReadout;
class TShape;
class TValuePanel;

// Page 4, the narrowband lambda controller: its seven parameters, the probe's voltage with the
// mixture tendency, the controller's flags, the unit's lamp outputs and the plot of probe and
// controller.
class TLambdaFormView : public TPageView {
    Q_OBJECT
  public:
    explicit TLambdaFormView(TLambdaForm& model, QWidget* parent = nullptr);
    ~TLambdaFormView() override;

    void Render() override;
    TLambdaForm& Model() { return model_; }
    TLambdaScope& Scope() { return *scope_; }

  private:
    QWidget* BuildParamGroup();
    QWidget* BuildProbeGroup();
    QWidget* BuildTendencyGroup();
    QWidget* BuildStateColumn();
    QWidget* BuildPlot();
    void RenderTexts();
    void RenderLive();
    void Timer1Timer();

    TLambdaForm& model_;
    QGroupBox* paramGroup_ = nullptr;
    std::array<QLabel*, 7> captions_{};
    std::array<TValuePanel*, 7> panels_{};
    TReadout* throttle_ = nullptr;  // PotiRealPanel
    QLabel* throttleLabel_ = nullptr;
    QLabel* startup1Label_ = nullptr;
    QLabel* test1Label_ = nullptr;
    QLabel* test2Label_ = nullptr;
    QGroupBox* probeGroup_ = nullptr;
    TReadout* voltage_ = nullptr;  // SensorVoltagePanel
    TMarkedGauge* gauge_ = nullptr;
    QGroupBox* tendencyGroup_ = nullptr;
    // VeryRich, Rich, Good, Lean, VeryLean; labels Rich, Good, Lean.
    std::array<TShape*, 5> tendency_{};
    std::array<QLabel*, 3> tendencyLabels_{};
    QGroupBox* stateGroup_ = nullptr;
    QLabel* controlOffBy_ = nullptr;
    QLabel* errorLabel_ = nullptr;
    QLabel* limitLabel_ = nullptr;
    QLabel* startupLabel_ = nullptr;
    QLabel* shiftModeLabel_ = nullptr;
    QLabel* controlLabel_ = nullptr;
    QLabel* activeLabel_ = nullptr;
    TLed* errorLed_ = nullptr;
    TLed* test1Led_ = nullptr;
    TLed* test2Led_ = nullptr;
    TLed* limitLed_ = nullptr;
    TLed* startupLed_ = nullptr;
    TLed* startup1Led_ = nullptr;
    TLed* shiftModeLed_ = nullptr;
    TLed* activeLed_ = nullptr;
    QWidget* startupCountPanel_ = nullptr;  // LambdaStartupCountPanel
    QLabel* startupCountLabel_ = nullptr;   // LambdaStartupLabel
    TReadout* startupCount_ = nullptr;      // LambdaStartupCountDispPanel
    QGroupBox* lampGroup_ = nullptr;
    std::array<TLed*, 3> lamps_{};  // LHi, LOk, LLo
    std::array<QLabel*, 3> lampCaptions_{};
    QLabel* legend_ = nullptr;
    QLabel* legendProbe_ = nullptr;
    QLabel* legendController_ = nullptr;
    TLambdaScope* scope_ = nullptr;
    QTimer timer1_;
};

}  // namespace zv::gui
