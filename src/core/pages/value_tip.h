#pragma once

#include <string>

#include "text/text_table.h"

namespace zv {

// What an editable value's hover text says: what it sets, its unit, the range the keys keep
// and the keys that step it.
struct TValueTip {
    std::string What;
    std::string Unit;
    std::string Range;      // as the panel shows the bounds, "2 .. 100"
    int PageStep = 0;       // Page Up / Page Down; 0 when those keys do not step it
    bool ArrowSteps = true;  // Up / Down step it too (else they move a cursor)
};

// Units several pages' values share.
inline constexpr TextPair kCountsUnit = {"Zählwert", "counts"};
inline constexpr TextPair kRawThrottleUnit = {"Drosselklappe roh (255 = 100 %)",
                                              "raw throttle (255 = 100 %)"};

std::string ValueTipText(const TValueTip& tip, Language lang);

// "min .. max" of whole numbers.
std::string RangeText(int min, int max);

}  // namespace zv
