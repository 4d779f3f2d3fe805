#include "app/control_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "widgets/bar_gauge.h"
#include "widgets/led.h"
#include "widgets/readout.h"

namespace zv::gui {

namespace {

QToolButton* KeyButton(bool toggle) {
    auto* b = new QToolButton;
    b->setCheckable(toggle);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setMinimumHeight(b->fontMetrics().height() * 2);
    b->setFocusPolicy(Qt::NoFocus);
    b->setProperty("keyButton", true);
    return b;
}

// A switched-on key must read as on from a distance: it takes the highlight colour.
const char* const kKeyButtonStyle = R"(
QToolButton[keyButton="true"] {
    border: 1px solid palette(mid); border-radius: 4px; padding: 3px 4px;
    background: palette(button);
}
QToolButton[keyButton="true"]:hover { border-color: palette(highlight); }
QToolButton[keyButton="true"]:pressed { background: palette(midlight); }
QToolButton[keyButton="true"]:checked {
    background: palette(highlight); color: palette(highlighted-text); border-color: palette(shadow);
}
QToolButton[keyButton="true"]:disabled {
    background: palette(window); border-color: palette(midlight); color: palette(dark);
}
)";

QLabel* SectionTitle() {
    auto* l = new QLabel;
    QFont f = l->font();
    f.setBold(true);
    f.setCapitalization(QFont::AllUppercase);
    f.setPointSizeF(f.pointSizeF() * 0.85);
    f.setLetterSpacing(QFont::PercentageSpacing, 108);
    l->setFont(f);
    l->setForegroundRole(QPalette::Dark);
    return l;
}

QFrame* Card() {
    auto* card = new QFrame;
    card->setFrameShape(QFrame::StyledPanel);
    card->setAutoFillBackground(true);
    card->setBackgroundRole(QPalette::Base);
    return card;
}

QGridLayout* CardLayout(QFrame* card) {
    auto* grid = new QGridLayout(card);
    grid->setContentsMargins(kGroupSpacing, kSpacing + 2, kGroupSpacing, kSpacing + 4);
    grid->setHorizontalSpacing(kSpacing);
    grid->setVerticalSpacing(2);
    return grid;
}

// A value row: caption left, readout right (wide enough for its widest text), a gauge of the
// raw byte under both.
void AddValueRow(QGridLayout* grid, int row, const QString& widest, double scale, int marks,
                 QLabel*& caption, TReadout*& readout, TBarGauge*& gauge) {
    caption = new QLabel;
    readout = new TReadout(widest, scale);
    gauge = new TBarGauge;
    gauge->SetMaximum(255);
    gauge->SetMarks(marks);
    grid->addWidget(caption, row, 0, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(readout, row, 1, Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(gauge, row + 1, 0, 1, 2);
    grid->setRowMinimumHeight(row + 2, kSpacing);
}

QHBoxLayout* LedWithLabel(TLed* led, QLabel* label) {
    auto* row = new QHBoxLayout;
    row->setSpacing(kSpacing);
    row->addWidget(led);
    row->addWidget(label);
    return row;
}

}  // namespace

TControlPanel::TControlPanel(QWidget* parent) : QFrame(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kGroupSpacing, kGroupSpacing, kGroupSpacing, kGroupSpacing);
    column->setSpacing(kSpacing);
    // Groups keep their height; a short window scrolls the column rather than squeezing them.
    const auto add = [column](QWidget* group) {
        group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        column->addWidget(group);
    };
    add(BuildLinkGroup());
    column->addSpacing(kSpacing);
    add(BuildDashboard());
    add(BuildSwitches());
    add(BuildNarrowBand());
    add(BuildWideBand());
    column->addStretch(1);
    add(BuildStepKeys());
    setStyleSheet(QString::fromLatin1(kKeyButtonStyle));
    setMinimumWidth(fontMetrics().averageCharWidth() * 46);
}

QWidget* TControlPanel::BuildLinkGroup() {
    auto* group = new QWidget;
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    LinkTitle = SectionTitle();
    layout->addWidget(LinkTitle);

    OffOnlineButton = KeyButton(true);
    UpLoadButton = KeyButton(false);
    DownLoadButton = KeyButton(false);
    // F5 spans the row: it is the key used most. Two columns leave room for the longer
    // German captions.
    auto* buttons = new QGridLayout;
    buttons->setSpacing(kSpacing);
    buttons->addWidget(OffOnlineButton, 0, 0, 1, 2);
    buttons->addWidget(UpLoadButton, 1, 0);
    buttons->addWidget(DownLoadButton, 1, 1);
    buttons->setColumnStretch(0, 1);
    buttons->setColumnStretch(1, 1);
    layout->addLayout(buttons);

    ComStatePanel = new QLabel;
    QFont bold = ComStatePanel->font();
    bold.setBold(true);
    ComStatePanel->setFont(bold);
    ComStatePanel->setMinimumWidth(1);
    layout->addWidget(ComStatePanel);
    ComGauge = new TBarGauge(Qt::Horizontal);
    ComGauge->SetThickness(0.45);
    layout->addWidget(ComGauge);
    return group;
}

QWidget* TControlPanel::BuildDashboard() {
    DataPanel = new QWidget;
    auto* layout = new QVBoxLayout(DataPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    EngineTitle = SectionTitle();
    layout->addWidget(EngineTitle);

    QFrame* card = Card();
    QGridLayout* grid = CardLayout(card);
    AddValueRow(grid, 0, QStringLiteral("10000"), 2.2, 10, RotDispLabel, RotDispPanel,
                RotDispGauge);
    AddValueRow(grid, 3, QStringLiteral("5.00"), 1.7, 5, PotiDispLabel, PotiDispPanel,
                PotiDispGauge);
    AddValueRow(grid, 6, QStringLiteral("100"), 1.7, 4, OutputDispLabel, OutputDispPanel,
                OutputDispGauge);

    IdleGaugeLabel = new QLabel;
    IdleGauge = new TBarGauge;
    IdleGauge->SetMaximum(255);
    IdleGauge->SetThickness(0.6);
    grid->addWidget(IdleGaugeLabel, 9, 0, 1, 2);
    grid->addWidget(IdleGauge, 10, 0, 1, 2);
    grid->setRowMinimumHeight(11, kSpacing);

    IdleLed = new TLed(kLedGreen);
    IdleLedLabel = new QLabel;
    FullLed = new TLed(kLedOrange);
    FullLedLabel = new QLabel;
    auto* leds = new QHBoxLayout;
    leds->setSpacing(kGroupSpacing);
    leds->addLayout(LedWithLabel(IdleLed, IdleLedLabel));
    leds->addLayout(LedWithLabel(FullLed, FullLedLabel));
    leds->addStretch(1);
    grid->addLayout(leds, 12, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    layout->addWidget(card);
    return DataPanel;
}

QWidget* TControlPanel::BuildSwitches() {
    auto* row = new QWidget;
    auto* layout = new QGridLayout(row);
    layout->setContentsMargins(0, kSpacing, 0, 0);
    layout->setSpacing(kSpacing);
    IdleActiveButton = KeyButton(true);
    NBLambdaActiveButton = KeyButton(true);
    WBO2LambdaActiveButton = KeyButton(true);
    LoggerButton = KeyButton(true);
    layout->addWidget(IdleActiveButton, 0, 0);
    layout->addWidget(LoggerButton, 0, 1);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    return row;
}

QFrame* TControlPanel::BuildNarrowBand() {
    NBLambdaPanel = Card();
    QGridLayout* grid = CardLayout(NBLambdaPanel);
    NBLambdaTitle = new QLabel;
    NBActiveLed = new TLed(kLedGreen);
    NBActiveLabel = new QLabel;
    NBCorrectionLabel = new QLabel;
    NBCorrectionValPanel = new TReadout(QStringLiteral("-128"), 1.4);
    NBLambdaGauge = new TBarGauge;
    NBLambdaGauge->SetMaximum(51);
    NBLambdaGauge->SetMarks(5);
    // The key that switches the controller sits on its panel.
    NBLambdaActiveButton->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    grid->addWidget(NBLambdaTitle, 0, 0);
    grid->addWidget(NBLambdaActiveButton, 0, 1, Qt::AlignRight);
    grid->addWidget(NBLambdaGauge, 1, 0, 1, 2);
    auto* status = new QHBoxLayout;
    status->setSpacing(kSpacing);
    status->addLayout(LedWithLabel(NBActiveLed, NBActiveLabel));
    status->addStretch(1);
    status->addWidget(NBCorrectionLabel);
    status->addWidget(NBCorrectionValPanel);
    grid->addLayout(status, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return NBLambdaPanel;
}

QFrame* TControlPanel::BuildWideBand() {
    WBO2LambdaPanel = Card();
    QGridLayout* grid = CardLayout(WBO2LambdaPanel);
    WBO2LambdaTitle = new QLabel;
    AFRUnitLabel = new QLabel;
    AFRTopPanel = new TReadout(QStringLiteral("00.00"), 2.2);
    WBO2CorrectionLabel = new QLabel;
    WBO2CorrectionValPanel = new TReadout(QStringLiteral("S 255"), 1.4);
    WBO2ActiveLed = new TLed(kLedGreen);
    WBO2ActiveLabel = new QLabel;
    WBO2ErrorLed = new TLed(kLedRed);
    WBO2ErrorLabel = new QLabel;
    WBO2LambdaActiveButton->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    grid->addWidget(WBO2LambdaTitle, 0, 0);
    grid->addWidget(WBO2LambdaActiveButton, 0, 1, Qt::AlignRight);
    grid->addWidget(AFRUnitLabel, 1, 0, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(AFRTopPanel, 1, 1, Qt::AlignRight);
    auto* status = new QHBoxLayout;
    status->setSpacing(kSpacing);
    status->addLayout(LedWithLabel(WBO2ActiveLed, WBO2ActiveLabel));
    status->addLayout(LedWithLabel(WBO2ErrorLed, WBO2ErrorLabel));
    status->addStretch(1);
    status->addWidget(WBO2CorrectionLabel);
    status->addWidget(WBO2CorrectionValPanel);
    grid->addLayout(status, 2, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    return WBO2LambdaPanel;
}

QWidget* TControlPanel::BuildStepKeys() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    StepKeysLabel = new QLabel;
    KeyUpPanel = new QToolButton;
    KeyDownPanel = new QToolButton;
    for (QToolButton* b : {KeyUpPanel, KeyDownPanel}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(b->fontMetrics().averageCharWidth() * 7);
    }
    layout->addWidget(StepKeysLabel);
    layout->addStretch(1);
    layout->addWidget(KeyUpPanel);
    layout->addWidget(KeyDownPanel);
    return row;
}

}  // namespace zv::gui
