#pragma once

#include <QDialog>
#include <optional>

#include "seams/dialogs.h"
#include "text/text_table.h"

class QListWidget;

namespace zv::gui {

// A modal list to pick one item from, the first one selected; a double click chooses.
class TListChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    TListChoiceDialog(const ListDialogRequest& request, Language lang, QWidget* parent = nullptr);

    QListWidget& List() { return *list_; }
    std::optional<std::size_t> Chosen() const;

  private:
    QListWidget* list_ = nullptr;
};

}  // namespace zv::gui
