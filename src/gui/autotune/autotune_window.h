#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "autotune/autotune_session.h"

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace zv {
class Dialogs;
class TMainModel;
}  // namespace zv

namespace zv::gui {

class TCellHeatMap;

// The autotune tool window: on the left the sources (log files, the live samples) and the
// settings, on the right the proposal as a heat map over the fuel map, below it the samples
// each filter rejected and the buttons that apply or discard the proposal. It shows the
// session's state and hands every input to it.
class TAutotuneWindow : public QWidget {
    Q_OBJECT
  public:
    TAutotuneWindow(TMainModel& main, TAutotuneSession& session, Dialogs& dialogs, QWidget* parent);

    // Adds the log (once) and shows the window.
    void OpenWithLog(const std::string& path);
    void ApplyLanguage(Language lang);
    // Paints the session's state again: sources, settings, result.
    void Render();

    TCellHeatMap& HeatMap() { return *heatMap_; }
    QPushButton& ApplyAllButton() { return *applyAll_; }
    QPushButton& ApplySelectionButton() { return *applySelection_; }
    QPushButton& ComputeButton() { return *compute_; }
    QPushButton& LockBlockButton() { return *lockBlock_; }

    // After an apply, so that the main window shows the changed map.
    std::function<void()> Applied;

  private:
    QWidget* BuildSources();
    QWidget* BuildSettings();
    QWidget* BuildResult();
    QDoubleSpinBox* Field(double min, double max, int decimals, const QString& unit);
    void SettingsToFields();
    void FieldsToSettings();
    void AddLogClick();
    void ComputeClick();
    void Apply(bool selectionOnly);
    void RenderSources();
    void RenderResult();
    void RenderLiveCount();

    TMainModel& main_;
    TAutotuneSession& session_;
    Dialogs& dialogs_;
    Language lang_ = Language::English;
    bool filling_ = false;

    QGroupBox* sourcesBox_ = nullptr;
    QListWidget* logList_ = nullptr;
    QPushButton* addLog_ = nullptr;
    QPushButton* removeLog_ = nullptr;
    QCheckBox* live_ = nullptr;
    QLabel* liveCount_ = nullptr;
    QPushButton* clearLive_ = nullptr;

    QGroupBox* settingsBox_ = nullptr;
    std::vector<std::pair<QLabel*, TTuneText>> fieldLabels_;
    QDoubleSpinBox* authority_ = nullptr;
    QDoubleSpinBox* minSamples_ = nullptr;
    QDoubleSpinBox* minRpm_ = nullptr;
    QDoubleSpinBox* delayScale_ = nullptr;
    QCheckBox* fixedDelayOn_ = nullptr;
    QDoubleSpinBox* fixedDelay_ = nullptr;
    QDoubleSpinBox* afterMark_ = nullptr;
    QDoubleSpinBox* steadyThrottle_ = nullptr;
    QCheckBox* requireStartup_ = nullptr;
    QCheckBox* rejectAtLimit_ = nullptr;
    QCheckBox* requireSteady_ = nullptr;
    QDoubleSpinBox* delayBase_ = nullptr;
    QDoubleSpinBox* delayVolume_ = nullptr;
    QDoubleSpinBox* fuelCutHoldoff_ = nullptr;
    QDoubleSpinBox* enrichmentHoldoff_ = nullptr;
    QDoubleSpinBox* warmUp_ = nullptr;
    QCheckBox* estimateDelay_ = nullptr;
    QCheckBox* rejectFuelCut_ = nullptr;
    QCheckBox* rejectEnrichment_ = nullptr;
    QCheckBox* rejectWarmUp_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QPushButton* compute_ = nullptr;

    TCellHeatMap* heatMap_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* legendMore_ = nullptr;
    QLabel* legendLess_ = nullptr;
    QLabel* legendGrey_ = nullptr;
    QLabel* rejected_ = nullptr;
    QPushButton* applyAll_ = nullptr;
    QPushButton* lockBlock_ = nullptr;
    QPushButton* applySelection_ = nullptr;
    QPushButton* discard_ = nullptr;
};

}  // namespace zv::gui
