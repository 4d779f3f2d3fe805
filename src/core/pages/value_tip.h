#pragma once

#include <optional>
#include <string>

#include "config/key_control.h"
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
    // The steps in the panel's own terms where one count is not one shown unit ("0.1").
    std::string Step = "1";
    std::string PageStepShown{};  // empty: PageStep as it is
    // The operator's own step keys. The main window shows them on every page, so every tip
    // names them: among the keys where the page honours them, else as keys that do nothing here.
    std::optional<TConfiguredStepKeys> OwnKeys{};
    bool OwnKeysAct = true;
};

// Units several pages' values share.
inline constexpr TextPair kCountsUnit = {"Zählwert", "counts"};
inline constexpr TextPair kRawThrottleUnit = {"Drosselklappe roh (255 = 100 %)",
                                              "raw throttle (255 = 100 %)"};
inline constexpr TextPair kVoltCountsUnit = {"Volt (51 Zählwerte je Volt)",
                                             "volts (51 counts per volt)"};
inline constexpr TextPair kRpmStepUnit = {"U/min (ein Schritt 39 U/min)", "rpm (one step 39 rpm)"};

std::string ValueTipText(const TValueTip& tip, Language lang);

// A byte the page shows in another scale steps by perCount shown units a count: the tip gives
// both steps in that scale, with decimals places.
void ShowStepsScaled(TValueTip& tip, double perCount, int decimals);

// A page's own hint over a value's hover text, a blank line between. Where the unit's texts
// have no hint in a language they hold "...", which says nothing: such a hint is left out.
std::string HintedTip(const std::string& hint, const std::string& tip);

// "min .. max" of whole numbers.
std::string RangeText(int min, int max);

// Engine speed of a raw byte, byte x 10000 div 255, as every page shows it.
int RpmOfByte(int b);

}  // namespace zv
