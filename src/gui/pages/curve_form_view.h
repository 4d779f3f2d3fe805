#pragma once

#include "pages/page_view.h"

class QLabel;
class QToolButton;

namespace zv {
class TCurveForm;
}

namespace zv::gui {

class TM2DsChart;
class TReadout;

// Pages 2, 3, 7 and 8, the correction curves: the chart, and on the right the value at the
// cursor, the unit's output, the mode button and the curve's download button.
class TCurveFormView : public TPageView {
    Q_OBJECT
  public:
    explicit TCurveFormView(TCurveForm& model, QWidget* parent = nullptr);
    ~TCurveFormView() override;

    void Render() override;
    TM2DsChart& Chart() { return *chart_; }
    QToolButton& MultAddButton() { return *multAddButton_; }
    QToolButton& DownloadButton() { return *downloadButton_; }

  private:
    TCurveForm& model_;
    TM2DsChart* chart_ = nullptr;
    QWidget* valuePanel_ = nullptr;
    QLabel* manLabel_ = nullptr;
    TReadout* manValue_ = nullptr;
    QLabel* autoLabel_ = nullptr;
    TReadout* autoValue_ = nullptr;
    QToolButton* multAddButton_ = nullptr;
    QToolButton* downloadButton_ = nullptr;
};

}  // namespace zv::gui
