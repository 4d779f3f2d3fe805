#pragma once

#include <QImage>
#include <QWidget>

#include "editors/lambda_trace.h"

namespace zv::gui {

// A scrolling trace display: core says which short lines each tick adds and where the two
// marker shapes stand; the widget keeps what was drawn since the last clear.
class TLambdaScope : public QWidget {
    Q_OBJECT
  public:
    explicit TLambdaScope(QWidget* parent = nullptr);

    void Apply(const TTraceDraw& draw);
    void SetShapes(const TTraceShape& controller, const TTraceShape& wideband);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Clear();

    QImage image_;
    TTraceShape controller_, wideband_;
};

}  // namespace zv::gui
