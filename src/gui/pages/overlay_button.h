#pragma once

#include <QToolButton>

namespace zv {
class TMainModel;
class TDifferenceOverlay;
}  // namespace zv

namespace zv::gui {

// The map pages' switch of the tint by how far cells moved: a click switches it, the arrow's
// menu picks the reference (the saved file, the unit's latest backup, or another). Hidden until a
// main model holds the reference for it.
class TOverlayButton : public QToolButton {
    Q_OBJECT
  public:
    explicit TOverlayButton(QWidget* parent = nullptr);

    void Attach(TMainModel& main);
    // The overlay to paint, or nothing before Attach.
    TMainModel* Host() const { return host_; }
    void Render();

  private:
    TMainModel* host_ = nullptr;
    QAction* lastSaved_ = nullptr;
    QAction* latestBackup_ = nullptr;
    QAction* otherFile_ = nullptr;
    QAction* unitNow_ = nullptr;
};

}  // namespace zv::gui
