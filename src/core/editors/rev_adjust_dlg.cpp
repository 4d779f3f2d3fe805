#include "editors/rev_adjust_dlg.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "config/key_control.h"
#include "editors/map_sites.h"
#include "editors/value_invalid.h"
#include "history/step_names.h"
#include "pages/page_host.h"
#include "pages/value_tip.h"

namespace zv {

namespace {

constexpr std::uint16_t kSitesAddress = 0xE0;  // the sites' place in the unit's main area
constexpr int kPageStep = 15;
constexpr int kColumnRows = 8;

const TextPair kMustBeSmaller = {"Wert muß kleiner sein als der Nächste",
                                 "Value must be smaller then next"};
const TextPair kWithMap = {"mit Kennfeld", "with map"};
const TextPair kMustBeHigher = {"Wert muß größer sein als der Vorherige",
                                "Value must be higher then previous"};

bool IsRpm(int panel) {
    return panel >= TRevAdjustDlg::kFirstRpmPanel;
}

std::uint8_t SiteByte(TPageHost& host, int panel) {
    return host.Data().DeviceData.Image[img::TpsSites + static_cast<std::size_t>(panel)];
}

// "rpm site 6 +15 with map". Panels run from the highest site down; the step counts sites from 1
// at the lowest.
TStepName SiteStepName(int panel, int from, int to, bool withMap) {
    const int site = TRevAdjustDlg::kFirstRpmPanel - panel % TRevAdjustDlg::kFirstRpmPanel;
    const TStepName name = NameStep(IsRpm(panel) ? stepname::RpmSite : stepname::ThrottleSite,
                                    std::to_string(site) + " " + SignedChange(from, to));
    if (!withMap)
        return name;
    return NameStep({name.German.c_str(), name.English.c_str()}, kWithMap);
}

}  // namespace

TRevAdjustDlg::TRevAdjustDlg(TPageHost& host) : host_(host) {
    KeyCtrl.OnKey = [this](std::uint8_t key) { HandleKey(key); };
    SetLanguage(lang_);
}

void TRevAdjustDlg::NotifyChanged() const {
    if (Changed)
        Changed();
}

void TRevAdjustDlg::LoadFromImage() {
    NotifyChanged();
}

// A site moves between its neighbours: the range is the list's, the neighbours narrow it.
void TRevAdjustDlg::SetTips(Language lang) {
    const bool german = lang == Language::German;
    const std::string between = german ? ", zwischen der nächstniedrigeren und der nächsthöheren"
                                       : ", between the next lower and the next higher one";
    TValueTip tip{(german ? "Drosselklappen-Stützstelle des Kennfelds"
                          : "Throttle site of the fuel map") + between,
                  german ? "% Drosselklappe (ein Schritt 1 %)" : "% throttle (one step 1 %)",
                  RangeText(0, 100), kPageStep};
    tip.OwnKeys = host_.ConfiguredStepKeys();
    tip.OwnKeysAct = false;  // the dialog's own key control does not carry them
    texts_.ThrottleTip = ValueTipText(tip, lang);
    tip.What = (german ? "Drehzahl-Stützstelle des Kennfelds" : "Engine-speed site of the fuel map") +
               between;
    tip.Unit = kRpmStepUnit.Pick(lang);
    tip.Range = RangeText(0, RpmOfByte(255));
    texts_.RpmTip = ValueTipText(tip, lang);
}

void TRevAdjustDlg::SetLanguage(Language lang) {
    lang_ = lang;
    const bool german = lang == Language::German;
    texts_.Caption = german ? "Stützstelleneinstellung" : "Site adjust";
    texts_.CloseButton = german ? "Beenden" : "Close";
    texts_.RpmGroup = german ? " Drehzahl " : " Revolution ";
    texts_.ThrottleGroup = german ? " Lastpoti " : " Throttle Pot ";
    texts_.ThrottleUnit = "[%]";
    texts_.RpmUnit = german ? "[U/min]" : "[Rpm]";
    texts_.SiteMove = SiteMoveTexts(lang);
    SetTips(lang);
    NotifyChanged();
}

void TRevAdjustDlg::Opened() {
    active_ = true;
    fuel_.Opened();
    SetLanguage(host_.CurrentLanguage());
}

std::string TRevAdjustDlg::PanelText(int panel) const {
    const std::uint8_t b = SiteByte(host_, panel);
    return std::to_string(SiteLabel(b, IsRpm(panel) ? kRpmScaleMax : kThrottleScaleMax));
}

int TRevAdjustDlg::PanelAt(int column, int row) {
    // Column 0 holds panels 15..8, column 1 7..0, column 2 31..24, column 3 23..16.
    constexpr std::array<int, 4> kTop = {15, 7, 31, 23};
    return kTop[static_cast<std::size_t>(column)] - row;
}

void TRevAdjustDlg::SiteMoveChoiceChanged(int choice) {
    if (choice < 0 || choice > static_cast<int>(TSiteMoveChoice::Never))
        return;
    fuel_.SetChoice(static_cast<TSiteMoveChoice>(choice));
    NotifyChanged();
}

void TRevAdjustDlg::SiteAdjustPanelClick(int panel) {
    if (panel < 0 || panel >= kPanelCount)
        return;
    selected_ = panel;
    NotifyChanged();
}

void TRevAdjustDlg::HandleKey(std::uint8_t key) {
    switch (key) {
        case vk::Tab:
            selected_ = selected_ == 0 ? kPanelCount - 1 : selected_ - 1;
            break;
        case vk::Left:
            selected_ = (selected_ + kColumnRows) % kPanelCount;
            break;
        case vk::Right:
            selected_ = (selected_ + 3 * kColumnRows) % kPanelCount;
            break;
        case vk::Up:
        case vk::NumPlus:
        case vk::OemPlus:
            Step(1);
            break;
        case vk::Down:
        case vk::NumMinus:
        case vk::OemMinus:
            Step(-1);
            break;
        case vk::PageUp:
            Step(kPageStep);
            break;
        case vk::PageDown:
            Step(-kPageStep);
            break;
        case vk::Esc:
            if (Close)
                Close();
            return;
        default:
            return;
    }
    NotifyChanged();
}

// A refused step is reported at once and leaves everything as it was.
void TRevAdjustDlg::Step(int steps) {
    if (host_.PauseTimerActive())
        return;
    const std::uint8_t b = SiteByte(host_, selected_);
    try {
        Accept(selected_,
               steps > 0 ? Increased(selected_, b, steps) : Decreased(selected_, b, -steps));
    } catch (const EValueInvalid& refused) {
        host_.ShowMessage(MsgKind::Error, refused.what());
    }
}

// One throttle step is one displayed percent; the byte is the first whose percent is higher.
int TRevAdjustDlg::Increased(int panel, std::uint8_t b, int steps) const {
    int value = b + steps;
    if (!IsRpm(panel)) {
        const int percent = b * 100 / 255;
        value = (percent + steps) * 255 / 100;
        if (value * 100 / 255 <= percent)
            ++value;
    }
    if (panel == 0 || panel == kFirstRpmPanel)
        return std::min(value, 255);
    if (value >= SiteByte(host_, panel - 1))
        throw EValueInvalid(kMustBeSmaller.Pick(host_.CurrentLanguage()));
    return value;
}

int TRevAdjustDlg::Decreased(int panel, std::uint8_t b, int steps) const {
    int value = b - steps;
    if (!IsRpm(panel)) {
        const int percent = b * 100 / 255;
        // The unit's tools compute this in extended precision; long double keeps their results.
        value = static_cast<int>(std::trunc((percent - steps) * 2.55L)) + 1;
    }
    if (panel == kFirstRpmPanel - 1 || panel == kPanelCount - 1)
        return std::max(value, 0);
    if (value <= SiteByte(host_, panel + 1))
        throw EValueInvalid(kMustBeHigher.Pick(host_.CurrentLanguage()));
    return value;
}

// The site and the cells that keep the engine's fuel are one step, in the unit as in the history.
void TRevAdjustDlg::Accept(int panel, int value) {
    const std::uint8_t old = SiteByte(host_, panel);
    if (value == old)
        return;
    const std::uint8_t moved = static_cast<std::uint8_t>(value);
    const TMapBytes map = fuel_.MapAfterMove(panel, moved);
    const bool follows =
        !std::equal(map.begin(), map.end(), host_.Data().DeviceData.Image.begin() + img::FuelMap);
    TImageWrite write;
    write.Offset = img::TpsSites + static_cast<std::size_t>(panel);
    write.Address = static_cast<std::uint16_t>(kSitesAddress + panel);
    write.Pause = true;
    const std::array<std::uint8_t, 1> bytes = {moved};
    TEditStep step(host_.History(), SiteStepName(panel, old, value, follows));
    if (!host_.WriteImage(write, bytes))
        return;
    if (follows)
        WriteFuelMap(host_, map);
    if (SitesChanged)
        SitesChanged(IsRpm(panel));
}

}  // namespace zv
