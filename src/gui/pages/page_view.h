#pragma once

#include <QWidget>

namespace zv::gui {

// The view of one notebook page: it paints its core page's state struct and turns input into
// calls of that page. The main window calls Render while the page is on view (after every live
// record and on its own render timer); a view updates only what changed, so that rendering an
// unchanged page costs next to nothing.
class TPageView : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    virtual void Render() = 0;
};

}  // namespace zv::gui
