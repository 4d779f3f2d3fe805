#pragma once

#include <QWidget>

namespace zv::gui {

// A live value in large digits, right-aligned in a width reserved for its widest text, so that
// changing values neither jitter nor move the layout.
class TReadout : public QWidget {
    Q_OBJECT
  public:
    // widestText: the longest text the readout will show ("10000"); scale: font size against
    // the window font.
    explicit TReadout(const QString& widestText, double scale = 2.0, QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  Q_SIGNALS:
    void DoubleClicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateFont();

    QString widest_;
    QString text_;
    double scale_;
};

}  // namespace zv::gui
