#pragma once

#include <iostream>
#include <string>

#include "seams/dialogs.h"

namespace zv::tool {

// Boxes go to stderr, one per line, as "<caption>: <text>" with line breaks written as "\n".
// Questions get the answer chosen on the command line; file and list dialogs are never needed
// here.
class ConsoleDialogs : public Dialogs {
  public:
    explicit ConsoleDialogs(bool answerYes = true) : answerYes_(answerYes) {}

    MsgAnswer MessageBox(MsgKind, const std::string& caption, const std::string& text,
                         MsgButtons buttons) override {
        std::cerr << caption << ": " << OneLine(text) << '\n';
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        return answerYes_ ? MsgAnswer::Yes : MsgAnswer::No;
    }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::size_t> ChooseFromList(const ListDialogRequest&) override {
        return std::nullopt;
    }
    // A command-line run has nobody to wait for.
    void Wait(int) override {}

    static std::string OneLine(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                out += "\\n";
                ++i;
            } else if (text[i] == '\n' || text[i] == '\r') {
                out += "\\n";
            } else {
                out += text[i];
            }
        }
        return out;
    }

  private:
    bool answerYes_;
};

}  // namespace zv::tool
