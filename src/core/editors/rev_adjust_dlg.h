#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "config/key_control.h"
#include "editors/site_move_fuel.h"
#include "text/text_table.h"

namespace zv {

class TPageHost;

// The site adjust dialog: the 16 throttle and 16 engine-speed sites of the fuel map, each in a
// panel, moved from the keyboard within the rule that a list rises strictly. Panel p edits image
// byte 224 + p: panels 0..15 the throttle sites from the highest down, 16..31 the rpm sites.
class TRevAdjustDlg {
  public:
    static constexpr int kPanelCount = 32;
    static constexpr int kFirstRpmPanel = 16;

    explicit TRevAdjustDlg(TPageHost& host);
    TRevAdjustDlg(const TRevAdjustDlg&) = delete;  // its key control calls back into it
    TRevAdjustDlg& operator=(const TRevAdjustDlg&) = delete;

    // The dialog's own key sink; the configured step keys do not apply here.
    TKeyControl KeyCtrl{"KeyCtrl"};

    // The panel values come from the working image whenever the state is read; this only
    // repaints an open dialog.
    void LoadFromImage();
    void SetLanguage(Language lang);
    void HandleKey(std::uint8_t key);
    void SiteAdjustPanelClick(int panel);
    // Opening and closing (the dialog is modal and reused; the selection survives).
    void Opened();
    void Closed() { active_ = false; }
    bool Active() const { return active_; }

    // Whether a moved site takes the fuel map along (stored; the dialog shows and switches it).
    TSiteMoveFuel& Fuel() { return fuel_; }
    void SiteMoveChoiceChanged(int choice);

    int SelectedPanel() const { return selected_; }
    std::string PanelText(int panel) const;
    // The four columns left to right, each top to bottom: throttle sites 1..8 and 9..16, rpm
    // sites 1..8 and 9..16 (site 1 the lowest).
    static int PanelAt(int column, int row);

    struct TTexts {
        std::string Caption, CloseButton, RpmGroup, ThrottleGroup, ThrottleUnit, RpmUnit;
        std::string ThrottleTip, RpmTip;  // hover texts of the site panels
        TSiteMoveTexts SiteMove;
    };
    const TTexts& Texts() const { return texts_; }

    std::function<void()> Changed;               // repaint
    std::function<void()> Close;                 // Esc
    std::function<void(bool rpm)> SitesChanged;  // the chart reloads that axis

  private:
    void SetTips(Language lang);
    void Step(int steps);  // positive: increase
    int Increased(int panel, std::uint8_t b, int steps) const;
    int Decreased(int panel, std::uint8_t b, int steps) const;
    void Accept(int panel, int value);
    void NotifyChanged() const;

    TPageHost& host_;
    Language lang_ = Language::English;
    int selected_ = 15;
    bool active_ = false;
    TTexts texts_;
    TSiteMoveFuel fuel_{host_};
};

}  // namespace zv
