#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "logview/log_viewer.h"
#include "text/text_table.h"

class QComboBox;
class QTimer;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace zv::gui {

class TLogHitGrid;
class TLogPlot;

// A log in a window of its own: the plots with their channel list and the values at the
// cursor, the hit counts over the fuel map's cells, the replay controls, and a tab the autotune
// panel fills.
class TLogViewWindow : public QWidget {
    Q_OBJECT
  public:
    TLogViewWindow(const std::string& path, TLogData log, TLogViewerHost host, Language lang,
                   QWidget* parent = nullptr);
    ~TLogViewWindow() override;

    TLogViewer& Viewer() { return viewer_; }
    TLogPlot& Plot() { return *plot_; }
    QTabWidget& Tabs() { return *tabs_; }
    // The autotune tab: what autotune does with this log, and the button that opens the
    // autotune window with it.
    QWidget& AutotuneTab() { return *autotuneTab_; }
    QPushButton& AutotuneButton() { return *autotuneButton_; }
    const std::string& Path() const { return path_; }
    QPushButton& PlayButton() { return *play_; }
    QTableWidget& ValueTable() { return *values_; }

    void ApplyLanguage(Language lang);
    // Where the unit backups lie, for the offer to open the log's own unit's data set.
    void SetDataFolder(const std::string& folder);
    QPushButton& OwnBackupButton() { return *ownBackup_; }
    // A data set was opened, created or read from the unit: new sites and targets.
    void DataSetChanged();

  Q_SIGNALS:
    void AutotuneRequested();
    // The operator chose to open this data file (the backup of the log's unit).
    void OpenDataSetRequested(const std::string& path);

  public:
    // Renders the state: replay, cursor values, online lock of the replay.
    void Render();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* BuildPlotsTab();
    QWidget* BuildHitsTab();
    QWidget* BuildAutotuneTab();
    void FillChannelList();
    void UpdateNotices();
    void FillValues();
    std::string ChannelName(std::size_t channel) const;

    std::string path_;
    std::string file_;
    Language lang_;
    TLogViewer viewer_;
    QTabWidget* tabs_ = nullptr;
    TLogPlot* plot_ = nullptr;
    QListWidget* channels_ = nullptr;
    QTableWidget* values_ = nullptr;
    QLabel* channelsLabel_ = nullptr;
    QLabel* valuesLabel_ = nullptr;
    QLabel* notice_ = nullptr;
    QPushButton* ownBackup_ = nullptr;
    std::string dataFolder_;
    std::string ownBackupPath_;
    QPushButton* play_ = nullptr;
    QLabel* speedLabel_ = nullptr;
    QComboBox* speed_ = nullptr;
    TLogHitGrid* hits_ = nullptr;
    QLabel* measureLabel_ = nullptr;
    QComboBox* measure_ = nullptr;
    QLabel* hitsNotice_ = nullptr;
    QWidget* autotuneTab_ = nullptr;
    QLabel* autotuneHint_ = nullptr;
    QPushButton* autotuneButton_ = nullptr;
    QTimer* renderTimer_ = nullptr;
};

}  // namespace zv::gui
