#pragma once

#include <optional>

#include "data/zv_data_class.h"
#include "history/edit_history.h"

namespace zv {

// Where the unit keeps the image's 16 bytes at offset (a multiple of 16): the device data, the
// fuel map (whose address moved with the firmware) and the AFR map. Nothing for the bytes only
// the PC holds.
std::optional<TImageWrite> UnitPlaceOfBlock(std::size_t offset, int firmware);

// Records, as blocks of 16 bytes, what an operation that rebuilt the whole image (a preset map)
// changed in the places the unit keeps, so that it is one undo step that reaches the unit.
void RecordImageChanges(TEditHistory& history, const ImageBytes& before, const ImageBytes& after,
                        int firmware);

}  // namespace zv
