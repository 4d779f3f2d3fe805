#include "compare/difference_tint.h"

#include <cstdlib>

namespace zv {

namespace {

// The smallest difference of classes 1, 2 and 3.
constexpr int kClassFloor[kDifferenceClasses] = {1, 4, 16};

const TRgb kRise[kDifferenceClasses] = {{0xFF, 0xE4, 0xB5}, {0xFF, 0xB8, 0x6C}, {0xFF, 0x80, 0x60}};
const TRgb kFall[kDifferenceClasses] = {{0xD4, 0xE8, 0xFF}, {0x9C, 0xC4, 0xFF}, {0x6A, 0x9A, 0xFF}};

}  // namespace

int DifferenceClass(int difference) {
    const int size = std::abs(difference);
    int cls = 0;
    for (int k = 0; k < kDifferenceClasses; ++k) {
        if (size >= kClassFloor[k])
            cls = k + 1;
    }
    return difference < 0 ? -cls : cls;
}

TRgb DifferenceTint(int differenceClass) {
    if (differenceClass > 0)
        return kRise[differenceClass - 1];
    if (differenceClass < 0)
        return kFall[-differenceClass - 1];
    return {0xFF, 0xFF, 0xFF};
}

std::array<TLegendEntry, 2 * kDifferenceClasses> DifferenceLegend(Language lang) {
    const bool de = lang == Language::German;
    return {{{3, de ? "+16 und mehr" : "+16 or more"},
             {2, "+4 .. +15"},
             {1, "+1 .. +3"},
             {-1, "-1 .. -3"},
             {-2, "-4 .. -15"},
             {-3, de ? "-16 und mehr" : "-16 or more"}}};
}

}  // namespace zv
