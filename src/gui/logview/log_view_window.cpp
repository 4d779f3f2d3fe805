#include "logview/log_view_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/look.h"
#include "logview/log_hit_grid.h"
#include "logview/log_plot.h"
#include "logview/log_view_texts.h"
#include "pages/view_text.h"
#include "widgets/screen_fit.h"

namespace zv::gui {

namespace {

constexpr int kRenderMs = 100;
constexpr int kSpeeds[] = {1, 4, 16};

// As the log wrote the column: an AFR of 15 reads "15.0" beside one of 14.7.
QString ValueText(const std::optional<double>& v, int decimals) {
    if (!v)
        return QStringLiteral("—");
    if (decimals >= 0)
        return QString::number(*v, 'f', decimals);
    return std::fabs(*v - std::round(*v)) < 1e-6 ? QString::number(std::llround(*v))
                                                 : QString::number(*v, 'f', 1);
}

}  // namespace

TLogViewWindow::TLogViewWindow(const std::string& path, TLogData log, TLogViewerHost host,
                               Language lang, QWidget* parent)
    : QWidget(parent, Qt::Window),
      path_(path),
      file_(QFileInfo(Q(path)).fileName().toStdString()),
      lang_(lang),
      viewer_(std::move(log), std::move(host)) {
    setAttribute(Qt::WA_DeleteOnClose);
    tabs_ = new QTabWidget;
    tabs_->addTab(BuildPlotsTab(), QString());
    tabs_->addTab(BuildHitsTab(), QString());
    tabs_->addTab(BuildAutotuneTab(), QString());
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kSpacing, kSpacing, kSpacing, kSpacing);
    outer->addWidget(tabs_);
    FitToScreen(this, {1200, 700});

    renderTimer_ = new QTimer(this);
    renderTimer_->setInterval(kRenderMs);
    connect(renderTimer_, &QTimer::timeout, this, &TLogViewWindow::Render);
    renderTimer_->start();
    ApplyLanguage(lang);
}

TLogViewWindow::~TLogViewWindow() = default;

QWidget* TLogViewWindow::BuildPlotsTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    notice_ = new QLabel;
    notice_->setWordWrap(true);
    layout->addWidget(notice_);
    ownBackup_ = new QPushButton;
    ownBackup_->setVisible(false);
    connect(ownBackup_, &QPushButton::clicked, this,
            [this] { Q_EMIT OpenDataSetRequested(ownBackupPath_); });
    layout->addWidget(ownBackup_, 0, Qt::AlignLeft);

    auto* split = new QSplitter(Qt::Horizontal);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    channelsLabel_ = new QLabel;
    channels_ = new QListWidget;
    leftLayout->addWidget(channelsLabel_);
    leftLayout->addWidget(channels_);
    connect(channels_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        viewer_.Model().SetShown(static_cast<std::size_t>(channels_->row(item)),
                                 item->checkState() == Qt::Checked);
        plot_->update();
    });

    plot_ = new TLogPlot(viewer_.Model());
    connect(plot_, &TLogPlot::Changed, this, &TLogViewWindow::FillValues);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    valuesLabel_ = new QLabel;
    values_ = new QTableWidget(0, 3);
    values_->verticalHeader()->hide();
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    values_->setSelectionMode(QAbstractItemView::NoSelection);
    values_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    values_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    values_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    values_->verticalHeader()->setDefaultSectionSize(values_->fontMetrics().height() + 4);
    rightLayout->addWidget(valuesLabel_);
    rightLayout->addWidget(values_, 1);
    auto* replay = new QHBoxLayout;
    play_ = new QPushButton;
    speedLabel_ = new QLabel;
    speed_ = new QComboBox;
    for (int s : kSpeeds)
        speed_->addItem(QStringLiteral("%1×").arg(s), s);
    replay->addWidget(play_);
    replay->addWidget(speedLabel_);
    replay->addWidget(speed_);
    replay->addStretch();
    rightLayout->addLayout(replay);
    connect(play_, &QPushButton::clicked, this, [this] {
        viewer_.PlayPause();
        Render();
    });
    connect(speed_, &QComboBox::currentIndexChanged, this,
            [this] { viewer_.Replay().SetSpeed(speed_->currentData().toInt()); });

    split->addWidget(left);
    split->addWidget(plot_);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({170, 730, 290});
    layout->addWidget(split, 1);
    return tab;
}

QWidget* TLogViewWindow::BuildHitsTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    auto* row = new QHBoxLayout;
    measureLabel_ = new QLabel;
    measure_ = new QComboBox;
    row->addWidget(measureLabel_);
    row->addWidget(measure_);
    row->addStretch();
    layout->addLayout(row);
    hitsNotice_ = new QLabel;
    hitsNotice_->setWordWrap(true);
    layout->addWidget(hitsNotice_);
    hits_ = new TLogHitGrid(viewer_.Model());
    layout->addWidget(hits_, 1);
    connect(measure_, &QComboBox::currentIndexChanged, this, [this] {
        hits_->SetMeasure(static_cast<TLogHitMeasure>(measure_->currentData().toInt()));
    });
    return tab;
}

std::string TLogViewWindow::ChannelName(std::size_t channel) const {
    const TLogChannel& c = viewer_.Model().Channels()[channel];
    return c.Target ? LogViewTexts(lang_).AfrTargetName : c.Name;
}

void TLogViewWindow::FillChannelList() {
    const QSignalBlocker block(channels_);
    channels_->clear();
    for (std::size_t c = 0; c < viewer_.Model().Channels().size(); ++c) {
        auto* item = new QListWidgetItem(Q(ChannelName(c)), channels_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(viewer_.Model().IsShown(c) ? Qt::Checked : Qt::Unchecked);
    }
}

void TLogViewWindow::FillValues() {
    const TLogViewModel& m = viewer_.Model();
    const TLogViewTexts& t = LogViewTexts(lang_);
    values_->setRowCount(static_cast<int>(m.Channels().size()) + 1);
    const auto set = [this](int row, int column, const QString& text) {
        QTableWidgetItem* item = values_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            if (column == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            values_->setItem(row, column, item);
        }
        if (item->text() != text)
            item->setText(text);
    };
    set(0, 0, Q(t.TimeName));
    const TLogClockForm form = LogClockForm(m.LogEnd());
    set(0, 1, Q(LogCursorTimeText(m.CursorTime(), form)));
    set(0, 2, Q(LogClockUnit(form)));
    for (std::size_t c = 0; c < m.Channels().size(); ++c) {
        const int row = static_cast<int>(c) + 1;
        set(row, 0, Q(ChannelName(c)));
        set(row, 1, ValueText(m.Value(c, m.CursorLine()), m.Channels()[c].Decimals));
        set(row, 2, Q(m.Channels()[c].Unit));
    }
    plot_->update();
}

// Autotune works on logs in a window of its own (it also collects live records and keeps its
// settings); this tab says so and hands the log over.
QWidget* TLogViewWindow::BuildAutotuneTab() {
    autotuneTab_ = new QWidget;
    auto* layout = new QVBoxLayout(autotuneTab_);
    autotuneHint_ = new QLabel;
    autotuneHint_->setWordWrap(true);
    autotuneButton_ = new QPushButton;
    connect(autotuneButton_, &QPushButton::clicked, this, &TLogViewWindow::AutotuneRequested);
    layout->addWidget(autotuneHint_);
    layout->addWidget(autotuneButton_, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return autotuneTab_;
}

void TLogViewWindow::ApplyLanguage(Language lang) {
    lang_ = lang;
    const TLogViewTexts& t = LogViewTexts(lang);
    setWindowTitle(Q(t.TitlePrefix + " — " + file_));
    tabs_->setTabText(0, Q(t.PlotsTab));
    tabs_->setTabText(1, Q(t.HitsTab));
    tabs_->setTabText(2, Q(t.AutotuneTab));
    autotuneHint_->setText(Q(t.AutotuneHint));
    autotuneButton_->setText(Q(t.AutotuneButton));
    channelsLabel_->setText(Q(t.ChannelsLabel));
    valuesLabel_->setText(Q(t.ValuesLabel));
    values_->setHorizontalHeaderLabels({Q(t.NameHeader), Q(t.ValueHeader), Q(t.UnitHeader)});
    UpdateNotices();
    speedLabel_->setText(Q(t.SpeedLabel));
    measureLabel_->setText(Q(t.MeasureLabel));
    {
        const QSignalBlocker block(measure_);
        const int current = std::max(0, measure_->currentIndex());
        measure_->clear();
        measure_->addItem(Q(t.MeasureCount), int(TLogHitMeasure::Count));
        if (viewer_.Model().HasWideband())
            measure_->addItem(Q(t.MeasureAfrError), int(TLogHitMeasure::AfrError));
        measure_->addItem(Q(t.MeasureCorrection), int(TLogHitMeasure::Correction));
        measure_->setCurrentIndex(std::min(current, measure_->count() - 1));
    }
    hits_->SetCorner(t.HitsAxis);
    plot_->SetTargetName(t.AfrTargetName);
    FillChannelList();
    FillValues();
    Render();
}

// What the log or the data set lacks or got wrong, above the plots and the hit grid.
void TLogViewWindow::UpdateNotices() {
    const std::string text = viewer_.Notice(lang_);
    for (QLabel* label : {notice_, hitsNotice_}) {
        label->setText(Q(text));
        label->setVisible(!text.empty());
    }
    const auto backup = dataFolder_.empty() ? std::nullopt : viewer_.OwnBackup(dataFolder_);
    ownBackupPath_ = backup ? backup->Path : std::string();
    ownBackup_->setText(backup ? Q(OwnBackupText(*backup, lang_)) : QString());
    ownBackup_->setVisible(backup.has_value());
}

void TLogViewWindow::SetDataFolder(const std::string& folder) {
    dataFolder_ = folder;
    UpdateNotices();
}

void TLogViewWindow::DataSetChanged() {
    viewer_.DataSetChanged();
    UpdateNotices();
    plot_->update();
    hits_->update();
    FillValues();
}

void TLogViewWindow::Render() {
    const TLogViewTexts& t = LogViewTexts(lang_);
    TLogReplay& replay = viewer_.Replay();
    const bool enabled = viewer_.ReplayEnabled() || replay.Playing();
    play_->setEnabled(enabled);
    SetText(play_, Q(replay.Playing() ? t.Pause : t.Play));
    const QString tip = Q(viewer_.ReplayEnabled() ? t.ReplayTip : t.ReplayOnlineTip);
    if (play_->toolTip() != tip)
        play_->setToolTip(tip);
    if (replay.Playing()) {
        viewer_.Model().KeepCursorInView();
        FillValues();
    }
}

void TLogViewWindow::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    std::optional<TLogKey> key;
    switch (event->key()) {
    case Qt::Key_Left: key = TLogKey::Left; break;
    case Qt::Key_Right: key = TLogKey::Right; break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: key = TLogKey::ZoomIn; break;
    case Qt::Key_Minus: key = TLogKey::ZoomOut; break;
    case Qt::Key_Home: key = TLogKey::Home; break;
    case Qt::Key_End: key = TLogKey::End; break;
    case Qt::Key_PageUp: key = TLogKey::PageUp; break;
    case Qt::Key_PageDown: key = TLogKey::PageDown; break;
    default: break;
    }
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    viewer_.Model().HandleKey(*key, shift);
    FillValues();
}

void TLogViewWindow::closeEvent(QCloseEvent* event) {
    viewer_.Replay().Pause();
    QWidget::closeEvent(event);
}

}  // namespace zv::gui
