#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

class TPageHost;

// Ready-made AFR target maps the wideband page offers, so that nobody has to fill 256 cells
// to get started. Item 0 ("...") stands for no preset.
constexpr int kWBO2PresetCount = 6;
constexpr int kWBO2PresetAllOff = 5;

std::array<std::string, kWBO2PresetCount> WBO2PresetNames(Language lang);

// The edit-map byte of a target AFR: the low 8 bits of trunc((afr + 0.02) * 10) - 105. The
// 0.02 lands values with one decimal on their exact tenth despite binary fractions.
std::uint8_t AfrTargetByte(double afr);

// The edit map of a preset 1..5; false (grid untouched) for anything else.
bool WBO2PresetGrid(int preset, ByteGrid& grid);

// Loads a preset into the working data set: the link goes offline first (the map reaches the
// unit with a later transfer, never half-written), the edit map is replaced, and the file and
// working images are rebuilt from the edit fields. Preset 0 rebuilds without changing the map.
void LoadWBO2Preset(TPageHost& host, int preset);

}  // namespace zv
