#pragma once

#include <QString>
#include <functional>

#include "seams/dialogs.h"
#include "text/text_table.h"

class QWidget;

namespace zv::gui {

// Message boxes and file dialogs on Qt's widgets, modal to the main window. Caption and text
// come from core; the icon follows the kind of box and the buttons speak the current language.
class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(std::function<Language()> language) : language_(std::move(language)) {}

    void SetParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                         MsgButtons buttons) override;
    MsgAnswer MessageBoxWithMore(MsgKind kind, const std::string& caption, const std::string& text,
                                 MsgButtons buttons, const std::string& moreButton,
                                 const std::function<void()>& more) override;
    MsgAnswer MessageBoxWithCheck(MsgKind kind, const std::string& caption, const std::string& text,
                                  MsgButtons buttons, const std::string& checkText,
                                  bool& checked) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    std::optional<std::size_t> ChooseFromList(const ListDialogRequest& request) override;
    void Wait(int milliseconds) override;

    // "Description|pattern|..." as Qt's "Description (pattern);;..." (a description that
    // already names its pattern in parentheses is kept as it is).
    static QString FileFilter(const std::string& filter);

  private:
    // One message box with what it may carry besides its buttons.
    struct TBox {
        MsgKind Kind;
        const std::string& Caption;
        const std::string& Text;
        MsgButtons Buttons;
        const std::string& MoreButton;
        const std::function<void()>& More;
        const std::string* CheckText;  // a box to tick under the text, when given
        bool* Checked;
    };
    MsgAnswer Ask(const TBox& request);

    std::function<Language()> language_;
    QWidget* parent_ = nullptr;
};

}  // namespace zv::gui
