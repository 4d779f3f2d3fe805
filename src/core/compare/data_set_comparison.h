#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// What differs between two data sets, item by item, in the edit fields' terms: "this" is the
// first data set (the working one, where there is one), "that" the other.

struct TCellDifference {
    int T = 0;  // throttle site index, 0 = lowest
    int R = 0;  // engine-speed site index, 0 = lowest
    int This = 0;
    int That = 0;
    bool operator==(const TCellDifference&) const = default;
};

enum class TItemKind : std::uint8_t { Site, Curve, Parameter };

struct TItemDifference {
    TItemKind Kind = TItemKind::Parameter;
    int Index = 0;   // parameter index, or Lin row for sites and curves
    int Stored = 0;  // sites and curves: place in the Lin row (highest point first)
    std::int32_t This = 0;
    std::int32_t That = 0;
    bool operator==(const TItemDifference&) const = default;
};

struct TCommentDifference {
    int Line = 1;                     // counted from 1
    std::optional<std::string> This;  // nothing where that data set has no such line
    std::optional<std::string> That;
};

struct TDataSetComparison {
    std::vector<TCellDifference> Map;
    std::vector<TCellDifference> AfrMap;
    std::vector<TItemDifference> Sites;       // throttle sites, then engine-speed sites
    std::vector<TItemDifference> Curves;      // in the order of Lin
    std::vector<TItemDifference> Parameters;  // in the parameter table's order
    std::vector<TCommentDifference> Comment;

    bool Same() const;
};

TDataSetComparison CompareDataSets(const TZVDataClass& thisSet, const TZVDataClass& thatSet);

// An item as the pages and the data sheet call it; a point of a curve or a site list carries its
// number as the site dialog counts them (1 = lowest).
std::string ItemName(const TItemDifference& item, Language lang);

// The uploaded unit data (ReceiveData) as a data set of their own, edit fields filled from them,
// so that they compare with the working data set like any file. What the unit does not hold
// (the PC-only parameters, the comment) is taken from the working data set.
TZVDataClass UploadedDataSet(const TZVDataClass& working);

// The working data set against the unit's uploaded data, both as the unit's firmware holds
// them: places and parameters the firmware does not have, and what only the PC holds, count as
// the same. The maps compare as read; the AFR map is read from firmware 26 on.
TDataSetComparison CompareWithUnit(const TZVDataClass& working);

// Whether the unit holds sites, curves or parameters of its own, which a download of the maps
// alone would leave in it.
bool DeviceDataDiffer(const TDataSetComparison& comparison);

}  // namespace zv
