#pragma once

#include <optional>

#include "data/zv_data_class.h"
#include "history/edit_history.h"

namespace zv {

// Where the unit keeps the image's 16 bytes at offset (a multiple of 16): the device data, the
// fuel map (whose address moved with the firmware) and, on units that have one, the AFR map.
// Nothing for the bytes only the PC holds.
std::optional<TImageWrite> UnitPlaceOfBlock(std::size_t offset, int firmware);

// Records, as blocks of 16 bytes, what an operation that rebuilt the whole image (a preset map)
// changed, so that it is one undo step; the blocks the unit keeps reach it.
void RecordImageChanges(TEditHistory& history, const ImageBytes& before, const ImageBytes& after,
                        int firmware);

}  // namespace zv
