#include "pages/value_tip.h"

#include <algorithm>

namespace zv {

std::string RangeText(int min, int max) {
    return std::to_string(min) + " .. " + std::to_string(max);
}

int RpmOfByte(int b) {
    return b * 10000 / 255;
}

std::string ValueTipText(const TValueTip& tip, Language lang) {
    const bool g = lang == Language::German;
    std::string text = tip.What + "\n";
    text += (g ? "Einheit: " : "Unit: ") + tip.Unit + "\n";
    text += (g ? "Bereich: " : "Range: ") + tip.Range + "\n";
    text += (g ? "Tasten: ±" : "Keys: ±") + tip.Step + (g ? " mit " : " with ");
    if (tip.ArrowSteps)
        text += g ? "Pfeil hoch / runter, " : "Up / Down, ";
    text += "+ / -";
    // As the main window shows them beside its step-key label.
    if (tip.OwnKeys)
        text += (g ? ", Schritt-Tasten ▲ " : ", step keys ▲ ") + KeyCodeText(tip.OwnKeys->Up) +
                " ▼ " + KeyCodeText(tip.OwnKeys->Down);
    if (tip.PageStep > 0) {
        const std::string page =
            tip.PageStepShown.empty() ? std::to_string(tip.PageStep) : tip.PageStepShown;
        text += ", ±" + page + (g ? " mit Bild auf / Bild ab" : " with Page Up / Page Down");
    }
    return text;
}

std::string HintedTip(const std::string& hint, const std::string& tip) {
    const bool says = std::any_of(hint.begin(), hint.end(), [](char c) {
        return c != '.' && c != ' ' && c != '\r' && c != '\n' && c != '\t';
    });
    return says ? hint + "\n\n" + tip : tip;
}

}  // namespace zv
