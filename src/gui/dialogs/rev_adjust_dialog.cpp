#include "dialogs/rev_adjust_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/look.h"
#include "editors/rev_adjust_dlg.h"
#include "widgets/key_control_widget.h"

namespace zv::gui {

namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TRevAdjustDialog::TRevAdjustDialog(TRevAdjustDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(kGroupSpacing);
    auto* groups = new QHBoxLayout;
    groups->setSpacing(kGroupSpacing);
    throttleGroup_ = Group(0);
    rpmGroup_ = Group(2);
    groups->addWidget(throttleGroup_);
    groups->addWidget(rpmGroup_);
    outer->addLayout(groups);
    closeButton_ = new QPushButton;
    closeButton_->setFocusPolicy(Qt::NoFocus);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
    // The stored choice of whether moved sites take the map along; keys stay with the panels.
    siteMoveLabel_ = new QLabel;
    siteMoveChoice_ = new QComboBox;
    siteMoveChoice_->setFocusPolicy(Qt::NoFocus);
    siteMoveChoice_->addItems({QString(), QString(), QString()});
    connect(siteMoveChoice_, &QComboBox::activated, this, [this](int index) {
        model_.SiteMoveChoiceChanged(index);
        keySink_->setFocus();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(siteMoveLabel_);
    buttons->addWidget(siteMoveChoice_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    outer->addLayout(buttons);
    keySink_ = new KeyControlWidget(model_.KeyCtrl, this);
    model_.Close = [this] { accept(); };
    model_.Changed = [this] { Render(); };
    Render();
}

TRevAdjustDialog::~TRevAdjustDialog() {
    model_.Close = nullptr;
    model_.Changed = nullptr;
}

// Two columns of eight panels under their unit labels, row labels 1..16 beside them.
QGroupBox* TRevAdjustDialog::Group(int firstColumn) {
    auto* box = new QGroupBox;
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(kSpacing);
    grid->setVerticalSpacing(kSpacing / 2);
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("10000")) + 2 * kSpacing;
    for (int c = 0; c < 2; ++c) {
        const int column = firstColumn + c;
        auto* unit = new QLabel;
        unit->setAlignment(Qt::AlignCenter);
        unitLabels_[static_cast<std::size_t>(column)] = unit;
        grid->addWidget(unit, 0, 2 * c + 1);
        for (int row = 0; row < 8; ++row) {
            auto* number = new QLabel(QString::number(c * 8 + row + 1));
            number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            number->setForegroundRole(QPalette::PlaceholderText);
            grid->addWidget(number, row + 1, 2 * c);
            const int index = TRevAdjustDlg::PanelAt(column, row);
            auto* panel = new QLabel;
            panel->setFrameShape(QFrame::Panel);
            panel->setFrameShadow(QFrame::Sunken);
            panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            panel->setMinimumWidth(digits);
            panel->setAutoFillBackground(true);
            panel->setContentsMargins(kSpacing, 2, kSpacing, 2);
            panel->installEventFilter(this);
            panel->setProperty("panel", index);
            panels_[static_cast<std::size_t>(index)] = panel;
            grid->addWidget(panel, row + 1, 2 * c + 1);
        }
    }
    return box;
}

bool TRevAdjustDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched->property("panel").isValid()) {
        model_.SiteAdjustPanelClick(watched->property("panel").toInt());
        keySink_->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int TRevAdjustDialog::exec() {
    model_.Opened();
    Render();
    keySink_->setFocus();
    const int result = QDialog::exec();
    model_.Closed();
    return result;
}

void TRevAdjustDialog::Render() {
    const TRevAdjustDlg::TTexts& t = model_.Texts();
    setWindowTitle(Q(t.Caption));
    closeButton_->setText(Q(t.CloseButton));
    siteMoveLabel_->setText(Q(t.SiteMove.ChoiceLabel));
    for (int i = 0; i < siteMoveChoice_->count(); ++i)
        siteMoveChoice_->setItemText(i, Q(t.SiteMove.Choices[static_cast<std::size_t>(i)]));
    siteMoveChoice_->setCurrentIndex(static_cast<int>(model_.Fuel().Choice()));
    throttleGroup_->setTitle(Q(t.ThrottleGroup));
    rpmGroup_->setTitle(Q(t.RpmGroup));
    for (int column = 0; column < 4; ++column)
        unitLabels_[static_cast<std::size_t>(column)]->setText(
            Q(column < 2 ? t.ThrottleUnit : t.RpmUnit));
    for (int index = 0; index < TRevAdjustDlg::kPanelCount; ++index) {
        QLabel* panel = panels_[static_cast<std::size_t>(index)];
        panel->setText(Q(model_.PanelText(index)));
        panel->setToolTip(Q(index < TRevAdjustDlg::kFirstRpmPanel ? t.ThrottleTip : t.RpmTip));
        QPalette palette = panel->palette();
        const bool selected = index == model_.SelectedPanel();
        palette.setColor(QPalette::Window, selected ? QColor(0x00, 0xFF, 0xFF) : QColor(Qt::white));
        panel->setPalette(palette);
        QFont font = panel->font();
        font.setBold(selected);
        panel->setFont(font);
    }
}

}  // namespace zv::gui
