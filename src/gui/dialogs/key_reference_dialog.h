#pragma once

#include <QDialog>

#include "help/key_reference.h"

class QPushButton;
class QTableWidget;

namespace zv::gui {

// The keys of the page on view, as core lists them; F1 and the Help menu open it.
class TKeyReferenceDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TKeyReferenceDialog(QWidget* parent = nullptr);

    void SetReference(const TKeyReference& reference);
    QTableWidget& Table() { return *table_; }

  private:
    QTableWidget* table_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace zv::gui
