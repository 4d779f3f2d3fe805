#include "logview/log_data.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zv {

namespace {

// The column names of each quantity in every layout, the first present wins; unused places
// stay empty.
struct TQuantityNames {
    TLogQuantity Quantity;
    std::array<std::string_view, 3> Names;
};

constexpr TQuantityNames kQuantityNames[] = {
    {TLogQuantity::EngineSpeed, {"Engine Rpm"}},
    {TLogQuantity::Throttle, {"TPS[%]"}},
    {TLogQuantity::Output, {"LMOut"}},
    {TLogQuantity::MapValue, {"LMVal"}},
    {TLogQuantity::WidebandAfr, {"InF_AFR", "InE_AFR"}},
    {TLogQuantity::WidebandCorrection, {"CompF_AFR", "CompE_AFR"}},
    {TLogQuantity::WidebandFlags, {"WBO2 Flags"}},
    {TLogQuantity::ThrottleAccel, {"TPS accel val"}},
    {TLogQuantity::IdleContact, {"IdleContact"}},
    {TLogQuantity::WotContact, {"WOTContact"}},
    {TLogQuantity::NarrowbandSignal, {"InF_NB", "InE_NB"}},
    {TLogQuantity::NarrowbandControl, {"LambdaVal", "CompF_NB", "CompE_NB"}},
};

}  // namespace

int OutputPercent(float raw) {
    // A damaged log can hold any number here; the output byte is 0..255.
    const double byte = std::clamp(std::isnan(raw) ? 0.0 : static_cast<double>(raw), 0.0, 255.0);
    return static_cast<int>(byte / 2.55);
}

std::optional<std::size_t> TLogData::FindColumn(std::string_view name, int occurrence) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].Name() == name && occurrence-- == 0)
            return i;
    }
    return std::nullopt;
}

// The wideband line's second column holds the controller's correction only where the logger put
// it there: beside input F's AFR on the newer units, and beside input E's only when input F is the
// narrowband input. Otherwise it is the input's own correction byte (CompEVal, and CompFVal on
// the older units, which keep the correction raw beside its flags as "WBO2 Corr").
bool TLogData::CarriesCorrection(std::string_view column) const {
    const bool older = FindColumn("InF_AFR") && FindColumn("LambdaVal");
    if (column == "CompF_AFR")
        return !older;
    if (column == "CompE_AFR")
        return FindColumn("InF_NB").has_value();
    return true;
}

std::optional<std::size_t> TLogData::Find(TLogQuantity quantity) const {
    if (quantity == TLogQuantity::WidebandCorrection) {
        for (std::string_view name : {"CompF_AFR", "CompE_AFR"}) {
            if (auto column = FindColumn(name); column && CarriesCorrection(name))
                return column;
        }
        return std::nullopt;
    }
    for (const TQuantityNames& entry : kQuantityNames) {
        if (entry.Quantity != quantity)
            continue;
        for (std::string_view name : entry.Names) {
            if (auto column = name.empty() ? std::nullopt : FindColumn(name))
                return column;
        }
    }
    return std::nullopt;
}

std::size_t TLogData::BytesHeld() const {
    std::size_t bytes = pcCount_.capacity() * sizeof(std::uint32_t);
    for (const TLogColumn& column : columns_)
        bytes += column.BytesHeld();
    return bytes;
}

void TLogData::SetColumns(const std::vector<std::string>& names, std::size_t expectedLines) {
    columns_.clear();
    columns_.reserve(names.size());
    for (const std::string& name : names)
        columns_.emplace_back(name).Reserve(expectedLines);
    pcCount_.reserve(expectedLines);
}

void TLogData::AppendLine(std::uint32_t pcCount, const std::vector<TLogNumber>& values) {
    pcCount_.push_back(pcCount);
    for (std::size_t i = 0; i < columns_.size() && i < values.size(); ++i)
        columns_[i].Append(values[i]);
}

}  // namespace zv
