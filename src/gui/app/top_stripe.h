#pragma once

#include <QWidget>
#include <functional>

namespace zv::gui {

// The thin activity stripe along the top of the main window: a split point that the link's
// timer moves to and fro, with a gradient fill on each side of it.
class TTopStripe : public QWidget {
    Q_OBJECT
  public:
    explicit TTopStripe(QWidget* parent = nullptr);

    void SetSplit(int split);
    // Told the stripe's width whenever it changes (the split runs across it).
    std::function<void(int)> WidthChanged;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int split_ = 0;
};

}  // namespace zv::gui
