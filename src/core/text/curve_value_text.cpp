#include "text/curve_value_text.h"

#include "text/point_format.h"

namespace zv {

namespace {
constexpr int kByteMax = 255;
}

std::string FactorText(int b) {
    return FormatPoint("%1.2f", b * 3.0 / kFactorMax + 1.0);
}

std::string AddedPercentText(int b) {
    return std::to_string(b * 100 / kByteMax);
}

std::string CompensationText(int b) {
    return std::to_string(b * 200 / kByteMax - 100);
}

}  // namespace zv
