#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "text/text_table.h"

namespace zv {

class TPageHost;

// The lamp group that both input configuration dialogs share.
struct TLampBoxes {
    bool Visible = false;
    bool AsRevLim = true;   // shift lights
    bool AsLambda = false;  // mixture indicators
    std::string Group, RevLimText, LambdaText;
};

// What both input configuration dialogs share: a working copy of the flags word that the
// check boxes and lists edit, the two lamp boxes of which exactly one is checked, and OK,
// which stores a changed copy as every editor stores its changes.
class TTypeConfigBase {
  public:
    explicit TTypeConfigBase(TPageHost& host) : host_(host) {}
    virtual ~TTypeConfigBase() = default;

    // The input configuration was accepted: the page selection and every page follow it.
    std::function<void()> Accepted;

    std::uint16_t WorkingFlags() const { return working_; }
    const TLampBoxes& Lamps() const { return lamps_; }
    int Height() const { return lamps_.Visible ? 325 : 220; }

    void LampAsRevLimCheckBoxClick(bool checked);
    void LampAsLambdaCheckBoxClick(bool checked);
    // True when the dialog may close (always; OK never refuses).
    bool OkButtonClick();
    virtual void CancelButtonClick();

  protected:
    void StartWorkingCopy();  // the flags word, lamp boxes from bit 4
    void LampTexts(Language lang);
    void ToggleBit(int bit, bool on);

    TPageHost& host_;
    std::uint16_t working_ = 0;
    bool initialised_ = false;
    TLampBoxes lamps_;
};

}  // namespace zv
