#include "widgets/wideband_display.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>

#include "app/look.h"
#include "pages/view_text.h"
#include "widgets/readout.h"

namespace zv::gui {

TWidebandDisplay::TWidebandDisplay(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(kGroupSpacing);
    grid->setVerticalSpacing(0);
    masterText_ = new QLabel;
    master_ = new TReadout(QStringLiteral("00.00"), 2.6);
    slaveText_ = new QLabel;
    slave_ = new TReadout(QStringLiteral("00.00"), 1.5);
    debounce_ = new QScrollBar(Qt::Vertical);
    debounce_->setRange(0, kMaxDebounceLevel);
    debounce_->setPageStep(1);
    debounce_->setFocusPolicy(Qt::NoFocus);
    debounce_->setFixedHeight(master_->sizeHint().height());
    debounceLevel_ = new QLabel;
    // The level's name, small, over the small display and the slider: the row grows no wider.
    debounceCaption_ = new QLabel;
    QFont small = debounceCaption_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    debounceCaption_->setFont(small);
    debounceCaption_->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(masterText_, 0, 0, 2, 1);
    grid->addWidget(master_, 0, 1, 2, 1);
    // A wider gap after the large number, so that the small one's name reads with it alone.
    grid->setColumnMinimumWidth(2, kGroupSpacing);
    grid->addWidget(slaveText_, 1, 3);
    grid->addWidget(slave_, 1, 4);
    grid->addWidget(debounce_, 1, 5);
    grid->addWidget(debounceLevel_, 1, 6);
    grid->addWidget(debounceCaption_, 0, 3, 1, 4);
    grid->setColumnStretch(7, 1);
    for (TReadout* readout : {master_, slave_})
        connect(readout, &TReadout::DoubleClicked, this, &TWidebandDisplay::SwapRequested);
    for (QLabel* text : {masterText_, slaveText_})
        text->installEventFilter(this);
    connect(debounce_, &QScrollBar::valueChanged, this, &TWidebandDisplay::DebounceMoved);
}

bool TWidebandDisplay::eventFilter(QObject* watched, QEvent* event) {
    const bool isName = watched == slaveText_ || watched == masterText_;
    if (isName && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT SwapRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TWidebandDisplay::SetReadout(const TWidebandReadoutState& state) {
    master_->SetText(Q(state.Master));
    slave_->SetText(Q(state.Slave));
    SetText(slaveText_, Q(state.SlaveText));
    SetText(masterText_, Q(state.MasterText));
}

void TWidebandDisplay::SetDebounce(int position, const QString& level) {
    if (debounce_->value() != position) {
        const QSignalBlocker block(debounce_);
        debounce_->setValue(position);
    }
    SetText(debounceLevel_, level);
}

void TWidebandDisplay::SetDebounceTexts(const TDebounceTexts& texts) {
    debounce_->setToolTip(Q(texts.Hint));
    SetText(debounceCaption_, Q(texts.Caption));
    for (QLabel* level : {debounceLevel_, debounceCaption_})
        level->setToolTip(Q(texts.Tip));
}

}  // namespace zv::gui
