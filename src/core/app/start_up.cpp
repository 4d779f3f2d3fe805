// Start-up and tear-down rules of the settings: which value is read when, with which default.
#include "app/start_up.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "config/key_control.h"

namespace zv {

namespace {

const char* const kOptions = "Options";
const char* const kFiles = "Files";
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool EnterFolder(const std::string& dir) {
    std::error_code ec;
    std::filesystem::current_path(PathOf(dir), ec);
    return !ec;
}

Language LanguageSetting(TSettings& settings, int userLanguageId) {
    const std::string stored = Lower(settings.s_ReadString(kOptions, "Language", "error"));
    if (stored == "error") {
        // First start: the store remembers English, but this run follows the user's language.
        settings.v_WriteString(kOptions, "Language", "english");
        return userLanguageId == kGermanLanguageId ? Language::German : Language::English;
    }
    return stored == "german" ? Language::German : Language::English;
}

std::vector<std::string> RecentFilesSetting(TSettings& settings) {
    std::vector<std::string> files;
    for (int n = 0; n < kRecentFileSlots; ++n) {
        const std::string path = settings.s_ReadString(kFiles, "Name" + std::to_string(n), "ERROR");
        if (path.find("ERROR") != std::string::npos)
            break;
        if (path.empty())
            continue;
        const bool known = std::any_of(
            files.begin(), files.end(),
            [&path](const std::string& entry) { return entry.find(path) != std::string::npos; });
        if (!known)
            files.push_back(path);
    }
    return files;
}

// A code the key configuration could never have stored (Esc, Tab, a navigation key, one beyond
// a byte) would take that key from the pages; it is replaced by the default, as a value that
// cannot be read is.
int StepKeySetting(TSettings& settings, const char* name, int defaultCode) {
    const int code = settings.i_ReadInteger(kOptions, name, defaultCode);
    if (IsStepKeyCode(code))
        return code;
    settings.v_WriteInteger(kOptions, name, defaultCode);
    return defaultCode;
}

}  // namespace

std::string DataFolderOf(const std::string& userPath) {
    std::string dir = userPath;
    for (const char* part : {"Brenvik-Zevrin-plus", "Data"}) {
        dir += kSeparator;
        dir += part;
    }
    return dir;
}

std::string DefaultRecentDir(const std::string& userPath) {
    return DataFolderOf(userPath) + kSeparator + "MyCar" + kSeparator;
}

TStartSettings LoadSettings(TSettings& settings, const TStartEnvironment& env) {
    TStartSettings s;
    settings.v_WriteString("Date", "Lastuse", env.NowText);

    // Port 0 is no port; a number no COM port has (a negative one too) reads as none.
    s.Port = settings.i_ReadInteger("Com", "Port", 0);
    if (s.Port >= 100 || s.Port < 0)
        s.Port = 0;
    s.SimulatedUnit = settings.f_ReadBool("Com", "SimulatedUnit", false);

    const std::string defaultDir = DefaultRecentDir(env.UserPath);
    s.RecentDir = settings.s_ReadString(kOptions, "RecentDir", defaultDir);
    if (!EnterFolder(s.RecentDir))
        s.RecentDir = defaultDir;

    s.Lang = LanguageSetting(settings, env.UserLanguageId);
    s.WBO2DispOnF = settings.f_ReadBool(kOptions, "WBO2DispOnF", false);
    s.WBO2DispAfrMaster = settings.f_ReadBool(kOptions, "WBO2DispAfrMaster", false);
    s.WindowState = WindowStateOf(settings.s_ReadString(kOptions, "Windowstate", "maximized"));
    s.NormalPlace = WindowPlaceOf(settings.s_ReadString(kOptions, "WindowNormalPlace", ""));
    s.BackupBeforeDownload = settings.f_ReadBool(kOptions, "BackupBeforeDownload", true);
    s.KeyUpSmallCode = StepKeySetting(settings, "KeyUpSmallCode", kDefaultKeyUpSmallCode);
    s.KeyDownSmallCode = StepKeySetting(settings, "KeyDownSmallCode", kDefaultKeyDownSmallCode);
    s.RecentFiles = RecentFilesSetting(settings);
    return s;
}

std::optional<TWindowRect> WindowPlaceOf(const std::string& text) {
    TWindowRect p;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &p.X, &p.Y, &p.Width, &p.Height, &rest) != 4 ||
        p.Width < 1 || p.Height < 1)
        return std::nullopt;
    return p;
}

std::string WindowPlaceText(const TWindowRect& place) {
    return std::to_string(place.X) + "," + std::to_string(place.Y) + "," +
           std::to_string(place.Width) + "," + std::to_string(place.Height);
}

TWindowRect NormalWindowPlace(const std::optional<TWindowRect>& stored,
                               const TWindowRect& available) {
    if (!stored || stored->Width > available.Width || stored->Height > available.Height) {
        const int width = available.Width * 4 / 5;
        const int height = available.Height * 4 / 5;
        return {available.X + (available.Width - width) / 2,
                available.Y + (available.Height - height) / 2, width, height};
    }
    TWindowRect p = *stored;
    p.X = std::clamp(p.X, available.X, available.X + available.Width - p.Width);
    p.Y = std::clamp(p.Y, available.Y, available.Y + available.Height - p.Height);
    return p;
}

TWindowState WindowStateOf(const std::string& text) {
    if (text == "Normal")
        return TWindowState::Normal;
    if (text == "Minimized")
        return TWindowState::Minimized;
    return TWindowState::Maximized;
}

const char* WindowStateName(TWindowState state) {
    switch (state) {
        case TWindowState::Normal:
            return "Normal";
        case TWindowState::Minimized:
            return "Minimized";
        case TWindowState::Maximized:
            break;
    }
    return "Maximized";
}

bool SaveRecentFiles(TSettings& settings, const std::vector<std::string>& files, int numFiles) {
    for (int i = 0; i < kRecentFileSlots; ++i) {
        const auto index = static_cast<std::size_t>(i);
        settings.v_WriteString(kFiles, "Name" + std::to_string(i),
                               index < files.size() ? files[index] : "");
    }
    settings.v_WriteInteger(kFiles, "NumFiles", numFiles);
    return settings.Flush();
}

std::string RecentFileCaption(int k, const std::string& path) {
    // Menus take "&" as the mark of the mnemonic; "&&" shows the path's own ampersand.
    std::string shown;
    for (char c : path) {
        shown += c;
        if (c == '&')
            shown += '&';
    }
    return "&" + std::to_string(k) + "  " + shown;
}

std::string StartUpFile(const std::string& argument, const std::string& programDir) {
    if (argument.empty())
        return argument;
    const bool bare =
        argument.find('\\') == std::string::npos && argument.find('/') == std::string::npos;
    if (!bare) {
        // The recent folder becomes the current folder during start; a relative path must not
        // move with it.
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(PathOf(argument), ec).u8string();
        return ec ? argument : std::string(absolute.begin(), absolute.end());
    }
    std::string dir = programDir;
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += kSeparator;
    return dir + argument;
}

}  // namespace zv
