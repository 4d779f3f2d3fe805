#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "config/page_list_place.h"

class QGridLayout;
class QToolButton;

namespace zv {
class TPageSelect;
}

namespace zv::gui {

class ColourPanel;
class KeyControlWidget;

// The small list of available pages that stays at hand over the main window. It paints the
// core page selection and passes clicks and keys to it; the model decides when it shows. It lies
// inside the main window, above the page, so that it never takes the keyboard away from it (a
// window of its own would have to be activated, and then the main window again), and it is laid
// out in as many columns as the free room beside the page asks for.
class PageSelectWindow : public QWidget {
    Q_OBJECT
  public:
    PageSelectWindow(TPageSelect& model, QWidget* mainWindow);
    ~PageSelectWindow() override;

    // Moves the list to the free place of the area (screen coordinates) that covers none of the
    // occupied rectangles, choosing its number of columns to fit.
    void PlaceIn(const QRect& area, const std::vector<QRect>& occupied);
    int Columns() const { return columns_; }
    // The room a band needs to hold the list in two rows, with its gaps above and below.
    int TwoRowsHeight() const;
    ColourPanel* Panel(int page) const { return panels_.at(static_cast<std::size_t>(page)); }
    QToolButton* CloseButton() const { return closeButton_; }
    // While the list is shown its keys are the operator's: arrows, Enter and Esc choose a page.
    void TakeKeys();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Refresh();
    void ApplyVisibility(bool visible);
    void Arrange(int columns);
    std::vector<TPageListShape> Shapes();
    std::vector<ColourPanel*> ShownPanels() const;

    TPageSelect& model_;
    QGridLayout* grid_ = nullptr;
    QToolButton* closeButton_ = nullptr;
    KeyControlWidget* keySink_ = nullptr;
    std::array<ColourPanel*, 12> panels_{};
    int columns_ = 1;
};

}  // namespace zv::gui
