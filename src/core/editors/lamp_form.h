#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editors/curve_chart_state.h"
#include "pages/page.h"

namespace zv {

class TPageHost;

// The three shift lamps, red first as the page lists them.
enum class TLamp : std::uint8_t { Red, Yellow, Green };

struct TLampFormTexts {
    std::array<std::string, 3> LampLabels;  // red, yellow, green
    std::string DefaultLabel;               // the curve download button's two lines
    std::string AdjustGroup;
    // The engine-speed bar beside the levels: its unit over it, and what it shows.
    std::string GaugeCaption, GaugeTip;
    // Hover texts: the thresholds (red first) and the brightness curve's points.
    std::array<std::string, 3> ThresholdTips;
    std::string CurveTip;
};

struct TLampFormState {
    TCurveChartState Chart;                  // the brightness curve
    int Selected = 0;                        // 0 the curve, 1 red, 2 yellow, 3 green
    std::array<std::string, 3> Thresholds;   // rpm, red first
    std::array<int, 3> ThresholdBytes{};     // where the markers sit on the engine-speed bar
    std::array<bool, 3> PanelHighlighted{};  // aqua when selected, else white
    std::array<std::uint32_t, 3> LampColours{0x800000, 0x808000, 0x008000};  // 0xRRGGBB
    int RotGauge = 0;                                                        // raw engine speed
    bool BoundPanelVisible = true;  // thresholds, lamps and the curve download button
    bool DownloadVisible = true;
    bool DownloadEnabled = false;
    TLampFormTexts Texts;
};

// The shift lamp page, 9: the three engine-speed thresholds, the brightness curve over the
// photo resistor, and the lamps' live state beside the engine-speed bar.
class TLampForm : public TPage {
  public:
    explicit TLampForm(TPageHost& host);

    void LoadFromImage() override;
    void ShowLiveFrame(const TLiveRecord& record) override;
    void ShowPage() override;
    void RefreshPage() override;
    void SetLanguage(Language lang) override;
    void HandleKey(std::uint8_t key) override;

    const TLampFormState& State();

    void ValuePanelClick(int item);  // 1 red, 2 yellow, 3 green
    void FotoDownloadButtonClick();
    void PointClick(int point);

  private:
    void SetTips(Language lang);
    void ApplyVisibility();
    int ItemCount() const;  // the selectable items: the curve, and the thresholds on view
    void Highlight();
    void ShowThresholds();
    void StepThreshold(int item, int delta);
    void StepPoint(int delta);

    TPageHost& host_;
    TLampFormState state_;
    bool cursorShown_ = false;
    bool panelsShown_ = true;
};

}  // namespace zv
