#pragma once

#include <QLabel>

namespace zv::gui {

// A word-wrapped label that keeps the height of all its lines. A plain one reports the height
// of its preferred width as its least, so a layout short of room squeezes it to fewer lines
// than its real width wraps it into, and the last line is cut. This one asks for the height
// its present width needs; a page that cannot give it scrolls instead.
class TWrapLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TWrapLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace zv::gui
