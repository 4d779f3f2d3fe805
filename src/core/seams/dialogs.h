#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zv {

// Icon and caption family of a message box.
enum class MsgKind { Error, Warning, Confirmation, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

struct FileDialogRequest {
    std::string Title;
    std::string Filter;            // "Description|pattern|Description|pattern"
    std::string InitialDirectory;
    std::string ProposedName;      // save dialog only
};

struct ListDialogRequest {
    std::string Title;
    std::string Label;               // above the list
    std::vector<std::string> Items;  // in the order shown
};

// Everything that asks the operator or makes them wait. Answers come back synchronously,
// as modal boxes do; tests script them.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MsgAnswer MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                                 MsgButtons buttons) = 0;
    // The same box with one more button (moreButton) that runs more and leaves the question
    // up, so the operator can look before answering. Boxes that have no room for it ask plainly.
    virtual MsgAnswer MessageBoxWithMore(MsgKind kind, const std::string& caption, const std::string& text,
                                         MsgButtons buttons, const std::string& moreButton,
                                         const std::function<void()>& more) {
        (void)moreButton;
        (void)more;
        return MessageBox(kind, caption, text, buttons);
    }
    // A question with a box to tick under it ("always do this"); checked tells whether the
    // operator ticked it. Boxes that have no room for it ask plainly.
    virtual MsgAnswer MessageBoxWithCheck(MsgKind kind, const std::string& caption,
                                          const std::string& text, MsgButtons buttons,
                                          const std::string& checkText, bool& checked) {
        (void)checkText;
        checked = false;
        return MessageBox(kind, caption, text, buttons);
    }
    // The chosen path, or nothing when the operator cancelled.
    virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
    // The index of the chosen item, or nothing when the operator cancelled.
    virtual std::optional<std::size_t> ChooseFromList(const ListDialogRequest& request) = 0;
    // A pause that keeps the program responsive (the event loop runs meanwhile).
    virtual void Wait(int milliseconds) = 0;
};

}  // namespace zv
