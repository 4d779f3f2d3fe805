#pragma once

#include <QWidget>
#include <array>

namespace zv {
class TPageSelect;
}

namespace zv::gui {

class ColourPanel;
class KeyControlWidget;

// The small list of available pages that stays at hand beside the main window. It paints the
// core page selection and passes clicks and keys to it; the model decides when it shows.
class PageSelectWindow : public QWidget {
    Q_OBJECT
  public:
    PageSelectWindow(TPageSelect& model, QWidget* mainWindow);
    ~PageSelectWindow() override;

    // Where the list first appears: in the upper right corner of an area of the screen.
    void PlaceInCorner(const QRect& area);
    ColourPanel* Panel(int page) const { return panels_.at(static_cast<std::size_t>(page)); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Refresh();
    void ApplyVisibility(bool visible);

    TPageSelect& model_;
    KeyControlWidget* keySink_ = nullptr;
    std::array<ColourPanel*, 12> panels_{};
};

}  // namespace zv::gui
