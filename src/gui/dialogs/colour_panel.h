#pragma once

#include <QLabel>
#include <cstdint>

namespace zv::gui {

// A flat text panel in colours that core decides (RGB values), answering clicks and double
// clicks. The key configuration and the page selection show their rows with it.
class ColourPanel : public QLabel {
    Q_OBJECT
  public:
    explicit ColourPanel(QWidget* parent = nullptr);

    void SetColours(std::uint32_t background, std::uint32_t text);
    // A lowered single border marks the chosen one.
    void SetLowered(bool lowered);

  signals:
    void Clicked();
    void DoubleClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

QColor ColourOfRgb(std::uint32_t rgb);

}  // namespace zv::gui
