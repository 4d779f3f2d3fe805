#include "backup/backup_text.h"

#include <vector>

namespace zv {

namespace {

// Indexed by TBackupText.
const TextPair kTexts[] = {
    {"Sicherung wiederherstellen…", "Restore backup…"},
    {"Sicherung vor dem Schreiben", "Backup before download"},
    {"Sicherung wiederherstellen", "Restore backup"},
    {"Sicherungen des Geräts %1, die neueste zuerst:", "Backups of unit %1, newest first:"},
    {"Noch ist kein Gerät bekannt. Bitte zuerst online gehen (F5), damit das Programm die "
     "Seriennummer des Geräts kennt.",
     "No unit is known yet. Go online (F5) first, so that the program knows the unit's serial "
     "number."},
    {"Vom Gerät %1 gibt es keine Sicherung in\r\n%2", "There is no backup of unit %1 in\r\n%2"},
    {"Die Sicherung vom %1 in das Gerät %2 herunterladen?\r\nAchtung: Die Gerätedaten werden "
     "überschrieben!",
     "Download the backup of %1 into unit %2?\r\nNote: Device data will be overwritten!"},
    {"Das Gerät hat seine Daten nicht vollständig gesendet.",
     "The unit did not send all of its data."},
    {"Die Sicherung konnte nicht gespeichert werden: %1", "The backup could not be saved: %1"},
    {"Die Sicherung der Gerätedaten ist fehlgeschlagen.\r\n%1\r\nTrotzdem ohne Sicherung "
     "herunterladen?\r\nAchtung: Die Gerätedaten werden überschrieben!",
     "The backup of the device data failed.\r\n%1\r\nDownload anyway, without a backup?\r\nNote: "
     "Device data will be overwritten!"},
    {"Die Sicherung der Gerätedaten ist fehlgeschlagen.\r\n%1\r\nIn das Gerät wurde nichts "
     "geschrieben.",
     "The backup of the device data failed.\r\n%1\r\nNothing was written to the unit."},
    {"Sicherung des Geräts %1 vor dem Herunterladen, %2", "Backup of unit %1 before a download, %2"},
    {"Sicherung gespeichert: %1", "Backup saved: %1"},
    {"Die Sicherung %1 ist unvollständig oder fehlerhaft und wird nicht zurückgeschrieben:\r\n%2\r\n"
     "In das Gerät wurde nichts geschrieben.",
     "The backup %1 is incomplete or damaged and is not restored:\r\n%2\r\nNothing was written to the "
     "unit."},
    {"Die Datei kann nicht gelesen werden.", "The file cannot be read."},
    {"Es fehlen Einträge.", "Entries are missing."},
    {"Die Sicherung gehört zum Gerät %1, angeschlossen ist aber das Gerät %2.\r\nIn das Gerät wurde "
     "nichts geschrieben.",
     "The backup belongs to unit %1, but the unit connected is %2.\r\nNothing was written to the unit."},
    {"Stützstellen, Kurven oder Parameter im Gerät weichen vom Datensatz im PC ab: %1.\r\nNur die "
     "Kennfelder herunterzuladen ließe sie im Gerät, wie sie sind.\r\nDen ganzen Datensatz "
     "herunterladen? Bei Nein wird nichts geschrieben.",
     "The unit's sites, curves or parameters differ from the PC's data set: %1.\r\nDownloading the "
     "maps only would leave them in the unit as they are.\r\nDownload the whole data set? With No "
     "nothing is written."},
};
static_assert(std::size(kTexts) == static_cast<std::size_t>(TBackupText::UnitDiffers) + 1);

}  // namespace

const char* BackupText(TBackupText item, Language lang) {
    return kTexts[static_cast<std::size_t>(item)].Pick(lang);
}

std::string BackupFileNameOf(const std::string& path) {
    // Either separator: the program runs on Windows, and a path may come from there.
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

TStatusNote BackupSavedNote(const std::string& path, Language lang) {
    const std::string name = BackupFileNameOf(path);
    const char* pattern = BackupText(TBackupText::Saved, lang);
    return {FillIn(pattern, {name}), FillIn(pattern, {path})};
}

std::string FillIn(const std::string& pattern, std::initializer_list<std::string> values) {
    const std::vector<std::string> list(values);
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto n = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n < list.size()) {
            out += list[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace zv
