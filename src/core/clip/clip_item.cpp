#include "clip/clip_item.h"

#include <cmath>

#include "data/flag_bits.h"
#include "editors/map_sites.h"
#include "history/step_names.h"
#include "link/transfer_table.h"
#include "text/curve_value_text.h"
#include "text/point_format.h"

namespace zv {

namespace {

constexpr int kAfrMax = 63;
constexpr std::uint8_t kAfrNC = 128;
constexpr int kByteMax = 255;
// The chart's input axis: point i at raw input i x 17, shown as 0..100 %.
constexpr int kInputStep = 17;

std::vector<std::string> SiteLabels(const ImageBytes& image, std::size_t offset, int scaleMax,
                                     bool highestFirst) {
    const TSites sites = DisplayedSites(SitesAt(image, offset));
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < sites.size(); ++i)
        labels.push_back(std::to_string(SiteLabel(sites[highestFirst ? 15 - i : i], scaleMax)));
    return labels;
}

// Both maps share their sites and their layout on screen.
void SetMapAxes(const TZVDataSet& set, std::string& corner, std::vector<std::string>& rows,
                std::vector<std::string>& cols) {
    corner = "% \\ rpm";
    rows = SiteLabels(set.Image, img::TpsSites, kThrottleScaleMax, true);
    cols = SiteLabels(set.Image, img::RpmSites, kRpmScaleMax, false);
}

TClipScale CurveScale(const TZVDataSet& set, std::size_t base) {
    const std::uint16_t flags = set.FlagsWord();
    if (base == img::TempControl)
        return TZVDataClass::TestFlag(flags, flag::TempAddMultSel) ? TClipScale::Percent
                                                                     : TClipScale::Factor;
    if (base == img::GeneralPurposeControl)
        return TZVDataClass::TestFlag(flags, flag::GpAddMultSel) ? TClipScale::Percent
                                                                   : TClipScale::Factor;
    return TClipScale::Compensation;
}

}  // namespace

TClipItem TClipItem::FuelMap(const TZVDataSet& set) {
    TClipItem item(TClipScale::Raw, stepname::FuelMap);
    SetMapAxes(set, item.corner_, item.rowLabels_, item.colLabels_);
    item.firmware_ = set.Firmware;
    return item;
}

TClipItem TClipItem::AfrMap(const TZVDataSet& set) {
    TClipItem item(TClipScale::Afr, stepname::AfrMap);
    SetMapAxes(set, item.corner_, item.rowLabels_, item.colLabels_);
    return item;
}

TClipItem TClipItem::Curve(const TZVDataSet& set, std::size_t base) {
    TClipItem item(CurveScale(set, base), CurveName(base));
    item.base_ = base;
    item.corner_ = "%";
    item.rowLabels_ = {item.scale_ == TClipScale::Factor ? "[F]" : "[%]"};
    for (int i = 0; i < 16; ++i)
        item.colLabels_.push_back(std::to_string(i * kInputStep * 100 / kByteMax));
    return item;
}

TImageWrite TClipItem::Where(int row, int col) const {
    TImageWrite write;
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(col);
    switch (scale_) {
        case TClipScale::Raw:
            write.Offset = FuelMapOffset(15 - row, col);
            write.Address = static_cast<std::uint16_t>(FuelMapAddress(firmware_) +
                                                       (write.Offset - img::FuelMap));
            return write;
        case TClipScale::Afr:
            write.Offset = img::AfrMap + 16 * r + 15 - c;
            write.Area = 1;
            write.Address = static_cast<std::uint16_t>(write.Offset - kAfrAreaStart);
            return write;
        default:
            return MainAreaWrite(base_ + 15 - c);
    }
}

std::uint8_t TClipItem::Byte(const ImageBytes& image, int row, int col) const {
    return image[Where(row, col).Offset];
}

std::string TClipItem::Text(std::uint8_t b) const {
    switch (scale_) {
        case TClipScale::Raw:
            return std::to_string(b);
        case TClipScale::Afr:
            return AfrTargetText(b);
        case TClipScale::Factor:
            return FactorText(b);
        case TClipScale::Percent:
            return AddedPercentText(b);
        case TClipScale::Compensation:
            break;
    }
    return CompensationText(b);
}

std::optional<double> TClipItem::Shown(std::uint8_t b) const {
    switch (scale_) {
        case TClipScale::Raw:
            return b;
        case TClipScale::Afr:
            if (IsNC(b))
                return std::nullopt;
            return (b + 105) / 10.0;
        case TClipScale::Factor:
            return std::round((b * 3.0 / kFactorMax + 1.0) * 100.0) / 100.0;
        case TClipScale::Percent:
            return b * 100 / kByteMax;
        case TClipScale::Compensation:
            break;
    }
    return b * 200 / kByteMax - 100;
}

std::vector<std::uint8_t> TClipItem::ValidBytes() const {
    const int max = scale_ == TClipScale::Afr      ? kAfrMax
                    : scale_ == TClipScale::Factor ? kFactorMax
                                                   : kByteMax;
    std::vector<std::uint8_t> bytes;
    for (int b = 0; b <= max; ++b)
        bytes.push_back(static_cast<std::uint8_t>(b));
    return bytes;
}

double TClipItem::Tolerance() const {
    switch (scale_) {
        case TClipScale::Afr:
            return 0.05;
        case TClipScale::Factor:
            return 0.005;
        default:
            return 0.5;
    }
}

std::uint8_t TClipItem::NCByte() const {
    return kAfrNC;
}

const std::vector<TCurveName>& ClipCurveNames() {
    static const std::vector<TCurveName> names = {
        {"temp", img::TempControl},
        {"gp", img::GeneralPurposeControl},
        {"idle", img::IdleControl},
    };
    return names;
}

std::optional<std::size_t> CurveBaseOfName(const std::string& name) {
    for (const TCurveName& n : ClipCurveNames())
        if (name == n.Short)
            return n.Base;
    return std::nullopt;
}

}  // namespace zv
