#pragma once

#include <QFrame>

class QLabel;
class QToolButton;
class QGridLayout;

namespace zv::gui {

class TBarGauge;
class TLed;
class TReadout;

// The left column of the main window: the operating buttons with the link's status, the
// dashboard of live engine values, the lambda panels and the two step-key panels. It only holds
// the controls; the main window captions and fills them.
class TControlPanel : public QFrame {
    Q_OBJECT
  public:
    explicit TControlPanel(QWidget* parent = nullptr);

    // Link.
    QLabel* LinkTitle;
    QToolButton* OffOnlineButton;  // F5
    QToolButton* UpLoadButton;     // F7
    QToolButton* DownLoadButton;   // F8
    QLabel* ComStatePanel;
    TBarGauge* ComGauge;

    // Dashboard.
    QWidget* DataPanel;
    QLabel* EngineTitle;
    QLabel* RotDispLabel;
    TReadout* RotDispPanel;
    TBarGauge* RotDispGauge;
    QLabel* PotiDispLabel;
    TReadout* PotiDispPanel;
    TBarGauge* PotiDispGauge;
    QLabel* OutputDispLabel;
    TReadout* OutputDispPanel;
    TBarGauge* OutputDispGauge;
    QLabel* IdleGaugeLabel;
    TBarGauge* IdleGauge;
    TLed* IdleLed;
    QLabel* IdleLedLabel;
    TLed* FullLed;
    QLabel* FullLedLabel;

    // Switches of the unit.
    QToolButton* IdleActiveButton;        // F9
    QToolButton* NBLambdaActiveButton;    // F10
    QToolButton* WBO2LambdaActiveButton;  // F11
    QToolButton* LoggerButton;

    // Narrowband lambda.
    QFrame* NBLambdaPanel;
    QLabel* NBLambdaTitle;
    TBarGauge* NBLambdaGauge;
    QLabel* NBCorrectionLabel;
    TReadout* NBCorrectionValPanel;
    TLed* NBActiveLed;
    QLabel* NBActiveLabel;

    // Wideband lambda.
    QFrame* WBO2LambdaPanel;
    QLabel* WBO2LambdaTitle;
    QLabel* AFRUnitLabel;
    TReadout* AFRTopPanel;
    QLabel* WBO2CorrectionLabel;
    TReadout* WBO2CorrectionValPanel;
    TLed* WBO2ActiveLed;
    QLabel* WBO2ActiveLabel;
    TLed* WBO2ErrorLed;
    QLabel* WBO2ErrorLabel;

    // The configured step keys, shown as characters; a click opens the key configuration.
    QLabel* StepKeysLabel;
    QToolButton* KeyUpPanel;
    QToolButton* KeyDownPanel;

  private:
    QWidget* BuildLinkGroup();
    QWidget* BuildDashboard();
    QWidget* BuildSwitches();
    QFrame* BuildNarrowBand();
    QFrame* BuildWideBand();
    QWidget* BuildStepKeys();
};

}  // namespace zv::gui
