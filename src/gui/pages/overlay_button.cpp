#include "pages/overlay_button.h"

#include <QMenu>

#include "app/main_model.h"
#include "pages/view_text.h"

namespace zv::gui {

TOverlayButton::TOverlayButton(QWidget* parent) : QToolButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setPopupMode(QToolButton::MenuButtonPopup);
    setMenu(new QMenu(this));
    lastSaved_ = menu()->addAction(QString());
    latestBackup_ = menu()->addAction(QString());
    otherFile_ = menu()->addAction(QString());
    unitNow_ = menu()->addAction(QString());
    for (QAction* a : {lastSaved_, latestBackup_, otherFile_, unitNow_})
        a->setCheckable(true);
    hide();
}

void TOverlayButton::Attach(TMainModel& main) {
    host_ = &main;
    show();
    connect(this, &QToolButton::clicked, this, [this](bool on) { host_->SetOverlayShown(on); });
    // Rendered after each choice: a choice that failed must not stay ticked.
    connect(lastSaved_, &QAction::triggered, this, [this] {
        host_->OverlayFromLastSaved();
        Render();
    });
    connect(latestBackup_, &QAction::triggered, this, [this] {
        host_->OverlayFromLatestBackup();
        Render();
    });
    connect(otherFile_, &QAction::triggered, this, [this] {
        host_->OverlayFromFile();
        Render();
    });
    connect(unitNow_, &QAction::triggered, this, [this] {
        host_->OverlayFromUnit();
        Render();
    });
    Render();
}

void TOverlayButton::Render() {
    if (host_ == nullptr)
        return;
    const TDifferenceOverlay& overlay = host_->Overlay();
    setChecked(overlay.Shown());
    lastSaved_->setEnabled(host_->CanOverlayLastSaved());
    const TOverlayTexts texts = OverlayTexts(overlay, host_->CurrentLanguage());
    SetText(this, Q(texts.Button));
    setToolTip(Q(texts.Hint));
    lastSaved_->setText(Q(texts.LastSaved));
    latestBackup_->setText(Q(texts.LatestBackup));
    otherFile_->setText(Q(texts.OtherFile));
    unitNow_->setText(Q(texts.UnitNow));
    unitNow_->setEnabled(host_->CanCompareWithUnit());
    // The reference in use is ticked; choosing it again reads it afresh.
    const TOverlaySource source = host_->OverlaySource();
    lastSaved_->setChecked(source == TOverlaySource::LastSaved);
    latestBackup_->setChecked(source == TOverlaySource::LatestBackup);
    otherFile_->setChecked(source == TOverlaySource::OtherFile);
    unitNow_->setChecked(source == TOverlaySource::UnitNow);
}

}  // namespace zv::gui
