#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editors/curve_chart_state.h"
#include "pages/page.h"
#include "pages/panel_colour.h"

namespace zv {

class TPageHost;

constexpr int kParamItemCount = 8;  // seven value panels and the scaling curve (item 7)
constexpr int kParamCurveItem = 7;

struct TParamFormTexts {
    std::string PulseGroup, PulseLabel, PotiGroup, ContactGroup, IdleContact, WOTContact,
        ContactDefault, OutputAtZeroGroup, OutputAtZeroLabel, MaxOutGroup, MaxOutLabel, AccelGroup,
        AccelFactLabel, AccelFactHint, AccelRetLabel, AccelRetHint, PinLGroup, PinLHint, PinLLabel;
    // Names of our own for the live aids: the potentiometer's three lamps with the raw throttle
    // band each stands for, the acceleration value and the throttle before and after scaling.
    std::string PotiAidLabel, PotiLow, PotiMid, PotiHigh, AccelValueLabel, AdcLabel;
    // Hover texts of items 0..7: what each sets, its unit, its range and its step keys.
    std::array<std::string, kParamItemCount> Tips;
};

struct TParamFormState {
    std::array<std::string, 7> Values;  // panels of items 0..6
    std::array<TPanelColour, 7> PanelColours{};
    int Selected = 0;
    std::string IdlePercent, WOTPercent;  // "13.3% TPS"
    int IdleMarker = 0, WOTMarker = 0;    // marker left over the throttle gauge: byte - 7
    TCurveChartState Chart;               // the throttle scaling curve
    // Visibility by firmware.
    bool OutputAtZeroVisible = false;
    bool AccelVisible = false;  // with the scaling curve
    bool MaxOutVisible = false;
    bool PinLVisible = false;
    bool PinLDown = false;  // 50 Hz pulse
    // Live values.
    int Throttle = 0;  // the throttle gauge
    std::uint32_t LowArrow = 0x800000, MidShape = 0x008000, HighArrow = 0x800000;  // 0xRRGGBB
    std::uint32_t IdleShape = 0x008000, WOTShape = 0x808000;
    std::string AccelValue, AdcInput, AdcScaled;
    int AccelGauge = 128;
    bool AccelNegative = false;
    TParamFormTexts Texts;
};

// The parameter page, 6: the unit's single values, the throttle scaling curve and the function
// of output pin L, with live aids for setting up the throttle potentiometer and contacts.
class TParamForm : public TPage {
  public:
    explicit TParamForm(TPageHost& host);

    void LoadFromImage() override;
    void ShowLiveFrame(const TLiveRecord& record) override;
    void ShowPage() override;
    void RefreshPage() override;
    void SetLanguage(Language lang) override;
    void HandleKey(std::uint8_t key) override;

    const TParamFormState& State();

    void ValuePanelClick(int item);  // items 0..6
    void ContactDefaultSpeedButtonClick();
    void DigOut_L_FuncSpeedButtonClick();
    void PointClick(int point);

  private:
    void ShowValues();
    void SetTips(Language lang);
    void Highlight();
    bool ItemShown(int item) const;
    void Tab();
    void StepItem(int item, int delta);
    void StepPulse(int delta);
    void StepPoint(int delta);

    TPageHost& host_;
    TParamFormState state_;
};

}  // namespace zv
