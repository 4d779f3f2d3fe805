#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "editors/curve_chart_state.h"
#include "online/sequences.h"
#include "pages/page.h"
#include "text/curve_value_text.h"

namespace zv {

class TPageHost;

// How a curve's bytes read.
enum class TCurveValues : std::uint8_t {
    ByMode,  // a correction factor or an added percentage, by a flags bit
    Idle,    // a compensation of -100..+100 %
};

// One member of the correction curve family: everything in which the pages differ.
struct TCurveMember {
    std::size_t Base;  // image offset of the 16 bytes, highest point first
    TCurveValues Values;
    int ModeBit;  // flags bit of the mode (additive when set), ByMode only
    TextPair InputAxis;
    TextPair ValueAxis;                     // Idle only; ByMode follows the mode
    std::optional<std::size_t> LiveInput;   // record byte of the input the marker follows
    std::optional<std::size_t> LiveOutput;  // record byte of the unit's output value
    std::optional<TSequence> Download;      // the sequence that sends this curve alone
    TextPair DownloadHint;
    bool AllValueKeys;       // Page Up / Down and the point, comma and bracket keys
    bool TranslateStepKeys;  // the configured step keys count as plus and minus
    bool ShowsCursorValue;
    bool IdleCursors;  // follows the idle charts' cursors of the link (else the curve charts')
    TextPair PointWhat;  // what a point sets, for its hover text
};

extern const TCurveMember kTempCurve;     // page 8, input F
extern const TCurveMember kGPCurve;       // page 7, input E
extern const TCurveMember kIdleCurve;     // page 3
extern const TCurveMember kIdleOldCurve;  // page 2, the same bytes for the oldest units

struct TCurveFormTexts {
    std::string ManValueLabel, AutoValueLabel, DownloadButton, DownloadHint, MultAddButton;
    std::string PointTip;  // hover text of the curve's points
};

struct TCurveFormState {
    TCurveChartState Chart;
    std::string ManValue;   // the value at the cursor
    std::string AutoValue;  // the unit's output of the last live record
    bool MultAddVisible = false;
    bool MultAddDown = false;  // additive
    bool DownloadVisible = false;
    bool DownloadEnabled = false;
    bool ValuePanelsVisible = false;
    TCurveFormTexts Texts;
};

// A correction curve page: 16 points edited from the keyboard, each change written at once
// into the working image and, online, to the unit; the live input as a marker on the chart.
// The members differ only in their data (TCurveMember).
class TCurveForm : public TPage {
  public:
    TCurveForm(TPageHost& host, const TCurveMember& member);

    void LoadFromImage() override;
    void ShowLiveFrame(const TLiveRecord& record) override;
    void ShowPage() override;
    void RefreshPage() override;
    void SetLanguage(Language lang) override;
    void HandleKey(std::uint8_t key) override;
    std::optional<TClipPlace> ClipPlace() const override;

    const TCurveFormState& State();
    const TCurveMember& Member() const { return member_; }

    void MultAddButtonClick(bool fromButton = true);
    void DownloadButtonClick();
    void PointClick(int point);

  private:
    bool Additive() const;
    int MaxValue() const;
    void ShowModeButton();
    void SetTip(Language lang);
    void StepPoint(int delta);
    void ShowCursorValue();
    void SyncLinkControls();

    TPageHost& host_;
    const TCurveMember& member_;
    TCurveFormState state_;
    bool cursorShown_ = false;
    bool lastManualCursor_ = false;
};

// The members under their own names.
class TTempForm final : public TCurveForm {
  public:
    explicit TTempForm(TPageHost& host) : TCurveForm(host, kTempCurve) {}
};
class TGPForm final : public TCurveForm {
  public:
    explicit TGPForm(TPageHost& host) : TCurveForm(host, kGPCurve) {}
};
class TIdleForm final : public TCurveForm {
  public:
    explicit TIdleForm(TPageHost& host) : TCurveForm(host, kIdleCurve) {}
};
class TIdleOldForm final : public TCurveForm {
  public:
    explicit TIdleOldForm(TPageHost& host) : TCurveForm(host, kIdleOldCurve) {}
};

}  // namespace zv
