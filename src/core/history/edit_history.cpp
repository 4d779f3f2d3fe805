#include "history/edit_history.h"

#include <utility>

#include "history/step_names.h"

namespace zv {

namespace {

std::string Entry(const char* word, const THistoryStep* step, Language lang) {
    return step ? std::string(word) + ": " + step->Name.Pick(lang) : std::string(word);
}

constexpr TextPair kUndo = {"Rückgängig", "Undo"};
constexpr TextPair kRedo = {"Wiederholen", "Redo"};

}  // namespace

void TEditHistory::Record(const TImageWrite& where, std::span<const std::uint8_t> oldBytes,
                          std::span<const std::uint8_t> newBytes, int firmware) {
    TRecordedWrite write{where,
                         {oldBytes.begin(), oldBytes.end()},
                         {newBytes.begin(), newBytes.end()},
                         static_cast<std::uint8_t>(firmware)};
    // The pause belongs to the operator's own step; taking it back must not hold the next one up.
    write.Where.Pause = false;
    if (openDepth_ > 0) {
        open_.Writes.push_back(std::move(write));
        return;
    }
    Push({NameStep(stepname::Unnamed), {std::move(write)}});
}

void TEditHistory::OpenStep(const TStepName& name) {
    if (openDepth_++ == 0)
        open_ = {name, {}};
}

void TEditHistory::CloseStep() {
    if (openDepth_ == 0 || --openDepth_ > 0)
        return;
    // An operation that changed nothing (a value already at its limit) leaves no step.
    if (!open_.Writes.empty())
        Push(std::move(open_));
    open_ = {};
}

void TEditHistory::Push(THistoryStep step) {
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    Tell(THistoryEvent::Done, &steps_.back());
}

const THistoryStep* TEditHistory::Tell(THistoryEvent event, const THistoryStep* step) const {
    if (step) {
        for (const auto& [handle, listener] : listeners_)
            listener(event, *step);
    }
    return step;
}

int TEditHistory::AddStepListener(TStepListener listener) {
    listeners_.emplace_back(++nextListener_, std::move(listener));
    return nextListener_;
}

void TEditHistory::RemoveStepListener(int handle) {
    std::erase_if(listeners_, [handle](const auto& entry) { return entry.first == handle; });
}

const THistoryStep* TEditHistory::TakeUndo() {
    return Tell(THistoryEvent::Undone, CanUndo() ? &steps_[--done_] : nullptr);
}

const THistoryStep* TEditHistory::TakeRedo() {
    return Tell(THistoryEvent::Redone, CanRedo() ? &steps_[done_++] : nullptr);
}

void TEditHistory::Clear() {
    steps_.clear();
    done_ = 0;
    open_ = {};
    openDepth_ = 0;
}

std::string TEditHistory::UndoCaption(Language lang) const {
    return Entry(kUndo.Pick(lang), CanUndo() ? &steps_[done_ - 1] : nullptr, lang);
}

std::string TEditHistory::RedoCaption(Language lang) const {
    return Entry(kRedo.Pick(lang), CanRedo() ? &steps_[done_] : nullptr, lang);
}

}  // namespace zv
