#pragma once

#include <QWidget>

#include "text/text_table.h"

class QLabel;

namespace zv::gui {

// Page 0 of the notebook: what the program does, how to connect and which keys do what.
class TIntroPage : public QWidget {
    Q_OBJECT
  public:
    explicit TIntroPage(QWidget* parent = nullptr);
    void SetLanguage(Language lang);

  private:
    QLabel* text_;
};

}  // namespace zv::gui
