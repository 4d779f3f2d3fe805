#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cells/cell_block.h"
#include "editors/lambda_trace.h"
#include "editors/wideband_readout.h"
#include "pages/page.h"
#include "pages/panel_colour.h"

namespace zv {

class TPageHost;

// Edit fields: 0..10 the controller's parameters (5 is not used), 11 the target map grid.
constexpr int kWBO2FieldCount = 12;
constexpr int kWBO2GridField = 11;
// The grid: a header row and column around the 16 x 16 target map.
constexpr int kWBO2GridSize = 17;
constexpr int kWBO2SensorUnitCount = 8;
constexpr int kWBO2Page = 5;

struct TWBO2FormTexts {
    std::array<std::string, kWBO2SensorUnitCount> UnitItems;
    std::array<std::string, 6> PresetItems;
    std::string SensorGroup, SensorComboLabel, ParamGroup, KpLabel, KiLabel, IntLimitUpLabel,
        IntLimitDownLabel, TargetLabel, StartupDispLabel, LowLimLabel, UpLimLabel, ActiveLabel,
        LockoutHint, Legend, LegendSensor, LegendController, CompUpper, CompLower,
        ErrorOnIntegratorLabel, ViewButton, MapDownloadButton, MapDownloadHint;
    // Captions of the panels the window names only by their values.
    std::string AfrAt0VLabel, AfrAt5VLabel, ErrorLowLabel, ErrorHighLabel, OutValueAtUpLimitLabel,
        PresetLabel, StartupCountLabel;
    std::vector<TBlockMenuItem> BlockMenu;
    TDebounceTexts Debounce;
    // Captions of our own: the error limits' AFR column and the startup count.
    std::string ErrorAfrCaption, StartupCountCaption;
    // Hover texts: of the edit fields (by field, the grid's at 11), the error limits' AFR
    // panels, the error-on-overrun button and the startup count.
    std::array<std::string, kWBO2FieldCount> Tips;
    std::string ErrorAfrTip, ErrorOnIntegratorTip, StartupCountTip;
    // Captions that follow the controller's state.
    std::string StartupLabel, LockoutLabel, ErrorOnIntegratorButton;
};

struct TWBO2Leds {
    bool Active = false, Startup = false, Lockout = false, UpLim = false, LowLim = false,
         OutValueAtUpLimit = false;
};

using TWBO2Grid = std::array<std::array<std::string, kWBO2GridSize>, kWBO2GridSize>;  // [row][col]

// Everything the wideband lambda page shows.
struct TWBO2FormState {
    // Panel texts by edit field; 3 and 4 are the error limits in volts.
    std::array<std::string, kWBO2FieldCount> Values;
    std::string AfrLowLimit, AfrHighLimit;  // the error limits as AFR
    std::array<TPanelColour, kWBO2FieldCount> Looks{};
    bool ScaleGrey = false;  // the sensor unit fixes the scale: its panels in grey
    int Selected = 0;
    int SensorUnit = 0;  // WBO2UnitComboBox
    int Preset = 0;      // WBO2DefaultMapComboBox
    TWBO2Grid Grid;
    int GridCol = 1, GridRow = 1;   // the current cell, 1..16
    TCellRect Selection;            // the block of the grid, in site indices (0 = lowest)
    std::string AxisLow, AxisHigh;  // the plot's AFR at 0 V and at 5 V
    bool ErrorOnIntegratorVisible = false;
    bool ErrorOnIntegratorDown = false;
    TDebounceDisplay Debounce;
    TWidebandReadoutState Wideband;
    std::string AfrTarget, StartupCount, CompValue;
    TWBO2Leds Leds;
    bool PlotShown = true;
    bool MapDownloadEnabled = false;
    TWBO2FormTexts Texts;
};

// The wideband lambda page, 5: the closed-loop controller's parameters, the declared sensor
// unit with the AFR scale it implies, the 16 x 16 AFR target map with its presets, the live
// reading smoothed, the controller's state, and a scrolling plot of reading and target.
class TWBO2Form : public TPage {
  public:
    explicit TWBO2Form(TPageHost& host);

    void LoadFromImage() override;
    void ShowLiveFrame(const TLiveRecord& record) override;
    void ShowPage() override;
    void RefreshPage() override;
    void SetLanguage(Language lang) override;
    void HandleKey(std::uint8_t key) override;
    std::optional<TClipPlace> ClipPlace() const override;
    // Shift+arrows on the grid grow or shrink its block from the current cell.
    void HandleShiftKey(std::uint8_t key) override;

    const TWBO2FormState& State();
    // The grid's block in site indices (a single cell: the current one).
    TCellRect Selection() const { return block_.Rect(); }
    TCellBlock& Block() { return block_; }

    void ShowSensorScale();
    void FillMapGrid();
    void ChangeParameter(int step);
    void ChangeMapCell(int step);
    void ChangeMapBlock(int step);

    // Event handlers of the window.
    void PanelClick(int field);
    void GridClick(int col, int row);  // mouse-up on a cell; row 0 and column 0 are headers
    // The right button outside the block moves the cursor there first, as on the map table.
    void GridContextClick(int col, int row);
    void GridKeyDown(std::uint8_t key);
    // A drag over the grid from the cell where it began to the one under the mouse.
    void GridDrag(int anchorCol, int anchorRow, int col, int row);
    // An entry of the block menu or its key.
    void BlockCommand(TBlockOp op);
    void WBO2UnitComboBoxChange(int index);
    void WBO2DefaultMapComboBoxChange(int index);
    void WBO2SetErrorOnIntegratorButtonClick();
    void MapDownloadButtonClick();
    void ViewModeSpeedButtonClick();
    void DebounceScrollBarScroll(int position);
    void WBOMasterLCDDblClick();
    // The plot timer (200 ms) for a box of that size; it stops itself off this page.
    TTraceDraw Timer1Tick(int width, int height);
    bool Timer1Enabled() const { return timer1Enabled_; }
    int PlotColumn() const { return column_; }

  private:
    void SetTips(Language lang);
    int UnitIndex() const;
    std::size_t CurrentCellOffset() const;
    void ShowParameters();
    void ShowErrorLimits();
    void HighlightSelection();
    int NextField(int field) const;
    void MoveCell(int dcol, int drow);
    void ExtendBlock(int dcol, int drow);
    void CollapseBlock();
    void MoveToOperatingPoint(const TLiveRecord& record);
    void ShowControllerState(const TLiveRecord& record);
    void ShowStateCaptions();
    void AddSample(TTraceDraw& draw, const TLiveRecord& record, int variant, int height);

    TPageHost& host_;
    TWBO2FormState state_;
    TWidebandReadout wideband_;
    bool timer1Enabled_ = false;
    int column_ = 1;
    // Previous plot values of the sensor and the target trace, for each live record variant
    // (firmware 24..36 and above 36).
    std::array<std::array<std::uint8_t, 2>, 2> previous_{};
    // The last live record's state: the startup done and the map cell locked out.
    bool startupDone_ = false;
    bool lockout_ = true;
    TCellBlock block_;
};

}  // namespace zv
