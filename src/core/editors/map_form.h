#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "cells/cell_block.h"
#include "editors/lambda_trace.h"
#include "editors/map_sites.h"
#include "editors/rev_adjust_dlg.h"
#include "editors/wideband_readout.h"
#include "pages/page.h"

namespace zv {

class TPageHost;

// The chart's colours, as 0xRRGGBB (the settings keep Windows colour values, 0x00BBGGRR).
struct TMapChartColours {
    std::uint32_t Background = 0x000000;
    std::uint32_t MapLines = 0xFF0000;
    std::uint32_t FrameLines = 0x808080;
    std::uint32_t XScale = 0x808000;           // throttle axis numbers
    std::uint32_t XHighLightScale = 0xFFFF00;  // the cursor's throttle site
    std::uint32_t ZScale = 0x008080;           // rpm axis numbers
    std::uint32_t ZHighLightScale = 0x00FFFF;  // the cursor's rpm site
};

// What the 3-D chart shows.
struct TMapChartState {
    const std::uint8_t* Map = nullptr;  // the image's 256 map bytes (FuelMapCell)
    TSites ThrottleSites{};             // as shown: lowest first, substitute when invalid
    TSites RpmSites{};
    std::array<int, 16> ThrottleLabels{};
    std::array<int, 16> RpmLabels{};
    std::string ThrottleUnit = "[%]";
    std::string RpmUnit;
    bool CursorVisible = false;
    int CursorT = 0;
    int CursorR = 0;
    TCellRect Selection;  // the block the keys and the block menu change; the cursor at a corner
    bool MarkerVisible = false;
    double MarkerT = 0.0;  // in site indices
    double MarkerR = 0.0;
    int MarkerHeight = 0;
    TMapChartColours Colours;
};

enum class TMapViewMode : std::uint8_t { MapOnly, MapO2 };

// Colours the operator can pick from the chart's menu.
enum class TChartColour : std::uint8_t { MapLines, Background, Frame };

struct TMapFormTexts {
    std::string RevAdjustButton, ManFieldValueLabel, AutoFieldValueLabel, MapDownloadHint,
        MenuMapLinesColor, MenuBGColor, MenuFrameColor, ViewButton, MapDownloadButton,
        TableButton;
    std::string CellTip;  // hover text of the map's cells
    std::vector<TBlockMenuItem> BlockMenu;
    TDebounceTexts Debounce;
};

// Everything the fuel map page shows.
struct TMapFormState {
    TMapChartState Chart;
    std::string ManMapValue;   // the cell under the cursor
    std::string AutoMapValue;  // the unit's output value of the last live record
    bool SitesButtonVisible = false;
    bool MapDownloadEnabled = false;
    TMapViewMode ViewMode = TMapViewMode::MapOnly;
    bool TableShown = true;
    TWidebandReadoutState Wideband;
    TDebounceDisplay Debounce;
    TTraceShape LLoShape, WBoShape;
    TMapFormTexts Texts;
};

// The fuel map editor, page 1: the 16 x 16 map over its throttle and rpm sites, edited cell by
// cell from the keyboard, every change written at once into the working image and, online, to
// the unit; the live operating point, the wideband readout and the lambda trace.
class TMapForm : public TPage {
  public:
    explicit TMapForm(TPageHost& host);

    void LoadFromImage() override;
    void ShowLiveFrame(const TLiveRecord& record) override;
    void ShowPage() override;
    void RefreshPage() override;
    void SetLanguage(Language lang) override;
    void HandleKey(std::uint8_t key) override;
    std::optional<TClipPlace> ClipPlace() const override;
    // Shift+arrows grow or shrink the block from the cursor; the other corner stays.
    void HandleShiftKey(std::uint8_t key) override;

    const TMapFormState& State();
    // The selected block of cells (a single cell: the cursor's).
    TCellRect Selection() const { return block_.Rect(); }
    // The right button on a cell outside the block moves the cursor there first, so that the
    // block menu acts on the cell it was opened on; inside the block the block stays.
    void CellContextClick(int t, int r);
    TCellBlock& Block() { return block_; }
    TRevAdjustDlg& RevAdjustDlg() { return revAdjust_; }

    // Event handlers of the window.
    void MapDownloadButtonClick();
    void RevAdjustButtonClick();
    void ViewModeSpeedButtonClick();
    void TableButtonClick();
    void ColourChosen(TChartColour which, std::uint32_t rgb);
    std::uint32_t ChartColour(TChartColour which) const;
    void DebounceScrollBarScroll(int position);
    void SwapLambdaAfrClick();
    // The trace timer (200 ms); width and height of the trace box.
    TTraceDraw Timer1Timer(int width, int height);
    // A click on a grid point of the chart or a cell of the table.
    void CellClick(int t, int r);
    // A drag over the table from the cell where it began to the one under the mouse.
    void CellDrag(int anchorT, int anchorR, int t, int r);
    // An entry of the block menu or its key.
    void BlockCommand(TBlockOp op);

    // The window opens the site dialog modally.
    std::function<void()> OpenRevAdjust;

  private:
    void ReadSettings();
    void LoadAxes();
    void StepCell(int delta);
    void MoveCursor(int dt, int dr, bool extend = false);
    void ShowCursorValue();
    // A key of the cursor or the block; such a key acts only while both are shown.
    bool ActsOnCursor(std::uint8_t key) const;
    void RevealCursor();
    void SyncLinkControls();
    void ShowWideband(const TLiveRecord& record);

    TPageHost& host_;
    TMapFormState state_;
    TSites throttleSites_{};  // as shown
    TSites rpmSites_{};
    bool cursorShown_ = false;
    bool lastManualCursor_ = false;
    // A log replayed offline moves the operating point as the unit does online; the marker
    // shows until the link changes the live cursor's state.
    bool replayMarker_ = false;
    bool lastLiveCursor_ = false;
    std::uint16_t lambdaInput_ = 0;
    TWidebandReadout wideband_;
    TLambdaTrace trace_;
    TRevAdjustDlg revAdjust_;
    TCellBlock block_;
};

}  // namespace zv
