#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cells/block_operations.h"
#include "cells/cell_selection.h"
#include "text/text_table.h"

namespace zv {

class TPageHost;

// The two maps that take block edits. Both lie in the image throttle-major with both site
// indices reversed; the AFR target map keeps its cells in 0..63 (AFR 10.5 .. 16.8) or NC.
enum class TCellMapKind : std::uint8_t { Fuel, Afr };

// An AFR target cell as the keys step it: never below 0; a rise past 63 switches the cell off
// (NC, 128), a fall from NC lands on 63.
int AfrCellStepped(int old, int step);

// The small dialog that asks for a block operation's number.
struct TValuePrompt {
    std::string Caption, Label, OkButton, CancelButton;
    double Min = 0.0, Max = 0.0, Initial = 0.0;
    int Decimals = 0;
};

// One entry of the block menu: the operation, its text and the key that runs it.
struct TBlockMenuItem {
    TBlockOp Op = TBlockOp::Set;
    std::string Text;
    std::string Key;
};

// The block menu of both maps in the order shown, with a separator before each group start.
std::vector<TBlockMenuItem> BlockMenu(Language lang);
// The operation a key runs on a map's block, if any.
std::optional<TBlockOp> BlockOpOfKey(std::uint8_t key);
// Whether the entry starts a new group in the menu (after a separator).
bool BlockMenuGroupStart(TBlockOp op);

// The block of cells a map page edits at once: the selection, the step keys over every
// selected cell and the operations of the block menu. Each is one undo step and, online, one
// batch of writes in cell order (throttle site, then engine-speed site, lowest first), only of
// the cells that change, each clamped as a single cell is; on the AFR map NC cells stay NC and
// no cell becomes NC.
class TCellBlock {
  public:
    TCellBlock(TPageHost& host, TCellMapKind kind) : host_(host), kind_(kind) {}

    TCellSelection& Selection() { return selection_; }
    TCellRect Rect() const { return selection_.Rect(); }

    // The step keys on every selected cell: +1 / -1 or a Page step. False when nothing changed.
    bool StepCells(int step);
    // A menu entry or its key: asks for the number where the operation needs one (through
    // AskValue; nothing happens when there is none or the operator cancels).
    bool Command(TBlockOp op, const TAxisSites& throttle, const TAxisSites& rpm);

    // The window's small number dialog; nothing when the operator cancelled.
    std::function<std::optional<double>(const TValuePrompt&)> AskValue;

  private:
    TCellValues ReadCells() const;
    bool WriteCells(const TCellValues& before, const TCellValues& after,
                    const std::string& detailDe, const std::string& detailEn);
    TValuePrompt Prompt(TBlockOp op, int cursorValue) const;
    TBlockInput InputOf(TBlockOp op, double entered) const;
    int Clamped(int before, int value) const;
    std::string ValueText(TBlockOp op, const TBlockInput& input) const;

    TPageHost& host_;
    TCellMapKind kind_;
    TCellSelection selection_;
};

}  // namespace zv
