#pragma once

#include <cstddef>
#include <vector>

#include "data/zv_data_class.h"
#include "link/write_batch.h"

namespace zv {

// The working image's bytes (image offsets, lowest first) whose values the unit's data as last
// uploaded (ReceiveData) do not hold: only bytes that carry a value for the unit's firmware, the
// flags word's own bits, and AFR targets as the unit reads them.
std::vector<std::size_t> UnitDifferences(const TZVDataClass& data);
// The same between any image of the unit's and the working image.
std::vector<std::size_t> UnitDifferences(const ImageBytes& unit, const ImageBytes& work,
                                         int firmware);

// Those bytes as the link's writes, where the unit of that firmware keeps them.
TWriteBatch DifferencesBatch(const std::vector<std::size_t>& offsets, int firmware);

}  // namespace zv
