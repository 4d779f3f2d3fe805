#pragma once

#include <array>
#include <string>
#include <vector>

#include "compare/data_set_comparison.h"
#include "compare/difference_tint.h"

namespace zv {

// What the comparison window shows of two data sets: both maps as grids whose differing cells
// carry both values and the tint of their difference, and the other items as lists.

struct TCompareCell {
    std::string Text;  // the value; where the two differ, this value over that one
    int Class = 0;     // DifferenceClass of that minus this
};

using TCompareGrid = std::array<std::array<TCompareCell, 16>, 16>;  // [t][r], 0 = lowest site

struct TCompareRow {
    std::string Name, This, That;
};

struct TCompareList {
    std::string Title;
    std::vector<TCompareRow> Rows;
};

struct TComparisonView {
    std::string Caption;
    std::string Summary;  // what differs, counted, or that nothing does
    std::string NameHead, ThisHead, ThatHead;
    std::string MapTitle, AfrTitle;
    std::array<int, 16> ThrottleLabels{};  // this data set's sites as the map page shows them
    std::array<int, 16> RpmLabels{};
    TCompareGrid Map, AfrMap;
    std::vector<TCompareList> Lists;  // only the kinds of item that differ
    std::array<TLegendEntry, 2 * kDifferenceClasses> Legend;
    std::string CellOrder;  // which value stands above which in a differing cell
    std::string CloseButton;
};

// thisName and thatName head the value columns (the working data, a file's name, the unit).
TComparisonView BuildComparisonView(const TZVDataClass& thisSet, const TZVDataClass& thatSet,
                                    const std::string& thisName, const std::string& thatName,
                                    Language lang);

// The names of the two sides that the program compares.
const TextPair& WorkingDataName();
const TextPair& UnitDataName();
// The File menu's entry that compares the working data with a file.
const TextPair& CompareWithFileMenuText();
// The working data set against the unit as the link last read it.
const TextPair& CompareWithUnitMenuText();

}  // namespace zv
