#include "widgets/wideband_display.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>

#include "app/look.h"
#include "pages/view_text.h"
#include "widgets/readout.h"

namespace zv::gui {

TWidebandDisplay::TWidebandDisplay(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kGroupSpacing);
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
    row->addWidget(masterText_);
    row->addWidget(master_);
    // A wider gap after the large number, so that the small one's name reads with it alone.
    row->addSpacing(2 * kGroupSpacing);
    row->addWidget(slaveText_);
    row->addWidget(slave_);
    row->addWidget(debounce_);
    row->addWidget(debounceLevel_);
    row->addStretch(1);
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

void TWidebandDisplay::SetDebounceHint(const QString& hint) {
    debounce_->setToolTip(hint);
    debounceLevel_->setToolTip(hint);
}

}  // namespace zv::gui
