#pragma once

#include <cstdint>
#include <string>

#include "sensors/wideband_mean.h"
#include "text/text_table.h"

namespace zv {

class TPageHost;
class TZVDataClass;

// The smoothing slider of a page, shown inverted, and the level beside it.
struct TDebounceDisplay {
    int Position = 0;  // 5 - level
    std::string Level;

    static TDebounceDisplay Of(int level) {
        return {kMaxDebounceLevel - level, std::to_string(level)};
    }
};

// The slider's hint, the level's caption and the level's hover text.
struct TDebounceTexts {
    std::string Hint, Caption, Tip;

    static TDebounceTexts Of(Language lang);
};

// The slider moved: the level is shared by the pages through the host and written to the
// page's own settings section.
TDebounceDisplay ScrollDebounceLevel(TPageHost& host, const char* section, int position);

// Colour of the AFR bar: rich, in the band, lean, or no reading (the button face).
enum class TAfrBarColour : std::uint8_t { Yellow, Green, Red, ButtonFace };

// The wideband readout over the fuel map: a large and a small display (AFR and lambda, which one
// is large is the operator's choice) and a bar, over a running average of its own.
struct TWidebandReadoutState {
    bool Visible = false;
    std::string Master;     // large display
    std::string Slave;      // small display
    std::string SlaveText;  // what the small display shows: "Lambda" or "AFR"
    // What the large display shows: with both numbers side by side each needs its own name.
    std::string MasterText;
    int BarProgress = 255;  // of 255; negative for averages above 19
    TAfrBarColour BarColour = TAfrBarColour::ButtonFace;
};

class TWidebandReadout {
  public:
    // How raw bytes become AFR: the PC-side scale from firmware 28 on or when asked for, else
    // the device's own characteristic (device index of the type configuration).
    struct TSource {
        const TZVDataClass* Data = nullptr;
        int Device = 0;
        bool PcScale = false;
    };

    // One raw input byte; level is the smoothing level 0..5 (0: the last valid reading alone).
    void ShowWidebandValue(std::uint8_t raw, const TSource& source, int level, bool afrMaster);
    void Hide() { State_.Visible = false; }
    void SetAfrMaster(bool afrMaster);

    const TWidebandReadoutState& State() const { return State_; }
    double Average() const { return mean_.Value(); }

  private:
    TWidebandReadoutState State_;
    TWidebandMean mean_;  // kept for the program's lifetime
};

}  // namespace zv
