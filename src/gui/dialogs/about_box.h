#pragma once

#include <QDialog>

#include "text/text_table.h"

namespace zv::gui {

// The About window: the program's name, version line and maker's texts beside a picture that
// ships with the program. Without a readable picture the texts stand alone.
class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(Language lang, const QString& picturePath = DefaultPicturePath(),
                      QWidget* parent = nullptr);

    // share/zvcontrol/about.jpg beside the program's bin folder, where the build puts it.
    static QString DefaultPicturePath();
    bool HasPicture() const { return hasPicture_; }

  private:
    bool hasPicture_ = false;
};

}  // namespace zv::gui
