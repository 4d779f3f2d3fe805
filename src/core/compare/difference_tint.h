#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "text/text_table.h"

namespace zv {

// How far a cell moved, in classes a tuner reads at a glance: 0 unchanged; 1, 2, 3 for a small
// (1..3), a clear (4..15) and a large (16 and more) rise; -1, -2, -3 for the same falls.
int DifferenceClass(int difference);

constexpr int kDifferenceClasses = 3;  // on each side of 0

struct TRgb {
    std::uint8_t R = 0, G = 0, B = 0;
    bool operator==(const TRgb&) const = default;
};

// The tint of a class: warm for a rise, cool for a fall, deeper the further it moved. Light
// enough for black digits. Class 0 has no tint (the view keeps its own background).
TRgb DifferenceTint(int differenceClass);

struct TLegendEntry {
    int Class = 0;
    std::string Text;
};

// The legend, largest rise first, largest fall last.
std::array<TLegendEntry, 2 * kDifferenceClasses> DifferenceLegend(Language lang);

}  // namespace zv
