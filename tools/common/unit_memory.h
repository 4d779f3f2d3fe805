#pragma once

#include <optional>
#include <string>

#include "data/zv_data_class.h"
#include "text/text_table.h"
#include "unit/sim_unit.h"

namespace zv::tool {

// A data set's image as a unit of the firmware holds it (the timing word encoded for it): the
// data set of the file, or a new data set's defaults when no file is named. Nothing when the
// file cannot be read (the reason went to stderr).
std::optional<ImageBytes> ImageForUnit(const std::string& path, int firmware, Language lang);

// Saves the memory of a simulated unit as a data file of its firmware.
bool SaveUnitMemory(const sim::TSimUnit& unit, int firmware, const std::string& path,
                    Language lang);

// The unit's memory as raw image bytes, byte for byte (a data file keeps only what its
// parameters' ranges allow). Nothing when the file is missing or not an image.
std::optional<ImageBytes> ReadRawMemory(const std::string& path);
bool WriteRawMemory(const ImageBytes& image, const std::string& path);

}  // namespace zv::tool
