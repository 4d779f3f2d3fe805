#include "compare/difference_overlay.h"

#include "compare/difference_tint.h"

namespace zv {

namespace {

const TextPair kButton = {"Abweichung", "Changes"};
const TextPair kHintNone = {"Zellen nach Abweichung von einer Referenz tönen",
                            "Tint cells by how far they moved from a reference"};
const TextPair kHintReference = {"Abweichung von: ", "Changes against: "};
const TextPair kLastSaved = {"Gegen gespeicherte Datei", "Against the saved file"};
const TextPair kLatestBackup = {"Gegen letzte Sicherung des Geräts",
                                "Against the unit's latest backup"};
const TextPair kOtherFile = {"Gegen Datei…", "Against file…"};
const TextPair kUnitNow = {"Gegen das Gerät, wie zuletzt gelesen", "Against the unit as last read"};

}  // namespace

void TDifferenceOverlay::SetReference(const TZVDataClass& reference, const std::string& name) {
    map_ = reference.Map;
    afrMap_ = reference.AfrMap;
    name_ = name;
    hasReference_ = true;
    shown_ = true;
}

TClassGrid TDifferenceOverlay::Classes(const ByteGrid& now, const ByteGrid& reference) const {
    TClassGrid classes{};
    if (!shown_)
        return classes;
    for (std::size_t t = 0; t < 16; ++t) {
        for (std::size_t r = 0; r < 16; ++r)
            classes[t][r] = DifferenceClass(now[t][r] - reference[t][r]);
    }
    return classes;
}

TClassGrid TDifferenceOverlay::MapClasses(const ByteGrid& map) const {
    return Classes(map, map_);
}

TClassGrid TDifferenceOverlay::AfrClasses(const ByteGrid& afrMap) const {
    return Classes(afrMap, afrMap_);
}

TOverlayTexts OverlayTexts(const TDifferenceOverlay& overlay, Language lang) {
    TOverlayTexts t;
    t.Button = kButton.Pick(lang);
    t.Hint = overlay.HasReference() ? kHintReference.Pick(lang) + overlay.ReferenceName()
                                    : kHintNone.Pick(lang);
    t.LastSaved = kLastSaved.Pick(lang);
    t.LatestBackup = kLatestBackup.Pick(lang);
    t.OtherFile = kOtherFile.Pick(lang);
    t.UnitNow = kUnitNow.Pick(lang);
    return t;
}

}  // namespace zv
