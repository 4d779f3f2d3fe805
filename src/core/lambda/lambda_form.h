#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "editors/lambda_trace.h"
#include "pages/page.h"

namespace zv {

class TPageHost;

constexpr int kLambdaFieldCount = 7;

// Where the sensor voltage says the mixture is; None before the first record.
enum class TTendency : std::uint8_t { None, VeryLean, Lean, Good, Rich, VeryRich };

struct TLambdaFormTexts {
    std::array<std::string, kLambdaFieldCount> FieldCaptions;
    std::string RpmSetInHint;
    std::string ParamGroup, TendencyGroup, ProbeGroup;
    std::string LeanLabel, GoodLabel, RichLabel;
    std::string ControlOffBy, ControlError, LimitOverrun, Startup, ShiftMode, Control, Active;
    std::string Legend, LegendProbe, LegendController;
    std::string LampGroup;  // the unit's three lamp outputs, named as their own page
    // The lamp shapes' captions (LHi, LOk, LLo) and hover texts.
    std::array<std::string, 3> LampCaptions, LampTips;
    // Names of our own for the values the window shows without one.
    std::string ThrottleLabel, StartupIndicator, TestIndicator1, TestIndicator2;
    // Hover texts of the seven fields: what each sets, its unit, its range and its step keys.
    std::array<std::string, kLambdaFieldCount> Tips;
};

// The controller's state flags as its LEDs show them.
struct TLambdaLeds {
    bool Active = false, LimOff = false, ShiftMode = false, Startup = false, Error = false,
         Startup1 = false, Test1 = false, Test2 = false;
};

// Colours as 0xRRGGBB.
struct TLambdaFormState {
    std::array<std::string, kLambdaFieldCount> Values;
    // White for the selected panel, the main window's neutral panel colour for the others.
    std::array<bool, kLambdaFieldCount> PanelWhite{};
    int Selected = 0;
    bool StartupPanelsVisible = false;  // the startup counter's parameter and display
    // The reference marker sits at kLambdaRefValue on the sensor gauge.
    bool RefMarkerPlaced = false;
    // Live values.
    std::array<std::uint32_t, 3> Lamps{0x008000, 0x808000, 0x800000};  // LHi, LOk, LLo
    int SensorGauge = 0;                                               // 0..51
    std::uint32_t SensorGaugeColour = 0x00FF00;
    std::string SensorVoltage;
    TLambdaLeds Leds;
    std::string Throttle;
    std::string StartupLabel, StartupCount;
    TTendency Tendency = TTendency::None;
    // VeryRich, Rich, Good, Lean, VeryLean shapes; Rich, Good, Lean labels.
    std::array<std::uint32_t, 5> TendencyShapes{0x800000, 0x800000, 0x008000, 0x800000, 0x800000};
    std::array<std::uint32_t, 3> TendencyLabels{0x808080, 0x808080, 0x808080};
    TLambdaFormTexts Texts;
};

// Where the sensor gauge marks the probe's switching point: 0.45 V, 23 of 51 counts per volt.
constexpr int kLambdaRefValue = 23;

// The narrowband lambda page, 4: the jump-and-integrate controller's seven parameters, the
// probe's voltage as a mixture tendency, the controller's flags, the lamp outputs and a
// scrolling plot of probe and controller.
class TLambdaForm : public TPage {
  public:
    explicit TLambdaForm(TPageHost& host);

    void LoadFromImage() override;
    void ShowLiveFrame(const TLiveRecord& record) override;
    void ShowPage() override;
    void RefreshPage() override;
    void SetLanguage(Language lang) override;
    void HandleKey(std::uint8_t key) override;

    const TLambdaFormState& State() const { return state_; }

    void PanelClick(int field);  // 0..6
    void ChangeParameter(int step);
    // One tick of the 200 ms plot timer for a box of that size; nothing outside online mode.
    TTraceDraw Timer1Tick(int width, int height);
    int PlotColumn() const { return column_; }

  private:
    void SetTips(Language lang);
    void SetLampTexts(Language lang);
    bool TrimForm() const;
    void ShowValues();
    void HighlightSelection();
    void ClearPlot();
    void ShowTendency(int q);
    void ShowControllerState(const TLiveRecord& record);

    TPageHost& host_;
    TLambdaFormState state_;
    int column_ = 1;
    bool clearPending_ = false;
    std::uint8_t previousSensor_ = 0;
    std::uint8_t previousController_ = 0;
};

}  // namespace zv
