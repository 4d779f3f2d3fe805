#pragma once

#include <optional>
#include <string>
#include <vector>

#include "seams/settings.h"
#include "text/text_table.h"

namespace zv {

// What the start-up needs to know about the machine and the user; the window system gives it.
struct TStartEnvironment {
    std::string UserPath;    // the user's documents folder (GetUserPath)
    int UserLanguageId = 0;  // the user's default language identifier; 1031 is German
    std::string NowText;     // the current date and time in the system's short format
};

enum class TWindowState { Normal, Minimized, Maximized };

// Where the window stood when it was last neither maximised nor minimised (the frame's inner
// rectangle, in screen pixels), so that a normal window comes back where the operator put it.
struct TWindowRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool operator==(const TWindowRect&) const = default;
};

constexpr int kRecentFileSlots = 6;  // Files / Name0 .. Name5
constexpr int kGermanLanguageId = 1031;

// The settings as the main window takes them at start.
struct TStartSettings {
    int Port = 0;
    bool SimulatedUnit = false;  // Com/SimulatedUnit: the built-in unit was chosen
    std::string RecentDir;
    Language Lang = Language::English;
    bool WBO2DispOnF = false;
    bool WBO2DispAfrMaster = false;
    TWindowState WindowState = TWindowState::Maximized;
    std::optional<TWindowRect> NormalPlace;  // nothing when never stored or not readable
    bool BackupBeforeDownload = true;
    int KeyUpSmallCode = 65;
    int KeyDownSmallCode = 63;
    std::vector<std::string> RecentFiles;  // most recent first, each path once
};

// The documents folder followed by Brenvik-Zevrin-plus, Data and MyCar, with a final separator.
std::string DefaultRecentDir(const std::string& userPath);
// Where the program keeps its data files: the folder above the default recent folder's car
// folder, so that it stays one place whichever folder the operator works in.
std::string DataFolderOf(const std::string& userPath);

// Reads every setting of the start in its order, writes Lastuse and the defaults of missing
// values, and enters the recent folder as the process's current folder (the default folder
// when the stored one cannot be entered).
TStartSettings LoadSettings(TSettings& settings, const TStartEnvironment& env);

// "x,y,width,height" as stored; nothing for any other text or a size below 1.
std::optional<TWindowRect> WindowPlaceOf(const std::string& text);
std::string WindowPlaceText(const TWindowRect& place);
// Where a normal window opens in the screen's free area: the stored place when its size fits,
// moved inside the area where it sticks out (another screen, a smaller one); otherwise four
// fifths of the area, centred.
TWindowRect NormalWindowPlace(const std::optional<TWindowRect>& stored,
                               const TWindowRect& available);

// "Normal" and "Minimized" as stored; any other text restores a maximized window.
TWindowState WindowStateOf(const std::string& text);
const char* WindowStateName(TWindowState state);

// Writes the list as Name0.., empties the further slots and writes NumFiles. False when the
// store could not keep it.
bool SaveRecentFiles(TSettings& settings, const std::vector<std::string>& files, int numFiles);

// Caption of the k-th recent-file menu item (k from 1): "&k  path", the path's own "&"
// doubled so that the menu shows it.
std::string RecentFileCaption(int k, const std::string& path);

// The data file named on the command line: a bare name (no folder in it) is looked for in the
// program's own folder.
std::string StartUpFile(const std::string& argument, const std::string& programDir);

}  // namespace zv
