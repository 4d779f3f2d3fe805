#include "text/text_table.h"

namespace zv {

namespace {

// Main text table: messages, captions, menu texts and hints, addressed by pair index.
const TextPair kMainText[kMainTextCount] = {
    {"Öffnen", "Open"},  // 0
    {"Speichern unter..", "Save as.."},  // 1
    {"Kennfeld-Dateien (*.zvt)|*.zvt|Alle Dateien (*.*)|*.*", "Zevrin data files(*.zvt)|*.zvt|All files (*.*)|*.*"},  // 2
    {"Fehler", "Error"},  // 3
    {"Warnung", "Warning"},  // 4
    {"Bestätigung", "Confirmation"},  // 5
    {"Information", "Information"},  // 6
    {"Datenloggern abbrechen?", "Quit Data Logging?"},  // 7
    {"Daten wurden geändert", "Data Changed"},  // 8
    {"Keine gültige Zevrin plus Parameterdatei", "Not a valid Zevrin file"},  // 9
    {"Unbekannte Serialnummer!!! Bitte neuere Programmversion verwenden.", "Unknown serial number!!! Please use newer pc program."},  // 10
    {"Sektion '%s' nicht gefunden. Setze Defaultwerte... ", "Section '%s' not found. Set Default.. "},  // 11
    {"Alte Fileversion wurde Aktualisiert..", "Old file version has been updated.. "},  // 12
    {"Wert für Parameter '%s' zu klein!\r\nGültiger Wertebereich: '%d'...'%d'.\r\nSetze Standardwert '%d'.", "Value of parameter '%s' too small!\r\nValid range is: '%d'...'%d'.\r\nSet default '%d'."},  // 13
    {"Wert für Parameter '%s' zu groß!\r\nGültiger Wertebereich: '%d'...'%d'.\r\nSetze Standardwert '%d'.", "Value of parameter '%s' too big!\r\nValid range is: '%d'...'%d'.\r\nSet default '%d'."},  // 14
    {"Datei existiert: '%s'. Überschreiben?", "File exist: '%s'. Overwrite?"},  // 15
    {"Daten wurden geändert! Speichern?", "Data have been changed! Save first?"},  // 16
    {"Gerätedaten unterschiedlich zu Datei!\r\nTrotzdem laden?\r\nAchtung: Gerätedaten werden überschrieben!", "Device data do not match file data!\r\nLoad anyway?\r\nNote: Device data will be overwritten!"},  // 17
    {"Verbindungsfehler!", "Unable to establish communication to Zevrin plus unit!"},  // 18
    {"Nicht unterstütztes Gerät!", "Not supported device!"},  // 19
    {"&Datei", "&File"},  // 20
    {"&Dateioperationen", "&File procedures"},  // 21
    {"&Neu", "&New"},  // 22
    {"&Neue Zevrin-Datei erzeugen", "&Create a new Zevrin file"},  // 23
    {"&Oeffnen", "&Open"},  // 24
    {"&Oeffnen einer Zevrin-Datei", "&Open an Zevrin file"},  // 25
    {"&Speichern", "&Save"},  // 26
    {"&Speichern der Daten in einer Zevrin-Datei", "&Save data in Zevrin file"},  // 27
    {"Speichern als..", "Save as.."},  // 28
    {"Speichern der Zevrin-Datei unter einem anderen Namen", "Save the Zevrin file with a different name"},  // 29
    {"Drucken", "&Print"},  // 30
    {"Drucken der Zevrin Daten", "&Print data"},  // 31
    {"Druckereinstellung", "Printer adjust"},  // 32
    {"Druckereinstellung", "Printer adjustment"},  // 33
    {"Beenden", "Close"},  // 34
    {"Programm beenden", "Close Application"},  // 35
    {"Diese Zevrin-Datei laden", "Load this Zevrin file"},  // 36
    {"&Einstellungen", "Settings"},  // 37
    {"Schnittstelle", "Com Port"},  // 38
    {"Sprache", "Language"},  // 39
    {"Englisch", "English"},  // 40
    {"Deutsch", "German"},  // 41
    {"Tasten Konfiguration", "Key configuration"},  // 42
    {"Konfiguration Eingänge", "Input configuration"},  // 43
    {"Verbinden", "Connect"},  // 44
    {"Daten schreiben", "Data Download"},  // 45
    {"Daten lesen", "Data Upload"},  // 46
    {"Leerlaufsteller", "Idle control"},  // 47
    {"Lambdaregelung", "Lambda control"},  // 48
    {"Datenlogger", "Data Logger"},  // 49
    {"&Fenster", "&Window"},  // 50
    {"Über", "About"},  // 51
    {"Info", "Info"},  // 52
    {"Drehzahl  [U/min]", "Engine speed [rpm]"},  // 53
    {"Drosselklappe [V]", "TPS load      [V]"},  // 54
    {"Ausgang [%]", "Output [%]"},  // 55
    {"Voll.", "WOT"},  // 56
    {"Leerl.", "Idle"},  // 57
    {"50Hz", "50Hz"},  // 58
    {"Seitenauswahl", "Page selection"},  // 59
    {"Feld", "Site value"},  // 60
    {"Ausgang", "Output"},  // 61
    {"(ALT-F4) Program Beenden", "(ALT-F4) Close Application"},  // 62
    {"Daten sichern", "Save data"},  // 63
    {"Eine Zevrin Datei öffnen", "Open an Zevrin file"},  // 64
    {"Neue Zevrin Datei erzeugen", "Create a new Zevrin file"},  // 65
    {"(F5) Verbindung zum Steuergerät aufbauen", "(F5) Go online to Zevrin Controller"},  // 66
    {"(F7) Kompletter Daten upload", "(F7) Upload entire data"},  // 67
    {"(F8) Kompletter Daten download", "(F8) Download entire data"},  // 68
    {"Leerlaufsteller ein-/ausschalten", "Enable/Disable Idle function"},  // 69
    {"(F10) Lambdaregelung Ein-/Ausschalten", "Enable/Disable closed loop NB lambda control"},  // 70
    {"(F11) Lambda-Breitbandregelung Ein-/Ausschalten", "Enable/Disable closed loop WBO2 controller"},  // 71
    {"Datenlogger ein-/ausschalten", "Switch Data logger on/off"},  // 72
};

const TextPair kPageNames[kPageCount] = {
    {"Intro", "Intro"},  // 0
    {"Kennfeld", "Fuel Map"},  // 1
    {"Leerlaufsteller - Typ A", "Idle Control - Type A"},  // 2
    {"Leerlaufsteller", "Idle Control"},  // 3
    {"Lambda-Sprungregelung", "Z/V Narrow Band Lambda"},  // 4
    {"Breitbandlambdaregelung", "Wideband Lambda Control"},  // 5
    {"Parameter", "Parameters"},  // 6
    {"Analoger Eingang Pin E", "Analog input pin E"},  // 7
    {"Analoger Eingang Pin F", "Analog input pin F"},  // 8
    {"Lampen Ausgänge", "Lamp Outputs"},  // 9
    {"Logger", "Logger"},  // 10
    {"Kommentar", "Comment"},  // 11
};

const char* const kDeviceTypes[kDeviceTypeCount] = {
    "***", "ZV_00000001", "ZV_00000002", "ZV_00000003", "ZV_00000004", "UNKNOWN",
};

const TextPair kReleaseDate = {"05.06.2018", "06|05|2018"};

const TextPair kEmptyPair = {"", ""};

}  // namespace

const TextPair& MainTextPair(int k) {
    if (k < 0 || k >= kMainTextCount) return kEmptyPair;
    return kMainText[k];
}

const char* Text(int k, Language lang) { return MainTextPair(k).Pick(lang); }

const char* PageName(int page, Language lang) {
    if (page < 0 || page >= kPageCount) return "";
    return kPageNames[page].Pick(lang);
}

const char* DeviceTypeName(int type) {
    if (type < 0 || type >= kDeviceTypeCount) return "";
    return kDeviceTypes[type];
}

const TextPair& ReleaseDate() { return kReleaseDate; }

std::string WithoutMnemonic(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

}  // namespace zv
