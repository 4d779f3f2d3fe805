#include "autotune/autotune_window.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "app/main_model.h"
#include "autotune/cell_heat_map.h"
#include "pages/view_text.h"
#include "seams/dialogs.h"
#include "widgets/difference_colour.h"
#include "widgets/screen_fit.h"

namespace zv::gui {

namespace {

// A swatch of a tint beside its text, for the legend.
QLabel* Swatch(const QColor& colour) {
    auto* swatch = new QLabel;
    swatch->setFixedSize(18, 14);
    swatch->setAutoFillBackground(true);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, colour);
    swatch->setPalette(palette);
    swatch->setFrameShape(QFrame::Box);
    return swatch;
}

}  // namespace

TAutotuneWindow::TAutotuneWindow(TMainModel& main, TAutotuneSession& session, Dialogs& dialogs,
                                 QWidget* parent)
    : QWidget(parent, Qt::Tool), main_(main), session_(session), dialogs_(dialogs) {
    setObjectName(QStringLiteral("AutotuneWindow"));
    auto* outer = new QHBoxLayout(this);
    outer->setSpacing(kGroupSpacing);
    auto* left = new QVBoxLayout;
    left->setSpacing(kGroupSpacing);
    left->addWidget(BuildSources());
    left->addWidget(BuildSettings());
    left->addStretch(1);
    outer->addLayout(left, 0);
    outer->addWidget(BuildResult(), 1);
    session_.LiveCountChanged = [this] { RenderLiveCount(); };
    ApplyLanguage(main_.CurrentLanguage());
    FitToScreen(this, {1280, 700});
}

QWidget* TAutotuneWindow::BuildSources() {
    sourcesBox_ = new QGroupBox;
    auto* layout = new QVBoxLayout(sourcesBox_);
    layout->setSpacing(kSpacing);
    logList_ = new QListWidget;
    logList_->setMinimumHeight(logList_->fontMetrics().height() * 4);
    logList_->setMaximumHeight(logList_->fontMetrics().height() * 6);
    layout->addWidget(logList_);
    auto* logButtons = new QHBoxLayout;
    addLog_ = new QPushButton;
    removeLog_ = new QPushButton;
    logButtons->addWidget(addLog_);
    logButtons->addWidget(removeLog_);
    logButtons->addStretch(1);
    layout->addLayout(logButtons);
    live_ = new QCheckBox;
    layout->addWidget(live_);
    auto* liveRow = new QHBoxLayout;
    liveCount_ = new QLabel;
    clearLive_ = new QPushButton;
    liveRow->addWidget(liveCount_, 1);
    liveRow->addWidget(clearLive_);
    layout->addLayout(liveRow);

    connect(addLog_, &QPushButton::clicked, this, [this] { AddLogClick(); });
    connect(removeLog_, &QPushButton::clicked, this, [this] {
        if (logList_->currentRow() >= 0)
            session_.RemoveLog(static_cast<std::size_t>(logList_->currentRow()));
        RenderSources();
    });
    connect(live_, &QCheckBox::toggled, this, [this](bool on) { session_.SetLive(on); });
    connect(clearLive_, &QPushButton::clicked, this, [this] { session_.ClearLive(); });
    return sourcesBox_;
}

QDoubleSpinBox* TAutotuneWindow::Field(double min, double max, int decimals, const QString& unit) {
    auto* field = new QDoubleSpinBox;
    field->setRange(min, max);
    field->setDecimals(decimals);
    if (!unit.isEmpty())
        field->setSuffix(QStringLiteral(" ") + unit);
    field->setAlignment(Qt::AlignRight);
    connect(field, &QDoubleSpinBox::valueChanged, this, [this] { FieldsToSettings(); });
    return field;
}

// The fields reach a little beyond what a run takes, so that the refusal names the range.
QWidget* TAutotuneWindow::BuildSettings() {
    settingsBox_ = new QGroupBox;
    auto* form = new QFormLayout(settingsBox_);
    form->setSpacing(kSpacing);
    authority_ = Field(0.0, 100.0, 1, QStringLiteral("%"));
    minSamples_ = Field(0.0, 1000000.0, 0, QString());
    minRpm_ = Field(0.0, 10000.0, 0, QStringLiteral("rpm"));
    delayScale_ = Field(0.0, 10.0, 2, QString());
    fixedDelay_ = Field(0.0, 5000.0, 0, QStringLiteral("ms"));
    afterMark_ = Field(0.0, 600.0, 1, QStringLiteral("s"));
    delayBase_ = Field(0.0, 2000.0, 0, QStringLiteral("ms"));
    delayVolume_ = Field(0.0, 5000000.0, 0, QString());
    delayVolume_->setSingleStep(5000.0);
    fuelCutHoldoff_ = Field(0.0, 20.0, 1, QString());
    enrichmentHoldoff_ = Field(0.0, 20.0, 1, QString());
    warmUp_ = Field(0.0, 7200.0, 0, QStringLiteral("s"));
    steadyThrottle_ = Field(0.0, 100.0, 1, QStringLiteral("%"));
    fixedDelayOn_ = new QCheckBox;
    auto* fixedRow = new QHBoxLayout;
    fixedRow->addWidget(fixedDelayOn_);
    fixedRow->addWidget(fixedDelay_, 1);
    const std::pair<TTuneText, QWidget*> rows[] = {
        {TTuneText::Authority, authority_},
        {TTuneText::MinSamples, minSamples_},
        {TTuneText::MinRpm, minRpm_},
        {TTuneText::DelayBase, delayBase_},
        {TTuneText::DelayVolume, delayVolume_},
        {TTuneText::DelayScale, delayScale_},
        {TTuneText::AfterMark, afterMark_},
        {TTuneText::SteadyThrottle, steadyThrottle_},
        {TTuneText::FuelCutHoldoff, fuelCutHoldoff_},
        {TTuneText::EnrichmentHoldoff, enrichmentHoldoff_},
        {TTuneText::WarmUp, warmUp_},
    };
    for (const auto& [text, field] : rows) {
        auto* label = new QLabel;
        fieldLabels_.emplace_back(label, text);
        form->addRow(label, field);
        if (text == TTuneText::DelayScale) {
            auto* fixedLabel = new QLabel;
            fieldLabels_.emplace_back(fixedLabel, TTuneText::FixedDelay);
            form->addRow(fixedLabel, fixedRow);
        }
    }
    requireSteady_ = new QCheckBox;
    requireStartup_ = new QCheckBox;
    rejectAtLimit_ = new QCheckBox;
    estimateDelay_ = new QCheckBox;
    rejectFuelCut_ = new QCheckBox;
    rejectEnrichment_ = new QCheckBox;
    rejectWarmUp_ = new QCheckBox;
    for (QCheckBox* box : {estimateDelay_, requireSteady_, rejectFuelCut_, rejectEnrichment_,
                           rejectWarmUp_, requireStartup_, rejectAtLimit_})
        form->addRow(box);
    for (QCheckBox* box : {fixedDelayOn_, requireSteady_, requireStartup_, rejectAtLimit_,
                           estimateDelay_, rejectFuelCut_, rejectEnrichment_, rejectWarmUp_})
        connect(box, &QCheckBox::toggled, this, [this] { FieldsToSettings(); });
    auto* buttons = new QHBoxLayout;
    defaults_ = new QPushButton;
    compute_ = new QPushButton;
    compute_->setDefault(true);
    buttons->addWidget(defaults_);
    buttons->addStretch(1);
    buttons->addWidget(compute_);
    form->addRow(buttons);
    connect(defaults_, &QPushButton::clicked, this, [this] {
        session_.ResetSettings();
        SettingsToFields();
    });
    connect(compute_, &QPushButton::clicked, this, [this] { ComputeClick(); });
    return settingsBox_;
}

QWidget* TAutotuneWindow::BuildResult() {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    message_ = new QLabel;
    message_->setWordWrap(true);
    layout->addWidget(message_);
    heatMap_ = new TCellHeatMap;
    layout->addWidget(heatMap_, 1);
    auto* legend = new QHBoxLayout;
    legend->setSpacing(kSpacing);
    legend->addWidget(Swatch(DifferenceColour(3, *heatMap_)));
    legend->addWidget(Swatch(DifferenceColour(1, *heatMap_)));
    legendMore_ = new QLabel;
    legend->addWidget(legendMore_);
    legend->addSpacing(kGroupSpacing);
    legend->addWidget(Swatch(DifferenceColour(-1, *heatMap_)));
    legend->addWidget(Swatch(DifferenceColour(-3, *heatMap_)));
    legendLess_ = new QLabel;
    legend->addWidget(legendLess_);
    legend->addSpacing(kGroupSpacing);
    legend->addWidget(Swatch(QColor(0xD0, 0xD0, 0xD0)));
    legendGrey_ = new QLabel;
    legend->addWidget(legendGrey_);
    legend->addStretch(1);
    layout->addLayout(legend);
    rejected_ = new QLabel;
    rejected_->setWordWrap(true);
    layout->addWidget(rejected_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    applyAll_ = new QPushButton;
    applySelection_ = new QPushButton;
    discard_ = new QPushButton;
    lockBlock_ = new QPushButton;
    buttons->addWidget(lockBlock_);
    buttons->addWidget(applyAll_);
    buttons->addWidget(applySelection_);
    buttons->addWidget(discard_);
    layout->addLayout(buttons);
    connect(heatMap_, &TCellHeatMap::SelectionChanged, this, [this] {
        session_.Select(heatMap_->Selection());
        applySelection_->setEnabled(session_.Result() && session_.Selection());
        lockBlock_->setEnabled(session_.Selection().has_value());
    });
    connect(lockBlock_, &QPushButton::clicked, this, [this] {
        if (const auto block = session_.Selection()) {
            session_.ToggleLock(*block);
            RenderResult();
        }
    });
    connect(applyAll_, &QPushButton::clicked, this, [this] { Apply(false); });
    connect(applySelection_, &QPushButton::clicked, this, [this] { Apply(true); });
    connect(discard_, &QPushButton::clicked, this, [this] {
        session_.Discard();
        RenderResult();
    });
    return box;
}

void TAutotuneWindow::ApplyLanguage(Language lang) {
    lang_ = lang;
    auto T = [lang](TTuneText text) { return Q(TuneText(text, lang)); };
    setWindowTitle(T(TTuneText::Title));
    sourcesBox_->setTitle(T(TTuneText::Sources));
    addLog_->setText(T(TTuneText::AddLog));
    removeLog_->setText(T(TTuneText::RemoveLog));
    live_->setText(T(TTuneText::Live));
    clearLive_->setText(T(TTuneText::ClearLive));
    settingsBox_->setTitle(T(TTuneText::Settings));
    for (const auto& [label, text] : fieldLabels_)
        label->setText(T(text));
    requireSteady_->setText(T(TTuneText::RequireSteady));
    requireStartup_->setText(T(TTuneText::RequireStartup));
    rejectAtLimit_->setText(T(TTuneText::RejectAtLimit));
    estimateDelay_->setText(T(TTuneText::EstimateDelay));
    rejectFuelCut_->setText(T(TTuneText::RejectFuelCut));
    rejectEnrichment_->setText(T(TTuneText::RejectEnrichment));
    rejectWarmUp_->setText(T(TTuneText::RejectWarmUp));
    minRpm_->setSuffix(lang == Language::German ? QStringLiteral(" U/min")
                                                : QStringLiteral(" rpm"));
    defaults_->setText(T(TTuneText::Defaults));
    compute_->setText(T(TTuneText::Compute));
    legendMore_->setText(T(TTuneText::Richer));
    legendLess_->setText(T(TTuneText::Leaner));
    legendGrey_->setText(T(TTuneText::TooFew));
    applyAll_->setText(T(TTuneText::ApplyAll));
    applySelection_->setText(T(TTuneText::ApplySelection));
    discard_->setText(T(TTuneText::Discard));
    lockBlock_->setText(T(TTuneText::LockBlock));
    Render();
}

void TAutotuneWindow::Render() {
    RenderSources();
    SettingsToFields();
    RenderResult();
}

void TAutotuneWindow::RenderSources() {
    logList_->clear();
    for (const TTuneLogSource& source : session_.Logs()) {
        auto* item = new QListWidgetItem(Q(LogSourceLine(source, lang_)), logList_);
        item->setToolTip(Q(source.Path));
        if (source.Error)
            item->setForeground(kLedRed);
    }
    live_->setChecked(session_.Live());
    RenderLiveCount();
}

void TAutotuneWindow::RenderLiveCount() {
    liveCount_->setText(Q(TuneText(TTuneText::LiveCount, lang_)) +
                        QString::number(session_.LiveCount()));
}

void TAutotuneWindow::SettingsToFields() {
    filling_ = true;
    const TTuneSettings& s = session_.Settings();
    authority_->setValue(s.AuthorityPercent);
    minSamples_->setValue(s.MinSamples);
    minRpm_->setValue(s.MinRpm);
    delayScale_->setValue(s.DelayScale);
    fixedDelayOn_->setChecked(s.FixedDelayMs.has_value());
    // Unset, the fixed delay offers the model's at a middling point, 3000 rpm half open.
    fixedDelay_->setValue(s.FixedDelayMs.value_or(s.SensorDelayMs(3000.0, 128.0)));
    delayBase_->setValue(s.Delay.BaseMs);
    delayVolume_->setValue(s.Delay.VolumeMsRpm);
    estimateDelay_->setChecked(s.EstimateDelay);
    fuelCutHoldoff_->setValue(s.FuelCutHoldoff);
    enrichmentHoldoff_->setValue(s.EnrichmentHoldoff);
    warmUp_->setValue(s.WarmUpS);
    rejectFuelCut_->setChecked(s.RejectFuelCut);
    rejectEnrichment_->setChecked(s.RejectEnrichment);
    rejectWarmUp_->setChecked(s.RejectWarmUp);
    fixedDelay_->setEnabled(s.FixedDelayMs.has_value());
    delayScale_->setEnabled(!s.FixedDelayMs.has_value());
    afterMark_->setValue(s.AfterMarkS);
    steadyThrottle_->setValue(s.MaxThrottleChangePercent);
    steadyThrottle_->setEnabled(s.RequireSteadyThrottle);
    requireSteady_->setChecked(s.RequireSteadyThrottle);
    requireStartup_->setChecked(s.RequireStartupDone);
    rejectAtLimit_->setChecked(s.RejectAtLimit);
    filling_ = false;
}

void TAutotuneWindow::FieldsToSettings() {
    if (filling_)
        return;
    TTuneSettings& s = session_.Settings();
    s.AuthorityPercent = authority_->value();
    s.MinSamples = minSamples_->value();
    s.MinRpm = minRpm_->value();
    s.DelayScale = delayScale_->value();
    s.FixedDelayMs =
        fixedDelayOn_->isChecked() ? std::optional(fixedDelay_->value()) : std::nullopt;
    s.AfterMarkS = afterMark_->value();
    s.MaxThrottleChangePercent = steadyThrottle_->value();
    s.RequireSteadyThrottle = requireSteady_->isChecked();
    s.RequireStartupDone = requireStartup_->isChecked();
    s.RejectAtLimit = rejectAtLimit_->isChecked();
    s.Delay.BaseMs = delayBase_->value();
    s.Delay.VolumeMsRpm = delayVolume_->value();
    s.EstimateDelay = estimateDelay_->isChecked();
    s.FuelCutHoldoff = fuelCutHoldoff_->value();
    s.EnrichmentHoldoff = enrichmentHoldoff_->value();
    s.WarmUpS = warmUp_->value();
    s.RejectFuelCut = rejectFuelCut_->isChecked();
    s.RejectEnrichment = rejectEnrichment_->isChecked();
    s.RejectWarmUp = rejectWarmUp_->isChecked();
    fixedDelay_->setEnabled(s.FixedDelayMs.has_value());
    delayScale_->setEnabled(!s.FixedDelayMs.has_value());
    steadyThrottle_->setEnabled(s.RequireSteadyThrottle);
}

void TAutotuneWindow::AddLogClick() {
    const auto path =
        dialogs_.OpenFileDialog({TuneText(TTuneText::OpenLogCaption, lang_),
                                 TuneText(TTuneText::LogFilter, lang_), main_.RecentDir(), ""});
    if (!path)
        return;
    session_.AddLog(*path);
    RenderSources();
}

void TAutotuneWindow::OpenWithLog(const std::string& path) {
    bool known = false;
    for (const TTuneLogSource& source : session_.Logs())
        known = known || source.Path == path;
    if (!known)
        session_.AddLog(path);
    Render();
    show();
    raise();
    activateWindow();
}

void TAutotuneWindow::ComputeClick() {
    session_.Compute();
    RenderResult();
}

void TAutotuneWindow::Apply(bool selectionOnly) {
    if (selectionOnly)
        session_.ApplySelection();
    else
        session_.ApplyAll();
    RenderResult();
    if (Applied)
        Applied();
}

void TAutotuneWindow::RenderResult() {
    const auto& result = session_.Result();
    applyAll_->setEnabled(result.has_value());
    applySelection_->setEnabled(result && session_.Selection());
    lockBlock_->setEnabled(session_.Selection().has_value());
    discard_->setEnabled(result.has_value());
    if (!result) {
        heatMap_->Clear(TuneAxesOf(main_.Data(), lang_));
        message_->setText(session_.Refusal() ? Q(session_.Refusal()->Pick(lang_)) : QString());
        rejected_->clear();
        return;
    }
    TCellHeatMap::TCells cells;
    for (std::size_t t = 0; t < 16; ++t)
        for (std::size_t r = 0; r < 16; ++r)
            cells[t][r] = HeatCellOf(result->Cells[t][r],
                                     session_.Settings().IsLocked(static_cast<int>(t),
                                                                  static_cast<int>(r)),
                                     lang_);
    heatMap_->SetCells(cells, TuneAxesOf(main_.Data(), lang_));
    heatMap_->SetSelection(session_.Selection());
    message_->setText(Q(TuneSummary(*result, session_.Settings(), lang_)));
    QStringList lines;
    for (const std::string& line : TuneRejections(*result, lang_))
        lines << Q(line);
    rejected_->setText(Q(TuneText(TTuneText::Rejected, lang_)) + QStringLiteral(": ") +
                       (lines.isEmpty() ? QStringLiteral("0") : lines.join(QStringLiteral("; "))));
}

}  // namespace zv::gui
