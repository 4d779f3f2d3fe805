#pragma once

#include <QWidget>
#include <string>

#include "logview/log_view_model.h"

namespace zv::gui {

// The hit counts over the fuel map's cells, oriented as the fuel map table: highest throttle
// site at the top, rpm rising to the right. Each cell shows its number and the colour of the
// chosen measure; a legend below gives the colours' ends.
class TLogHitGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TLogHitGrid(const TLogViewModel& model, QWidget* parent = nullptr);

    void SetMeasure(TLogHitMeasure measure);
    TLogHitMeasure Measure() const { return measure_; }
    void SetCorner(const std::string& corner);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct TScale {
        double Low = 0.0, High = 1.0;
    };
    TScale ScaleOf() const;
    QColor ColourOf(double value, const TScale& scale) const;
    QString CellText(const std::optional<double>& value) const;

    const TLogViewModel& model_;
    TLogHitMeasure measure_ = TLogHitMeasure::Count;
    QString corner_ = QStringLiteral("% \\ rpm");
};

}  // namespace zv::gui
