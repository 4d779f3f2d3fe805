#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "seams/dialogs.h"

namespace zv::test {

// Dialogs whose answers a test scripts in advance; every box shown is recorded.
class ScriptedDialogs : public Dialogs {
public:
    struct Box {
        MsgKind Kind;
        std::string Caption;
        std::string Text;
        MsgButtons Buttons;
    };

    std::vector<Box> Boxes;
    std::deque<MsgAnswer> Answers;               // for boxes that ask; Yes when empty
    std::deque<std::optional<std::string>> OpenChoices;
    std::deque<std::optional<std::string>> SaveChoices;
    std::vector<FileDialogRequest> OpenRequests;
    std::vector<FileDialogRequest> SaveRequests;
    std::deque<std::optional<std::size_t>> ListChoices;  // nothing chosen when empty
    std::vector<ListDialogRequest> ListRequests;
    int WaitedMs = 0;

    MsgAnswer MessageBox(MsgKind kind, const std::string& caption, const std::string& text,
                         MsgButtons buttons) override {
        Boxes.push_back({kind, caption, text, buttons});
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (Answers.empty()) return MsgAnswer::Yes;
        const MsgAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    // A box that offers more records the offer and, when the test says so, takes it once
    // before answering.
    std::vector<std::string> MoreButtons;
    bool PressMore = false;
    MsgAnswer MessageBoxWithMore(MsgKind kind, const std::string& caption, const std::string& text,
                                 MsgButtons buttons, const std::string& moreButton,
                                 const std::function<void()>& more) override {
        MoreButtons.push_back(moreButton);
        if (PressMore) more();
        return MessageBox(kind, caption, text, buttons);
    }
    // A box with a tick box records its text and ticks it when the test says so.
    std::vector<std::string> CheckTexts;
    std::deque<bool> Ticks;  // not ticked when empty
    MsgAnswer MessageBoxWithCheck(MsgKind kind, const std::string& caption, const std::string& text,
                                  MsgButtons buttons, const std::string& checkText,
                                  bool& checked) override {
        CheckTexts.push_back(checkText);
        checked = !Ticks.empty() && Ticks.front();
        if (!Ticks.empty()) Ticks.pop_front();
        return MessageBox(kind, caption, text, buttons);
    }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override {
        OpenRequests.push_back(request);
        return Take(OpenChoices);
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override {
        SaveRequests.push_back(request);
        return Take(SaveChoices);
    }
    std::optional<std::size_t> ChooseFromList(const ListDialogRequest& request) override {
        ListRequests.push_back(request);
        if (ListChoices.empty()) return std::nullopt;
        const auto choice = ListChoices.front();
        ListChoices.pop_front();
        return choice;
    }
    void Wait(int milliseconds) override { WaitedMs += milliseconds; }

    // Texts of all boxes shown so far, for compact assertions.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : Boxes) texts.push_back(box.Text);
        return texts;
    }

private:
    static std::optional<std::string> Take(std::deque<std::optional<std::string>>& choices) {
        if (choices.empty()) return std::nullopt;
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

}  // namespace zv::test
