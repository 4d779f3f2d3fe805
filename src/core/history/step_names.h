#pragma once

#include <cstddef>
#include <string>

#include "history/edit_history.h"
#include "text/text_table.h"

namespace zv {

// The words of the Edit menu and of the steps it names, kept together so that every page
// names its steps in the same voice.

namespace stepname {
inline constexpr TextPair FuelMap = {"Kennfeld", "fuel map"};
inline constexpr TextPair AfrMap = {"AFR-Kennfeld", "AFR map"};
inline constexpr TextPair ThrottleSite = {"Drosselklappen-Stützstelle", "throttle site"};
inline constexpr TextPair RpmSite = {"Drehzahl-Stützstelle", "rpm site"};
inline constexpr TextPair IdleControl = {"Leerlaufregelung", "idle control"};
inline constexpr TextPair NarrowBandControl = {"Lambdaregelung (Schmalband)",
                                               "narrowband lambda control"};
inline constexpr TextPair WideBandControl = {"Lambdaregelung (Breitband)",
                                             "wideband lambda control"};
inline constexpr TextPair InputConfiguration = {"Eingangskonfiguration", "input configuration"};
inline constexpr TextPair WideBandPreset = {"AFR-Vorgabekennfeld", "wideband preset map"};
inline constexpr TextPair ContactDefaults = {"Kontaktschwellen auf Standard",
                                             "contact thresholds set to defaults"};
inline constexpr TextPair PinLFunction = {"Funktion Pin L", "pin L function"};
inline constexpr TextPair AdditiveMode = {"additiv", "additive"};
inline constexpr TextPair MultiplyingMode = {"multiplikativ", "multiplying"};
inline constexpr TextPair ErrorOnIntegratorLimit = {"Fehler an der Integratorgrenze",
                                                    "error on integrator limit"};
inline constexpr TextPair SensorUnit = {"Breitband-Messgerät", "wideband device"};
// A write no operation named.
inline constexpr TextPair Unnamed = {"Änderung", "change"};
}  // namespace stepname

// "Bearbeiten" / "Edit".
const char* EditMenuTitle(Language lang);
// "Kopieren" / "Copy" and "Einfügen" / "Paste".
const char* EditCopyCaption(Language lang);
const char* EditPasteCaption(Language lang);

// A step named by what it changed, with an optional detail after it: "Idle contact threshold",
// "fuel map cell 5/7 +1".
TStepName NameStep(const TextPair& what, const std::string& detail = {});
// The same with a detail in both languages: "temperature curve additive".
TStepName NameStep(const TextPair& what, const TextPair& detail);

// The change from one value to another as the step names it: "+1", "-15".
std::string SignedChange(int from, int to);

// A map cell as throttle and engine-speed site numbers counted from 1 at the lowest site.
std::string CellPlace(int throttleSite, int rpmSite);

// "fuel map cell 5/7 +1".
TStepName FuelMapCellStep(int throttleSite, int rpmSite, int from, int to);
// A cell of either map with its change: "AFR map cell 5/7 NC" for a cell switched off.
TStepName MapCellStep(const TextPair& map, int throttleSite, int rpmSite,
                      const std::string& change);
// "<value> +1": a value of a page stepped.
TStepName ValueStep(const TextPair& what, int from, int to);
// The curve whose 16 bytes start at base, named by what it does.
TextPair CurveName(std::size_t base);
// "temperature curve point 3 +1", points counted from 1 at the lowest input.
TStepName CurvePointStep(std::size_t base, int point, int from, int to);
// A pasted block of map cells or curve points: "paste 12 cells" / "12 Zellen eingefügt".
TStepName PasteStep(int count, bool points);
// A switch of the data set turned on or off: "idle control on".
TStepName SwitchStep(const TextPair& what, bool on);

}  // namespace zv
