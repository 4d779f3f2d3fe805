#include "pages/value_tip.h"

#include <algorithm>

#include "text/point_format.h"

namespace zv {

std::string RangeText(int min, int max) {
    return std::to_string(min) + " .. " + std::to_string(max);
}

int RpmOfByte(int b) {
    return b * 10000 / 255;
}

namespace {

// As the main window shows them beside its step-key label.
std::string OwnKeysText(const TConfiguredStepKeys& keys) {
    return "▲ " + KeyCodeText(keys.Up) + " ▼ " + KeyCodeText(keys.Down);
}

}  // namespace

std::string ValueTipText(const TValueTip& tip, Language lang) {
    const bool g = lang == Language::German;
    std::string text = tip.What + "\n";
    text += (g ? "Einheit: " : "Unit: ") + tip.Unit + "\n";
    text += (g ? "Bereich: " : "Range: ") + tip.Range + "\n";
    text += (g ? "Tasten: ±" : "Keys: ±") + tip.Step + (g ? " mit " : " with ");
    if (tip.ArrowSteps)
        text += g ? "Pfeil hoch / runter, " : "Up / Down, ";
    text += "+ / -";
    if (tip.OwnKeys && tip.OwnKeysAct)
        text += (g ? ", Schritt-Tasten " : ", step keys ") + OwnKeysText(*tip.OwnKeys);
    if (tip.PageStep > 0) {
        const std::string page =
            tip.PageStepShown.empty() ? std::to_string(tip.PageStep) : tip.PageStepShown;
        text += ", ±" + page + (g ? " mit Bild auf / Bild ab" : " with Page Up / Page Down");
    }
    // The operator sees them on the main window and might expect them to work here as well.
    if (tip.OwnKeys && !tip.OwnKeysAct)
        text += (g ? "\nSchritt-Tasten " : "\nStep keys ") + OwnKeysText(*tip.OwnKeys) +
                (g ? " wirken hier nicht" : " do not act here");
    return text;
}

void ShowStepsScaled(TValueTip& tip, double perCount, int decimals) {
    tip.Step = FormatFixed(perCount, 1, decimals);
    tip.PageStepShown = FormatFixed(tip.PageStep * perCount, 1, decimals);
}

std::string HintedTip(const std::string& hint, const std::string& tip) {
    const bool says = std::any_of(hint.begin(), hint.end(), [](char c) {
        return c != '.' && c != ' ' && c != '\r' && c != '\n' && c != '\t';
    });
    return says ? hint + "\n\n" + tip : tip;
}

}  // namespace zv
