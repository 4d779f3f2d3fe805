#pragma once

#include <QDialog>

class QProgressBar;

namespace zv::gui {

// The small "Printout" window over the main window while the data sheet is printed.
class PrintoutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit PrintoutWindow(QWidget* parent);
    // Shows the progress (0..100) at once, while the printout keeps the event loop waiting.
    void SetProgress(int percent);
    int Progress() const;

  private:
    QProgressBar* bar_;
};

}  // namespace zv::gui
