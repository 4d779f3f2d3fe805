#include "logview/log_view_texts.h"

namespace zv {

namespace {

const TLogViewTexts kGerman{
    .TitlePrefix = "Log-Betrachter",
    .OpenLogMenu = "Log öffnen…",
    .OpenLogTitle = "Log-Datei öffnen",
    .PlotsTab = "Verläufe",
    .HitsTab = "Trefferzahl",
    .AutotuneTab = "Autotune",
    .AutotuneHint = "Autotune vergleicht jede Breitband-Messung des Logs mit dem AFR-Ziel ihres "
                    "Betriebspunkts und schlägt für jede Zelle mit genug Messungen einen neuen "
                    "Kennfeldwert vor. Übernommen wird erst, was Sie im Autotune-Fenster "
                    "anwenden; ein Schritt, den Bearbeiten › Rückgängig wieder zurücknimmt.",
    .AutotuneButton = "Autotune mit diesem Log…",
    .ChannelsLabel = "Kanäle",
    .ValuesLabel = "Werte am Cursor",
    .NameHeader = "Name",
    .ValueHeader = "Wert",
    .UnitHeader = "Einheit",
    .TimeName = "Zeit",
    .Play = "Abspielen",
    .Pause = "Pause",
    .SpeedLabel = "Tempo",
    .ReplayOnlineTip = "Online zeigen die Seiten die Werte des Steuergeräts; das Abspielen "
                       "geht nur offline.",
    .ReplayTip = "Spielt das Log ab; die Seiten folgen ihm wie online.",
    .MeasureLabel = "Färbung",
    .MeasureCount = "Trefferzahl",
    .MeasureAfrError = "AFR-Abweichung (Ist − Ziel)",
    .MeasureCorrection = "Mittlere Korrektur",
    .HitsAxis = "% \\ rpm",
    .NoWideband = "Das Log hat keine Breitband-Spalten: AFR und AFR-Abweichung fehlen.",
    .NoDataSet = "Kein Datensatz geöffnet: ohne seine Stützstellen und AFR-Ziele zeigt der "
                 "Betrachter weder Ziele noch Treffer. Öffnen Sie den Datensatz, mit dem das Log "
                 "gefahren wurde, oder lesen Sie ihn aus dem Steuergerät.",
    .NoTarget = "NC",
    .EmptyLog = "Das Log enthält keine Datenzeilen.",
    .ErrorCaption = "Fehler",
    .AfrTargetName = "AFR Ziel",
};

const TLogViewTexts kEnglish{
    .TitlePrefix = "Log viewer",
    .OpenLogMenu = "Open log…",
    .OpenLogTitle = "Open log file",
    .PlotsTab = "Plots",
    .HitsTab = "Hit counts",
    .AutotuneTab = "Autotune",
    .AutotuneHint = "Autotune compares each wideband reading of the log with the AFR target of "
                    "its operating point and proposes a new map value for every cell with enough "
                    "readings. Nothing changes until you apply it in the autotune window, as one "
                    "step that Edit › Undo takes back.",
    .AutotuneButton = "Autotune with this log…",
    .ChannelsLabel = "Channels",
    .ValuesLabel = "Values at the cursor",
    .NameHeader = "Name",
    .ValueHeader = "Value",
    .UnitHeader = "Unit",
    .TimeName = "Time",
    .Play = "Play",
    .Pause = "Pause",
    .SpeedLabel = "Speed",
    .ReplayOnlineTip = "Online the pages show the unit's values; replay works offline only.",
    .ReplayTip = "Plays the log back; the pages follow it as they do online.",
    .MeasureLabel = "Colour by",
    .MeasureCount = "Hit count",
    .MeasureAfrError = "AFR error (measured − target)",
    .MeasureCorrection = "Mean correction",
    .HitsAxis = "% \\ rpm",
    .NoWideband = "The log has no wideband columns: AFR and AFR error are not available.",
    .NoDataSet = "No data set is open: without its sites and AFR targets the viewer shows no "
                 "targets and no hits. Open the data set the log was driven with, or read it "
                 "from the unit.",
    .NoTarget = "NC",
    .EmptyLog = "The log holds no data lines.",
    .ErrorCaption = "Error",
    .AfrTargetName = "AFR target",
};

}  // namespace

const TLogViewTexts& LogViewTexts(Language lang) {
    return lang == Language::German ? kGerman : kEnglish;
}

}  // namespace zv
