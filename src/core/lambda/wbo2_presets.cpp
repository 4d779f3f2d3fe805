#include "lambda/wbo2_presets.h"

#include <algorithm>

#include "history/image_changes.h"
#include "history/step_names.h"
#include "pages/page_host.h"

namespace zv {

namespace {

// Target AFR per cell [t][r], both site indices ascending; 255 means no closed-loop control.
using TAfrTable = std::array<std::array<double, 16>, 16>;
constexpr double kNC = 255.0;

// "Standard 1"
constexpr TAfrTable kStandard1 = {{
    {14.7, 14.7, 14.7, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC},
    {14.7, 14.7, 14.7, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.4, 14.0,
     14.0},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.4, 13.8,
     13.9},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.4, 13.9,
     13.8},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.0, 13.9,
     13.8},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.0, 13.9,
     13.8},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.0, 13.9,
     13.8},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.0, 13.9,
     13.8},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.0, 13.9,
     13.8},
    {14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.2, 14.0, 13.9,
     13.4},
    {13.4, 13.4, 13.3, 13.3, 13.3, 13.3, 13.2, 13.2, 13.2, 13.2, 13.1, 13.1, 13.1, 13.1, 13.0,
     13.0},
    {13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.0, 13.0, 12.9, 12.9, 12.9, 12.9, 12.9, 12.8,
     12.8},
    {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6,
     12.6},
    {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6, 12.6, 12.6, 12.5,
     12.5},
    {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6, 12.6, 12.6, 12.5,
     12.4},
}};

// "Race 1"
constexpr TAfrTable kRace1 = {{
    {14.0, 14.0, 14.0, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC},
    {14.0, 14.0, 14.0, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC},
    {13.9, 13.9, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0,
     14.0},
    {13.8, 13.8, 13.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 14.0, 13.9,
     13.9},
    {13.8, 13.8, 13.7, 13.7, 13.7, 13.7, 13.7, 14.0, 14.0, 14.0, 14.0, 14.7, 14.0, 14.0, 13.9,
     13.8},
    {13.7, 13.6, 13.7, 14.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 14.0, 14.7, 14.0, 14.0, 13.9,
     13.8},
    {13.7, 13.6, 13.3, 13.3, 13.3, 13.3, 13.2, 13.2, 13.2, 13.2, 13.1, 13.1, 13.1, 13.1, 13.0,
     13.0},
    {13.6, 13.5, 13.3, 13.3, 13.3, 13.3, 13.2, 13.2, 13.2, 13.2, 13.1, 13.1, 13.1, 13.1, 13.0,
     13.0},
    {13.4, 13.4, 13.3, 13.3, 13.3, 13.3, 13.2, 13.2, 13.2, 13.2, 13.1, 13.1, 13.1, 13.1, 13.0,
     13.0},
    {13.4, 13.4, 13.3, 13.3, 13.3, 13.3, 13.2, 13.2, 13.2, 13.2, 13.1, 13.1, 13.1, 13.1, 13.0,
     13.0},
    {13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.0, 13.0, 12.9, 12.9, 12.9, 12.9, 12.9, 12.8,
     12.8},
    {13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.1, 13.0, 13.0, 12.9, 12.9, 12.9, 12.9, 12.9, 12.8,
     12.8},
    {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.7, 12.7, 12.6,
     12.6},
    {13.0, 13.0, 13.0, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7, 12.6, 12.6, 12.6, 12.6, 12.5, 12.5,
     12.4},
    {12.6, 12.6, 12.6, 12.6, 12.6, 12.6, 12.5, 12.5, 12.5, 12.4, 12.4, 12.4, 12.4, 12.4, 12.3,
     12.2},
    {12.6, 12.6, 12.6, 12.6, 12.6, 12.6, 12.5, 12.5, 12.5, 12.4, 12.4, 12.4, 12.4, 12.4, 12.3,
     12.2},
}};

// "Mild"
constexpr TAfrTable kMild = {{
    {14.7, 14.7, 14.7, 14.7, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC},
    {14.7, 14.7, 14.7, 14.7, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC, kNC},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.3, 14.0, 14.0,
     14.0},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.3, 14.0, 13.8,
     13.8},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.3, 14.0, 13.8,
     13.7},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.3, 14.0, 13.6,
     13.5},
    {14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.7, 14.3, 14.8, 13.5,
     13.6},
    {14.0, 14.0, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.3, 13.8, 13.4,
     13.5},
    {13.8, 13.8, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.7, 13.3, 13.8, 13.4,
     13.4},
    {13.6, 13.7, 13.7, 13.7, 13.5, 13.4, 13.0, 13.7, 13.7, 13.5, 13.4, 13.4, 13.3, 13.8, 12.5,
     13.3},
    {13.4, 13.3, 13.2, 13.2, 13.2, 13.1, 13.0, 13.0, 13.9, 13.9, 13.9, 13.8, 13.8, 13.6, 13.6,
     13.2},
    {13.2, 13.2, 13.1, 13.1, 13.0, 13.0, 13.0, 13.9, 13.8, 13.8, 13.7, 13.7, 13.7, 13.3, 13.2,
     13.1},
    {13.1, 13.0, 13.9, 13.9, 13.8, 13.8, 13.7, 13.7, 13.6, 13.6, 13.5, 13.5, 13.4, 13.1, 13.0,
     13.0},
    {13.1, 13.1, 13.9, 13.9, 13.8, 13.8, 13.7, 13.7, 13.6, 13.6, 13.5, 13.5, 13.4, 12.9, 12.9,
     12.8},
    {13.1, 13.1, 13.1, 13.0, 13.0, 13.0, 12.9, 12.9, 12.9, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7,
     12.6},
    {13.0, 13.0, 13.0, 13.0, 13.0, 13.0, 12.9, 12.9, 12.8, 12.8, 12.8, 12.8, 12.7, 12.7, 12.7,
     12.6},
}};

// Preset 3 takes the full-load rows of "Race 1" only.
constexpr std::size_t kWotFirstRow = 12;

void FillFromTable(const TAfrTable& table, ByteGrid& grid, std::size_t firstRow) {
    for (std::size_t t = 0; t < 16; ++t)
        for (std::size_t r = 0; r < 16; ++r)
            grid[t][r] = AfrTargetByte(t >= firstRow ? table[t][r] : kNC);
}

}  // namespace

std::array<std::string, kWBO2PresetCount> WBO2PresetNames(Language lang) {
    if (lang == Language::German)
        return {"...",     "Standard 1", "Sport 1", "Sport 1, nur Vollast", "Mild (Serienmotor)",
                "Alle aus"};
    return {"...", "Standard 1", "Race 1", "Race 1 WOT only", "Mild", "All off"};
}

std::uint8_t AfrTargetByte(double afr) {
    const auto tenths = static_cast<long>((afr + 0.02) * 10);
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(tenths & 0xFF) - 105);
}

bool WBO2PresetGrid(int preset, ByteGrid& grid) {
    switch (preset) {
        case 1:
            FillFromTable(kStandard1, grid, 0);
            return true;
        case 2:
            FillFromTable(kRace1, grid, 0);
            return true;
        case 3:
            FillFromTable(kRace1, grid, kWotFirstRow);
            return true;
        case 4:
            FillFromTable(kMild, grid, 0);
            return true;
        case kWBO2PresetAllOff:
            FillFromTable(kRace1, grid, 16);
            return true;
        default:
            return false;
    }
}

// The whole image is rebuilt from the edit fields; what that changed is one undo step.
void LoadWBO2Preset(TPageHost& host, int preset) {
    host.SwitchOfflineIfOnline();
    TZVDataClass& data = host.Data();
    const ImageBytes before = data.DeviceData.Image;
    WBO2PresetGrid(preset, data.AfrMap);
    data.Loaded = 1;
    data.DeviceData.DeviceValid = 0;
    data.FieldsToImage();
    data.FileImageToDevice();
    const auto index = static_cast<std::size_t>(std::clamp(preset, 0, kWBO2PresetCount - 1));
    const std::string german = WBO2PresetNames(Language::German).at(index);
    const std::string english = WBO2PresetNames(Language::English).at(index);
    TEditStep step(host.History(),
                   NameStep(stepname::WideBandPreset, TextPair{german.c_str(), english.c_str()}));
    RecordImageChanges(host.History(), before, data.DeviceData.Image, data.DeviceData.Firmware);
}

}  // namespace zv
