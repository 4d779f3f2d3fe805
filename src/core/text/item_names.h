#pragma once

#include "text/text_table.h"

namespace zv {

// The names the data sheet prints for the data set's items, so that every place that lists
// them (sheet, comparison) calls an item the same.

// Parameter n (0..43) in the parameter table's order.
const TextPair& ParameterName(int n);
// Linearisation row 0..6 in the order of Lin: the five curves as the sheet heads them, the two
// site rows as the site dialog's group boxes call them.
const TextPair& CurveName(int row);

}  // namespace zv
