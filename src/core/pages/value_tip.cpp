#include "pages/value_tip.h"

namespace zv {

std::string RangeText(int min, int max) {
    return std::to_string(min) + " .. " + std::to_string(max);
}

std::string ValueTipText(const TValueTip& tip, Language lang) {
    const bool g = lang == Language::German;
    std::string text = tip.What + "\n";
    text += (g ? "Einheit: " : "Unit: ") + tip.Unit + "\n";
    text += (g ? "Bereich: " : "Range: ") + tip.Range + "\n";
    text += g ? "Tasten: ±1 mit " : "Keys: ±1 with ";
    if (tip.ArrowSteps)
        text += g ? "Pfeil hoch / runter, " : "Up / Down, ";
    text += "+ / -";
    if (tip.PageStep > 0)
        text += ", ±" + std::to_string(tip.PageStep) +
                (g ? " mit Bild auf / Bild ab" : " with Page Up / Page Down");
    return text;
}

}  // namespace zv
