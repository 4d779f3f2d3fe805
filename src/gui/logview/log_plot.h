#pragma once

#include <QPoint>
#include <QWidget>
#include <string>
#include <vector>

#include "logview/log_clock.h"
#include "logview/log_view_model.h"
#include "logview/note_label_layout.h"

namespace zv::gui {

// The log's channels as strips stacked over one time axis, with the cursor and the notes. The
// wheel zooms about the pointer, a drag pans, a click puts the cursor on the line there.
class TLogPlot : public QWidget {
    Q_OBJECT
  public:
    explicit TLogPlot(TLogViewModel& model, QWidget* parent = nullptr);

    // The name the AFR target channel goes by in the current language.
    void SetTargetName(const std::string& name);
    // Seconds at an x position and back.
    double TimeAt(double x) const;
    double XOf(double time) const;
    QRectF PlotArea() const;

    QSize minimumSizeHint() const override;

  Q_SIGNALS:
    // The span or the cursor moved.
    void Changed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    struct TStrip {
        std::size_t Channel;
        QRectF Area;
    };
    std::vector<TStrip> Strips() const;
    void PaintStrip(QPainter& p, const TStrip& strip) const;
    void PaintTrace(QPainter& p, std::size_t channel, const QRectF& area, const QColor& colour,
                    Qt::PenStyle style) const;
    void PaintTimeAxis(QPainter& p) const;
    // The notes in view with their labels' texts, rows and widths.
    struct TLaidNotes {
        std::vector<const TLogNote*> Notes;
        std::vector<QString> Texts;
        std::vector<TNoteLabel> Labels;
        std::vector<TNoteLabelPlace> Places;
    };
    TLaidNotes LayOutNotes() const;
    QRectF LabelRect(const TLaidNotes& laid, std::size_t i) const;
    void PaintNotes(QPainter& p) const;
    std::string NameOf(std::size_t channel) const;
    // The note whose marker or label lies under the pointer.
    const TLogNote* NoteNear(QPointF at) const;

    TLogViewModel& model_;
    std::string targetName_ = "AFR target";
    QPoint pressAt_;
    double pressViewStart_ = 0.0;
    bool dragging_ = false;
    bool pressed_ = false;
};

// A time of a log on its axis, in the form the whole log is written in.
QString LogClock(double seconds, TLogClockForm form);

}  // namespace zv::gui
