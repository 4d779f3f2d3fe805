#pragma once

#include <vector>

#include "data/zv_data_class.h"
#include "history/edit_history.h"

namespace zv {

// What taking a recorded write back (Undone) or making it again (Redone) writes into the working
// image as it is now, and where the unit keeps those bytes.
struct TRestoredWrite {
    TImageWrite Where;
    std::vector<std::uint8_t> Bytes;
};

// Only what the step changed comes back, as the value the operator saw: each byte it changed,
// each bit it switched in the flags word (the bits it left, reserved ones among them, stay as the
// image holds them), and the Pulse word as its value in the encoding of the image's firmware now.
// The unit place follows that firmware too (the fuel map moved with it).
TRestoredWrite RestoredWrite(const TRecordedWrite& write, THistoryEvent event,
                             const TZVDataSet& set);

}  // namespace zv
