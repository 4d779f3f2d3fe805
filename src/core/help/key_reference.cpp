#include "help/key_reference.h"

#include "cells/cell_block.h"
#include "config/key_control.h"

namespace zv {

namespace {

// Names of the keys as the keyboard labels them in each language.
const TextPair kUp = {"Pfeil hoch", "Up"};
const TextPair kDown = {"Pfeil runter", "Down"};
const TextPair kLeftRight = {"Pfeil links / rechts", "Left / Right"};
const TextPair kUpDown = {"Pfeil hoch / runter", "Up / Down"};
const TextPair kPageKeys = {"Bild auf / Bild ab", "Page Up / Page Down"};
const TextPair kNumPlus = {"Ziffernblock +", "Numpad +"};
const TextPair kNumMinus = {"Ziffernblock -", "Numpad -"};

// What the keys do.
const TextPair kShowPageSelection = {"Seitenauswahl zeigen", "Show the page selection"};
const TextPair kThisReference = {"Diese Tastenübersicht", "This key reference"};
const TextPair kNextField = {"Nächstes Feld", "Next field"};
const TextPair kPlusOne = {"Wert +1", "Value +1"};
const TextPair kMinusOne = {"Wert -1", "Value -1"};
const TextPair kCurvePoint = {"Kurvenpunkt links / rechts", "Curve point left / right"};
const TextPair kTitle = {"Tastenübersicht", "Key reference"};
const TextPair kClose = {"Schließen", "Close"};

// The keys that step a value by one on a page.
enum class TStepSet : std::uint8_t {
    Full,        // Up / Down, numeric pad, plus / minus, point / comma, brackets
    NoArrows,    // as Full, but the arrows move a cursor
    PlusMinus,   // numeric pad and plus / minus only
    ArrowsPlus,  // arrows, numeric pad and plus / minus
};

// The text table's hints of the function keys (F9's has no key in its text).
constexpr struct {
    const char* Key;
    int Text;
} kFunctionKeys[] = {{"F5", 66}, {"F7", 67}, {"F8", 68}, {"F9", 69}, {"F10", 70}, {"F11", 71}};

class TBuilder {
  public:
    TBuilder(Language lang, TConfiguredStepKeys keys) : lang_(lang), keys_(keys) {}

    void Add(const std::string& keys, const std::string& action) { rows_.push_back({keys, action}); }
    void Row(const TextPair& keys, const TextPair& action) { Add(Pick(keys), Pick(action)); }
    void Row(const std::string& keys, const TextPair& action) { Add(keys, Pick(action)); }

    // The +1 and -1 rows, with the operator's own step keys where the page honours them.
    void StepRows(TStepSet set, bool configured) {
        Add(StepKeys(set, true, configured), Pick(kPlusOne));
        Add(StepKeys(set, false, configured), Pick(kMinusOne));
    }

    void PageStepRow(int step, const TextPair* exception = nullptr) {
        std::string action = "+" + std::to_string(step) + " / -" + std::to_string(step);
        if (exception)
            action += " (" + Pick(*exception) + ")";
        Add(Pick(kPageKeys), action);
    }

    std::vector<TKeyRow> Take() { return std::move(rows_); }
    std::string Pick(const TextPair& pair) const { return pair.Pick(lang_); }
    Language Lang() const { return lang_; }

  private:
    std::string StepKeys(TStepSet set, bool plus, bool configured) const {
        std::string keys;
        auto add = [&keys](const std::string& key) {
            if (!key.empty())
                keys += keys.empty() ? key : " / " + key;
        };
        if (set == TStepSet::Full || set == TStepSet::ArrowsPlus)
            add(Pick(plus ? kUp : kDown));
        add(Pick(plus ? kNumPlus : kNumMinus));
        add(plus ? "+" : "-");
        if (set == TStepSet::Full || set == TStepSet::NoArrows) {
            add(plus ? "." : ",");
            add(plus ? "]" : "[");
        }
        if (configured)
            add(KeyCodeText(plus ? keys_.Up : keys_.Down));
        return keys;
    }

    Language lang_;
    TConfiguredStepKeys keys_;
    std::vector<TKeyRow> rows_;
};

// The block of cells: Shift+arrows select it, the step keys change every cell of it, and the
// block menu's keys run its entries ("in the target map" on the wideband page).
void BlockRows(TBuilder& b, const TextPair& where) {
    static const TextPair kShiftArrows = {"Umschalt + Pfeiltasten", "Shift + arrow keys"};
    static const TextPair kSelect = {
        "Zellenblock auswählen (auch durch Ziehen mit der Maus); Wert- und Bildtasten ändern dann "
        "jede Zelle darin",
        "Select a block of cells (also by dragging with the mouse); the value and page keys then "
        "change every cell in it"};
    static const TextPair kBlockPrefix = {"Zellenblock: ", "Block of cells: "};
    const std::string suffix = b.Pick(where);
    b.Add(b.Pick(kShiftArrows), b.Pick(kSelect) + suffix);
    for (const TBlockMenuItem& item : BlockMenu(b.Lang()))
        b.Add(item.Key, b.Pick(kBlockPrefix) + item.Text + suffix);
}

void MapRows(TBuilder& b) {
    b.Row(kLeftRight, {"Cursor über die Drehzahl-Stützstellen", "Cursor along the rpm sites"});
    b.Row(kUpDown, {"Cursor über die Drosselklappen-Stützstellen", "Cursor along the throttle sites"});
    b.StepRows(TStepSet::PlusMinus, true);
    b.PageStepRow(15);
    b.Row("Tab", {"Stützstellen einstellen", "Adjust the sites"});
    BlockRows(b, {"", ""});
}

void CurveRows(TBuilder& b, bool configured) {
    b.Row(kLeftRight, kCurvePoint);
    b.StepRows(TStepSet::Full, configured);
    b.PageStepRow(15);
}

void OldIdleRows(TBuilder& b) {
    b.Row(kLeftRight, kCurvePoint);
    b.StepRows(TStepSet::ArrowsPlus, false);
}

// The first field is a reference voltage on the older units and a signed trim from firmware 14.
void NarrowBandRows(TBuilder& b, int firmware) {
    static const TextPair kTrimStep = {"Lambdawert trimmen: +5 / -5", "Trim Lambda value: +5 / -5"};
    b.Row("Tab", kNextField);
    b.StepRows(TStepSet::Full, false);
    b.PageStepRow(10, firmware >= 14 ? &kTrimStep : nullptr);
}

void WidebandRows(TBuilder& b) {
    b.Row("Tab", kNextField);
    b.Row(kUpDown, {"Wert +1 / -1, in der Zielwerttabelle: Zeile",
                    "Value +1 / -1, in the target map: row"});
    b.Row(kLeftRight, {"Zielwerttabelle: Spalte", "Target map: column"});
    b.StepRows(TStepSet::NoArrows, true);
    b.PageStepRow(10);
    BlockRows(b, {" (Zielwerttabelle)", " (target map)"});
}

// What the parameter page offers grows with the firmware: the acceleration values and the
// scaling curve, then the maximum output with its step of 5.
void ParameterRows(TBuilder& b, int firmware) {
    static const TextPair kMaxOutStep = {"Maximaler Ausgabewert: +5 / -5", "Maximum output: +5 / -5"};
    if (firmware <= 20)
        b.Row("Tab", {"Nächster Wert: Impulse, Leerlaufkontakt, Vollastkontakt",
                      "Next value: pulses, idle contact, WOT contact"});
    else
        b.Row("Tab", {"Nächster Wert", "Next value"});
    if (firmware > 27 || firmware == 26)
        b.Row(kLeftRight, {"Skalierungskurve: Kurvenpunkt links / rechts",
                           "Scaling curve: curve point left / right"});
    b.StepRows(TStepSet::Full, true);
    b.PageStepRow(15, firmware >= 30 ? &kMaxOutStep : nullptr);
}

void LampRows(TBuilder& b) {
    b.Row("Tab", {"Kurve, rot, gelb, grün", "Curve, red, yellow, green"});
    b.Row(kLeftRight, kCurvePoint);
    b.StepRows(TStepSet::Full, true);
    b.PageStepRow(15);
}

void PageRows(TBuilder& b, int page, int firmware) {
    switch (page) {
        case 1:
            MapRows(b);
            break;
        case 2:
            OldIdleRows(b);
            break;
        case 3:
            CurveRows(b, true);
            break;
        case 4:
            NarrowBandRows(b, firmware);
            break;
        case 5:
            WidebandRows(b);
            break;
        case 6:
            ParameterRows(b, firmware);
            break;
        case 7:
        case 8:
            CurveRows(b, false);
            break;
        case 9:
            LampRows(b);
            break;
        case 10:
            b.Row("Tab", {"Nächstes Bedienelement", "Next control"});
            break;
        default:
            break;
    }
    b.Row("Esc", kShowPageSelection);
}

}  // namespace

TKeyReference KeyReference(int page, int firmware, Language lang, TConfiguredStepKeys stepKeys) {
    TBuilder b(lang, stepKeys);
    PageRows(b, page, firmware);
    // The function keys run the link and the unit's switches on every page.
    b.Row("F1", kThisReference);
    for (const auto& f : kFunctionKeys)
        b.Add(f.Key, Text(f.Text, lang));
    TKeyReference reference;
    reference.Title = b.Pick(kTitle) + " - " + PageName(page, lang);
    reference.CloseButton = b.Pick(kClose);
    reference.Rows = b.Take();
    return reference;
}

}  // namespace zv
