#pragma once

#include <optional>
#include <string>
#include <vector>

#include "autotune/autotune.h"
#include "cells/cell_selection.h"
#include "data/zv_data_class.h"
#include "history/edit_history.h"

namespace zv {

// A fuel map cell autotune changes, by site indices (0 = lowest site).
struct TTuneChange {
    int T = 0;
    int R = 0;
    int Old = 0;
    int New = 0;
};

// The changed cells of a result, in the block of cells when one is given, else all of them;
// throttle site first, lowest first.
std::vector<TTuneChange> AutotuneChanges(const TTuneResult& result,
                                         const std::optional<TCellRect>& block = std::nullopt);

// "Autotune 14 cells" / "Autotune 14 Zellen".
TStepName AutotuneStepName(int cells);

// Writes the changes into the fuel map as one undo step, through the same edit step as any
// other edit. A cell that no longer holds the value the run started from was edited since and
// keeps what the operator gave it. Gives the number of cells changed.
int ApplyAutotune(TEditHistory& history, const TImageWriter& write, const TZVDataSet& set,
                  const std::vector<TTuneChange>& changes);

// What the tool prints: one line per changed cell (its sites, old -> new, percent, samples),
// then a summary of the samples used and rejected by each filter and of the cells.
std::vector<std::string> AutotuneReport(const TTuneResult& result, const TZVDataSet& set,
                                        Language lang);

}  // namespace zv
