#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "text/owned_text.h"

namespace zv {

// Where an edit lands: bytes of the working image and the place the unit keeps them.
struct TImageWrite {
    std::size_t Offset = 0;     // first byte in DeviceData.Image
    std::uint8_t Area = 2;      // unit memory area: 2 main area, 1 AFR area
    std::uint16_t Address = 0;  // unit address of the first byte
    bool RefreshFields = true;  // rebuild the edit fields from the image (ImageToFields)
    bool Pause = false;         // a single-value write: PauseTimer runs after it is queued
    bool ToUnit = true;         // false for bytes only the PC keeps: stored, never queued
};

// Bytes of the main area, whose offsets are also the unit's addresses.
inline TImageWrite MainAreaWrite(std::size_t offset) {
    TImageWrite write;
    write.Offset = offset;
    write.Address = static_cast<std::uint16_t>(offset);
    return write;
}

// The edit step an operation that changes many bytes goes through: the page host's or the main
// model's (the command-line tool has no pages).
using TImageWriter = std::function<bool(const TImageWrite&, std::span<const std::uint8_t>)>;

// A 16-bit word of the image as it lies there, low byte first.
inline std::array<std::uint8_t, 2> WordBytes(std::uint16_t word) {
    return {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)};
}

// What the operator did, in both languages, as the Edit menu names it: "fuel map cell 5/7 +1".
using TStepName = TOwnedText;

// One write of the edit step with the bytes it replaced, so that it can be taken back. The bytes
// are in the encoding of the firmware the image had then: what the operator saw is their value
// in it, and that value is what an undo or redo restores (see RestoredWrite).
struct TRecordedWrite {
    TImageWrite Where;
    std::vector<std::uint8_t> Old;
    std::vector<std::uint8_t> New;
    std::uint8_t Firmware = 40;
};

// What one undo takes back: every write the operation made, in the order it made them.
struct THistoryStep {
    TStepName Name;
    std::vector<TRecordedWrite> Writes;
};

// What became of a step: made, taken back, made again.
enum class THistoryEvent : std::uint8_t { Done, Undone, Redone };

// The one edit history of the working data set. Writes join the step that is open (see
// TEditStep); a write outside any step is a step of its own. A new step drops what was undone.
class TEditHistory {
  public:
    void Record(const TImageWrite& where, std::span<const std::uint8_t> oldBytes,
                std::span<const std::uint8_t> newBytes, int firmware);

    // Steps may nest (an operation calling another): the outermost one names the step.
    void OpenStep(const TStepName& name);
    void CloseStep();
    // An operation's step is open: its writes are still coming.
    bool StepOpen() const { return openDepth_ > 0; }

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The step to take back (restore its old values, last write first) or to make again; the
    // history moves past it. Null when there is none.
    const THistoryStep* TakeUndo();
    const THistoryStep* TakeRedo();

    // A data set opened, created or read from the unit starts a new history.
    void Clear();

    // The Edit menu's entries: "Undo: fuel map cell 5/7 +1", or the bare word with no step.
    std::string UndoCaption(Language lang) const;
    std::string RedoCaption(Language lang) const;

    // Listeners told of every step made, taken back or made again: a running log notes it,
    // a live autotune run holds back the readings that follow it. The handle removes one.
    using TStepListener = std::function<void(THistoryEvent, const THistoryStep&)>;
    int AddStepListener(TStepListener listener);
    void RemoveStepListener(int handle);

  private:
    void Push(THistoryStep step);
    const THistoryStep* Tell(THistoryEvent event, const THistoryStep* step) const;

    std::vector<std::pair<int, TStepListener>> listeners_;
    int nextListener_ = 0;
    std::vector<THistoryStep> steps_;
    std::size_t done_ = 0;  // steps_[0..done_) are in the data set, the rest can be redone
    int openDepth_ = 0;
    THistoryStep open_;
};

// Makes every write between its making and its end one undo step with this name.
class TEditStep {
  public:
    TEditStep(TEditHistory& history, const TStepName& name) : history_(history) {
        history_.OpenStep(name);
    }
    ~TEditStep() { history_.CloseStep(); }
    TEditStep(const TEditStep&) = delete;
    TEditStep& operator=(const TEditStep&) = delete;

  private:
    TEditHistory& history_;
};

}  // namespace zv
