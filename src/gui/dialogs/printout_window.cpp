#include "dialogs/printout_window.h"

#include <QApplication>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/look.h"

namespace zv::gui {

PrintoutWindow::PrintoutWindow(QWidget* parent) : QDialog(parent), bar_(new QProgressBar) {
    setWindowTitle(QStringLiteral("Printout"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setMinimumWidth(kGroupSpacing * 25);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kGroupSpacing, kGroupSpacing, kGroupSpacing, kGroupSpacing);
    layout->addWidget(bar_);
}

void PrintoutWindow::SetProgress(int percent) {
    bar_->setValue(percent);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int PrintoutWindow::Progress() const {
    return bar_->value();
}

}  // namespace zv::gui
