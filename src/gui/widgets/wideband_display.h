#pragma once

#include <QWidget>

#include "editors/wideband_readout.h"

class QLabel;
class QScrollBar;

namespace zv::gui {

class TReadout;

// The wideband reading of the fuel map and wideband lambda pages: AFR or lambda large, the other
// small under its name, and the smoothing slider (shown inverted) with its level. A double click
// on either display or the small one's name asks to swap them.
class TWidebandDisplay : public QWidget {
    Q_OBJECT
  public:
    explicit TWidebandDisplay(QWidget* parent = nullptr);

    void SetReadout(const TWidebandReadoutState& state);
    void SetDebounce(int position, const QString& level);
    // The slider's hint, and the level's caption and hover text.
    void SetDebounceTexts(const TDebounceTexts& texts);
    TReadout& Master() { return *master_; }

  Q_SIGNALS:
    void SwapRequested();
    void DebounceMoved(int position);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* masterText_ = nullptr;  // names the large display
    TReadout* master_ = nullptr;    // WBOMasterLCD
    QLabel* slaveText_ = nullptr;  // SlaveTextPanel
    TReadout* slave_ = nullptr;    // WBOSlavePanel
    QScrollBar* debounce_ = nullptr;
    QLabel* debounceLevel_ = nullptr;
    QLabel* debounceCaption_ = nullptr;  // names the level, small, over it
};

}  // namespace zv::gui
