#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv {

// A speed button of the main window's control panel.
struct TButtonState {
    bool Visible = true;
    bool Enabled = false;
    bool Down = false;

    bool operator==(const TButtonState&) const = default;
};

// What the link states and the control refresh decide about the main window's controls.
struct TMainControls {
    TButtonState F5, F7, F8, F9, F10, F11, Logger;
    bool ConnectMenuChecked = false;  // MenuOffOnLine
    bool IdleMenuChecked = false;     // MenuIdleOnOff
    bool LambdaMenuChecked = false;   // MenuLambdaOnOff (F10 and F11)
    bool LoggerMenuEnabled = false;
    bool LoggerMenuChecked = false;
    bool TransferButtonsEnabled = false;   // the editors' "send to unit" buttons
    bool ShiftLampDefaultEnabled = false;
    bool SaveAsEnabled = false;
    bool SitesButtonVisible = false;       // on the fuel map page
    bool MapLiveCursor = false;
    bool MapManualCursor = false;
    bool IdleChartsLiveCursor = false;     // old idle and idle charts
    bool IdleChartsManualCursor = false;
    bool CurveChartsLiveCursor = false;    // shift lamp, temperature and GP charts
    bool DataPanelVisible = false;
    bool NarrowBandPanelVisible = false;
    bool WideBandPanelVisible = false;
    int LoggerPanelTop = 195;              // the logger panel and the lambda buttons stack down
    int WideBandButtonTop = 195;
    bool IdleContactShows50Hz = false;     // the idle-contact label reads "50Hz"
};

// The progress bar under the status panel.
struct TGaugeState {
    int Position = 0;
    int Max = 0;
    std::uint32_t BarColour = 0x800080;  // RGB
    bool operator==(const TGaugeState&) const = default;
};

namespace colour {
constexpr std::uint32_t Purple = 0x800080;
constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Green = 0x008000;
}  // namespace colour

// The text panels of the link.
struct TLinkPanels {
    std::string ComState;
    std::string DeviceType;
    std::string SerialNo;
    std::string VerLevel;
};

// The serial port menu: the simulated unit, then one item per port present; the configured
// one checked.
struct TPortMenu {
    std::vector<std::string> Items;
    std::string Checked;
};

}  // namespace zv
