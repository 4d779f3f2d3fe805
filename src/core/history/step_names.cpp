#include "history/step_names.h"

#include "data/zv_data_class.h"

namespace zv {

namespace {

constexpr TextPair kEditMenu = {"Bearbeiten", "Edit"};
constexpr TextPair kCopy = {"Kopieren", "Copy"};
constexpr TextPair kPaste = {"Einfügen", "Paste"};
constexpr TextPair kCell = {"Zelle", "cell"};
constexpr TextPair kPoint = {"Punkt", "point"};
constexpr TextPair kOn = {"ein", "on"};
constexpr TextPair kOff = {"aus", "off"};

std::string Joined(const char* what, const std::string& detail) {
    return detail.empty() ? std::string(what) : std::string(what) + " " + detail;
}

// "<what> <part> <detail>" in both languages: "fuel map cell 5/7 +1".
TStepName PartStep(const TextPair& what, const TextPair& part, const std::string& detail) {
    return {Joined(what.German, Joined(part.German, detail)),
            Joined(what.English, Joined(part.English, detail))};
}

}  // namespace

const char* EditMenuTitle(Language lang) {
    return kEditMenu.Pick(lang);
}

const char* EditCopyCaption(Language lang) {
    return kCopy.Pick(lang);
}

const char* EditPasteCaption(Language lang) {
    return kPaste.Pick(lang);
}

TStepName NameStep(const TextPair& what, const std::string& detail) {
    return {Joined(what.German, detail), Joined(what.English, detail)};
}

TStepName NameStep(const TextPair& what, const TextPair& detail) {
    return {Joined(what.German, detail.German), Joined(what.English, detail.English)};
}

std::string SignedChange(int from, int to) {
    const int change = to - from;
    return (change >= 0 ? "+" : "") + std::to_string(change);
}

std::string CellPlace(int throttleSite, int rpmSite) {
    return std::to_string(throttleSite + 1) + "/" + std::to_string(rpmSite + 1);
}

TStepName FuelMapCellStep(int throttleSite, int rpmSite, int from, int to) {
    return MapCellStep(stepname::FuelMap, throttleSite, rpmSite, SignedChange(from, to));
}

TStepName MapCellStep(const TextPair& map, int throttleSite, int rpmSite,
                      const std::string& change) {
    return PartStep(map, kCell, CellPlace(throttleSite, rpmSite) + " " + change);
}

TStepName ValueStep(const TextPair& what, int from, int to) {
    return NameStep(what, SignedChange(from, to));
}

TextPair CurveName(std::size_t base) {
    switch (base) {
        case img::TpsScale:
            return {"Drosselklappen-Skalierung", "throttle scaling curve"};
        case img::FotoControl:
            return {"Helligkeitskurve der Lampen", "lamp brightness curve"};
        case img::TempControl:
            return {"Temperaturkurve", "temperature curve"};
        case img::GeneralPurposeControl:
            return {"Kurve Eingang E", "input E curve"};
        case img::IdleControl:
            return {"Leerlaufkurve", "idle curve"};
        default:
            return stepname::Unnamed;
    }
}

TStepName CurvePointStep(std::size_t base, int point, int from, int to) {
    return PartStep(CurveName(base), kPoint,
                    std::to_string(point + 1) + " " + SignedChange(from, to));
}

TStepName PasteStep(int count, bool points) {
    const std::string n = std::to_string(count);
    const bool one = count == 1;
    if (points)
        return {n + (one ? " Punkt" : " Punkte") + " eingefügt",
                "paste " + n + (one ? " point" : " points")};
    return {n + (one ? " Zelle" : " Zellen") + " eingefügt", "paste " + n + (one ? " cell" : " cells")};
}

TStepName SwitchStep(const TextPair& what, bool on) {
    return NameStep(what, on ? kOn : kOff);
}

}  // namespace zv
