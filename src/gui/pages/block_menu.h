#pragma once

#include <QMenu>
#include <functional>
#include <vector>

#include "cells/cell_block.h"

namespace zv::gui {

// The context menu of a map's block of cells, with each entry's key beside it. Choosing an
// entry runs it on the page's model.
class TBlockMenu : public QMenu {
    Q_OBJECT
  public:
    TBlockMenu(std::function<void(TBlockOp)> run, QWidget* parent = nullptr);

    void SetItems(const std::vector<TBlockMenuItem>& items);
    // Opens on a widget's context-menu request.
    void AttachTo(QWidget* widget);

  protected:
    // The keys beside the entries work while the menu is open, as they do on the table.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::function<void(TBlockOp)> run_;
    std::vector<TBlockMenuItem> items_;
};

// The small number dialog of the block menu's set, add and multiply.
std::optional<double> AskBlockValue(QWidget* parent, const TValuePrompt& prompt);

}  // namespace zv::gui
