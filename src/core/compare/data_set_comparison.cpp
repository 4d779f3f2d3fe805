#include "compare/data_set_comparison.h"

#include <algorithm>

#include "data/parameter_table.h"
#include "text/item_names.h"

namespace zv {

namespace {

std::vector<TCellDifference> CompareGrids(const ByteGrid& a, const ByteGrid& b) {
    std::vector<TCellDifference> cells;
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            const int x = a[std::size_t(t)][std::size_t(r)];
            const int y = b[std::size_t(t)][std::size_t(r)];
            if (x != y)
                cells.push_back({t, r, x, y});
        }
    }
    return cells;
}

void CompareLinRow(const TZVDataClass& a, const TZVDataClass& b, int row, TItemKind kind,
                   std::vector<TItemDifference>& items) {
    const ByteRow& x = a.Lin[std::size_t(row)];
    const ByteRow& y = b.Lin[std::size_t(row)];
    for (int k = 0; k < 16; ++k) {
        if (x[std::size_t(k)] != y[std::size_t(k)])
            items.push_back({kind, row, k, x[std::size_t(k)], y[std::size_t(k)]});
    }
}

std::optional<std::string> Line(const std::vector<std::string>& lines, std::size_t i) {
    if (i < lines.size())
        return lines[i];
    return std::nullopt;
}

// The data sheet pads two German names for its columns; a list wants them bare.
std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace

bool TDataSetComparison::Same() const {
    return Map.empty() && AfrMap.empty() && Sites.empty() && Curves.empty() && Parameters.empty() &&
           Comment.empty();
}

TDataSetComparison CompareDataSets(const TZVDataClass& thisSet, const TZVDataClass& thatSet) {
    TDataSetComparison c;
    c.Map = CompareGrids(thisSet.Map, thatSet.Map);
    c.AfrMap = CompareGrids(thisSet.AfrMap, thatSet.AfrMap);
    for (int row : {lin::TpsSites, lin::RpmSites})
        CompareLinRow(thisSet, thatSet, row, TItemKind::Site, c.Sites);
    for (int row = lin::TpsScale; row <= lin::IdleControl; ++row)
        CompareLinRow(thisSet, thatSet, row, TItemKind::Curve, c.Curves);
    for (std::size_t n = 0; n < thisSet.Detail.size(); ++n) {
        if (thisSet.Detail[n] != thatSet.Detail[n])
            c.Parameters.push_back(
                {TItemKind::Parameter, int(n), 0, thisSet.Detail[n], thatSet.Detail[n]});
    }
    const std::size_t lines = std::max(thisSet.Comment.size(), thatSet.Comment.size());
    for (std::size_t i = 0; i < lines; ++i) {
        TCommentDifference d{int(i) + 1, Line(thisSet.Comment, i), Line(thatSet.Comment, i)};
        if (d.This != d.That)
            c.Comment.push_back(std::move(d));
    }
    return c;
}

std::string ItemName(const TItemDifference& item, Language lang) {
    if (item.Kind == TItemKind::Parameter)
        return Trimmed(ParameterName(item.Index).Pick(lang));
    return std::string(CurveName(item.Index).Pick(lang)) + " " + std::to_string(16 - item.Stored);
}

TZVDataClass UploadedDataSet(const TZVDataClass& working) {
    TZVDataClass unit = working;
    unit.DeviceData = working.ReceiveData;
    unit.ImageToFields();
    return unit;
}

TDataSetComparison CompareWithUnit(const TZVDataClass& working) {
    const int firmware = working.ReceiveData.Firmware;
    TZVDataClass pc = working;
    pc.DeviceData.Firmware = working.ReceiveData.Firmware;
    TZVDataClass::ClearUnusedAreas(pc.DeviceData);
    pc.ImageToFields();
    TZVDataClass unit = pc;
    unit.DeviceData.Image = working.ReceiveData.Image;
    TZVDataClass::ClearUnusedAreas(unit.DeviceData);
    // Below firmware 4 nothing but the maps is read from the unit: the rest cannot differ.
    if (firmware < 4) {
        for (std::size_t i = 0; i < img::FuelMap; ++i) unit.DeviceData.Image[i] = pc.DeviceData.Image[i];
    }
    unit.ImageToFields();
    TDataSetComparison c = CompareDataSets(pc, unit);
    std::erase_if(c.Parameters,
                  [firmware](const TItemDifference& p) { return Parameter(p.Index).MinFirmware > firmware; });
    return c;
}

bool DeviceDataDiffer(const TDataSetComparison& comparison) {
    return !comparison.Sites.empty() || !comparison.Curves.empty() || !comparison.Parameters.empty();
}

}  // namespace zv
