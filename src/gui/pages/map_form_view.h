#pragma once

#include <QTimer>

#include "pages/page_view.h"

class QLabel;
class QMenu;
class QToolButton;
class QWidget;

namespace zv {
class TMapForm;
}

namespace zv::gui {

class TBarGauge;
class TBlockMenu;
class TLambdaScope;
class TM3DChart1;
class TMapTable;
class TOverlayButton;
class TReadout;
class TRevAdjustDialog;
class TWidebandDisplay;

// Page 1, the fuel map: the 3-D chart (and the value table beside it), the value panels and
// buttons on the right, the wideband readout over the chart and the lambda trace under it.
class TMapFormView : public TPageView {
    Q_OBJECT
  public:
    explicit TMapFormView(TMapForm& model, QWidget* parent = nullptr);
    ~TMapFormView() override;

    void Render() override;
    TMapForm& Model() { return model_; }
    TM3DChart1& Chart() { return *chart_; }
    TMapTable& Table() { return *table_; }
    TRevAdjustDialog& SiteDialog() { return *siteDialog_; }
    // The tint of the table's cells by how far they moved from a reference.
    TOverlayButton& OverlayButton() { return *overlayButton_; }
    TBlockMenu& BlockMenu() { return *blockMenu_; }

  private:
    QWidget* BuildAfrBar();
    QWidget* BuildValuePanel();
    void BuildMenu();
    void RenderTexts();
    void RenderReadout();
    void ChooseColour(int which);
    void Timer1Timer();
    void OpenSiteDialog();
    void RenderOverlay();

    TMapForm& model_;
    TM3DChart1* chart_ = nullptr;
    TMapTable* table_ = nullptr;
    TLambdaScope* scope_ = nullptr;
    TWidebandDisplay* readout_ = nullptr;  // xTravelSpeedBoundPanel
    QWidget* afrBar_ = nullptr;            // WBOBarPanel
    TBarGauge* afrGauge_ = nullptr;
    QLabel* manLabel_ = nullptr;
    TReadout* manValue_ = nullptr;
    QLabel* autoLabel_ = nullptr;
    TReadout* autoValue_ = nullptr;
    QToolButton* viewButton_ = nullptr;
    QToolButton* tableButton_ = nullptr;
    QToolButton* sitesButton_ = nullptr;
    QToolButton* mapDownloadButton_ = nullptr;
    TOverlayButton* overlayButton_ = nullptr;
    QMenu* fieldPopupMenu_ = nullptr;
    QAction* menuMapLines_ = nullptr;
    QAction* menuBackground_ = nullptr;
    QAction* menuFrame_ = nullptr;
    TBlockMenu* blockMenu_ = nullptr;  // the table's context menu
    TRevAdjustDialog* siteDialog_ = nullptr;
    QTimer timer1_;
};

}  // namespace zv::gui
