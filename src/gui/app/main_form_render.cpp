// Painting core's state: controls of the link states, the dashboard and the status panels.
#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "app/control_panel.h"
#include "app/look.h"
#include "app/main_form.h"
#include "app/top_stripe.h"
#include "dashboard/dashboard.h"
#include "online/online_mode.h"
#include "pages/page_view.h"
#include "widgets/bar_gauge.h"
#include "widgets/led.h"
#include "widgets/readout.h"

namespace zv::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Show(QToolButton* button, const TButtonState& state) {
    button->setVisible(state.Visible);
    button->setEnabled(state.Enabled);
    if (button->isCheckable())
        button->setChecked(state.Down);
}

void SetText(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}

// A status panel shows only while it has something to say.
void SetPanel(QLabel* panel, const QString& text) {
    SetText(panel, text);
    panel->parentWidget()->setVisible(!text.isEmpty());
}

// The window colour of the dashboard is the palette's; the named colours are used as they are.
QColor DashColour(TDashColour colour, const QWidget& widget) {
    if (colour == TDashColour::Window)
        return widget.palette().color(QPalette::Base);
    return ColourOf(DashColourRgb(colour));
}

}  // namespace

void TMainForm::Render() {
    RenderControls();
    RenderDashboard();
    RenderStatus();
    RenderEditMenu();
    if (TPageView* view = pageViews_[static_cast<std::size_t>(form_.PageOnView())])
        view->Render();
}

void TMainForm::RenderControls() {
    const TMainControls& c = online_->Controls();
    TControlPanel& p = *panel_;
    Show(p.OffOnlineButton, c.F5);
    Show(p.UpLoadButton, c.F7);
    Show(p.DownLoadButton, c.F8);
    Show(p.IdleActiveButton, c.F9);
    Show(p.NBLambdaActiveButton, c.F10);
    Show(p.WBO2LambdaActiveButton, c.F11);
    Show(p.LoggerButton, c.Logger);
    p.NBLambdaPanel->setVisible(c.NarrowBandPanelVisible);
    p.WBO2LambdaPanel->setVisible(c.WideBandPanelVisible);
    p.DataPanel->setEnabled(c.DataPanelVisible);

    actions_.Connect->setChecked(c.ConnectMenuChecked);
    actions_.Connect->setEnabled(c.F5.Enabled);
    actions_.Upload->setEnabled(c.F7.Enabled);
    actions_.Download->setEnabled(c.F8.Enabled);
    actions_.IdleControl->setChecked(c.IdleMenuChecked);
    actions_.LambdaControl->setChecked(c.LambdaMenuChecked);
    actions_.DataLogger->setEnabled(c.LoggerMenuEnabled);
    actions_.DataLogger->setChecked(c.LoggerMenuChecked);
    actions_.SaveAs->setEnabled(c.SaveAsEnabled);
    actions_.Save->setEnabled(main_.Modified());
    saveButton_->setEnabled(main_.Modified());
}

void TMainForm::RenderDashboard() {
    const TDashboardState& d = online_->Dashboard();
    TControlPanel& p = *panel_;
    p.RotDispGauge->SetPosition(d.RotDispGauge);
    p.RotDispPanel->SetText(Q(d.RotDispPanel));
    p.PotiDispGauge->SetPosition(d.PotiDispGauge);
    p.PotiDispPanel->SetText(Q(d.PotiDispPanel));
    p.OutputDispGauge->SetPosition(d.OutputDispGauge);
    p.OutputDispPanel->SetText(Q(d.OutputDispPanel));
    p.IdleGauge->SetPosition(d.IdleGauge);
    p.IdleGauge->SetBarColour(DashColour(d.IdleGaugeColour, *p.IdleGauge));
    p.IdleLed->SetOn(d.IdleLed);
    p.FullLed->SetOn(d.FullLed);

    p.NBCorrectionValPanel->SetText(Q(d.NBCorrectionValPanel));
    p.NBActiveLed->SetOn(d.NBActiveLed);
    p.NBLambdaGauge->SetPosition(d.NBLambdaGauge);
    p.NBLambdaGauge->SetBarColour(DashColour(d.NBLambdaGaugeColour, *p.NBLambdaGauge));

    p.AFRTopPanel->SetText(Q(d.AFRTopPanel));
    SetText(p.AFRUnitLabel, Q(form_.Caption(form_.WBO2DispAfrMaster() ? TMainText::AfrUnit
                                                                      : TMainText::LambdaUnit)));
    p.WBO2CorrectionValPanel->SetText(Q(d.WBO2CorrectionValPanel));
    p.WBO2ActiveLed->SetOn(d.WBO2ActiveLed);
    p.WBO2ErrorLed->SetOn(d.WBO2ErrorLed);
}

void TMainForm::RenderStatus() {
    const TLinkPanels& panels = online_->Panels();
    SetText(panel_->ComStatePanel, Q(panels.ComState));
    SetPanel(deviceTypePanel_, Q(panels.DeviceType));
    SetPanel(serialNoPanel_, Q(panels.SerialNo));
    SetPanel(verLevelPanel_, Q(panels.VerLevel));
    SetPanel(firmwarePanel_, Q(main_.FirmwarePanel()));
    SetPanel(logNumPanel_, Q(logger_->State().LogNumPanel));
    const TGaugeState& gauge = online_->Gauge();
    panel_->ComGauge->SetMaximum(gauge.Max);
    panel_->ComGauge->SetPosition(gauge.Position);
    panel_->ComGauge->SetBarColour(ColourOf(gauge.BarColour));
    topStripe_->SetSplit(online_->TopStripeSplit());
    SetPanel(portPanel_, Q(form_.PortPanel()));
    const QString title = Q(form_.WindowTitle());
    if (windowTitle() != title)
        setWindowTitle(title);
    const QString up = QStringLiteral("▲ ") + Q(KeyCodeText(keyCtrl_.KeyUpSmallCode));
    const QString down = QStringLiteral("▼ ") + Q(KeyCodeText(keyCtrl_.KeyDownSmallCode));
    if (panel_->KeyUpPanel->text() != up)
        panel_->KeyUpPanel->setText(up);
    if (panel_->KeyDownPanel->text() != down)
        panel_->KeyDownPanel->setText(down);
}

}  // namespace zv::gui
