#include "config/page_select.h"
#include "data/flag_bits.h"

namespace zv {

namespace {

constexpr std::uint8_t kNarrowBand = 1;
constexpr std::uint8_t kWideBand = 2;

constexpr int kCaptionText = 59;  // "Seitenauswahl" / "Page selection" in the main table

constexpr std::uint32_t kNavy = 0x000080;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kBlue = 0x0000FF;

// Firmwares from 11 to 27 know lambda on an input only through two flags bits; 26 also has
// the wideband page.
std::uint16_t MaskByLambdaFlags(int firmware, std::uint16_t flags) {
    const bool wideBand = firmware == 26;
    if (TZVDataClass::TestFlag(flags, flag::TempInAsLambda))
        return wideBand ? 0x0EFA : 0x0EDA;
    if (TZVDataClass::TestFlag(flags, flag::GPInAsLambda))
        return wideBand ? 0x0F7A : 0x0F5A;
    return 0x0FCA;
}

// From firmware 28 each input has a function of its own; an input used for lambda loses its
// curve page.
std::uint16_t MaskByInputFunctions(std::uint8_t e, std::uint8_t f) {
    if ((e == kNarrowBand && f == kWideBand) || (e == kWideBand && f == kNarrowBand))
        return 0x0E7A;
    if (e == kNarrowBand)
        return 0x0F5A;
    if (e == kWideBand)
        return 0x0F6A;
    if (f == kNarrowBand)
        return 0x0EDA;
    if (f == kWideBand)
        return 0x0EEA;
    return 0x0FCA;
}

}  // namespace

std::optional<std::uint16_t> PageMaskOf(int firmware, std::uint16_t flags, std::uint8_t inputE,
                                        std::uint8_t inputF) {
    if (firmware == 23 || firmware == 36 || firmware == 39)
        return std::nullopt;
    if (firmware <= 0)
        return 0x0001;
    if (firmware == 1)
        return 0x0406;
    if (firmware <= 3)
        return 0x0006;
    if (firmware <= 8)
        return 0x0C46;
    if (firmware <= 10)
        return 0x0FCA;
    if (firmware <= 27)
        return MaskByLambdaFlags(firmware, flags);
    return MaskByInputFunctions(inputE, inputF);
}

TPageSelect::TPageSelect(const TZVDataClass& data) : data_(data) {
    KeyCtrlPage.OnKey = [this](std::uint8_t key) { HandleKey(key); };
    SetLanguage(Language::English);
    Highlight();
}

void TPageSelect::SetPageMask(int firmware) {
    const auto mask =
        PageMaskOf(firmware, data_.DeviceData.FlagsWord(), data_.InputESelect, data_.InputFSelect);
    if (mask)
        mask_ = *mask;
    ApplyMask();
}

void TPageSelect::ApplyMask() {
    int top = kFirstPanelTop;
    int first = -1;
    for (int page = 0; page < kPageCount; ++page) {
        auto& panel = panels_[static_cast<std::size_t>(page)];
        auto& item = menu_[static_cast<std::size_t>(page)];
        item.Visible = panel.Visible = Available(page);
        if (!panel.Visible)
            continue;
        panel.Top = top;
        top += kPanelHeight;
        if (first < 0)
            first = page;
    }
    height_ = top + kHeightBelowPanels;
    // With no page at all (a first mask of a firmware that keeps the previous one) the current
    // page stays, so that the main window still shows something.
    if (!Available(current_) && first >= 0)
        current_ = first;
    NotifyMenu();
    ChoosePage(current_);
}

void TPageSelect::SetLanguage(Language lang) {
    language_ = lang;
    caption_ = Text(kCaptionText, lang);
    for (int page = 0; page < kPageCount; ++page) {
        panels_[static_cast<std::size_t>(page)].Text = std::string("  ") + PageName(page, lang);
    }
    if (Changed)
        Changed();
}

void TPageSelect::ChoosePage(int page) {
    if (page < 0 || page >= kPageCount)
        return;
    current_ = atShow_ = page;
    Highlight();
    if (SwitchNotebookPage)
        SwitchNotebookPage(page);
    for (int i = 0; i < kPageCount; ++i)
        menu_[static_cast<std::size_t>(i)].Enabled = i != page;
    NotifyMenu();
    if (DataSetPresent() && ShowPage)
        ShowPage(page);
}

void TPageSelect::PreviewPage(int page) {
    if (page < 0 || page >= kPageCount)
        return;
    current_ = page;
    Highlight();
    if (SwitchNotebookPage)
        SwitchNotebookPage(page);
    if (DataSetPresent() && RefreshPage)
        RefreshPage(page);
}

void TPageSelect::HandleKey(std::uint8_t key) {
    switch (key) {
        case vk::Esc:
            current_ = atShow_;
            [[fallthrough]];
        case vk::Enter:
            Hide();
            ChoosePage(current_);
            return;
        case vk::Up:
            MoveCurrent(-1);
            return;
        case vk::Down:
            MoveCurrent(+1);
            return;
        default:
            return;
    }
}

void TPageSelect::PanelDblClick(int page) {
    Hide();
    ChoosePage(page);
}

void TPageSelect::Show() {
    atShow_ = current_;
    visible_ = true;
    if (VisibilityChanged)
        VisibilityChanged(true);
}

void TPageSelect::Hide() {
    visible_ = false;
    if (VisibilityChanged)
        VisibilityChanged(false);
    if (FocusMainKeyControl)
        FocusMainKeyControl();
}

bool TPageSelect::DataSetPresent() const {
    return data_.Loaded != 0 || data_.DeviceData.DeviceValid != 0;
}

void TPageSelect::Highlight() {
    for (int page = 0; page < kPageCount; ++page) {
        auto& panel = panels_[static_cast<std::size_t>(page)];
        panel.Highlighted = page == current_;
        panel.BackColour = panel.Highlighted ? kYellow : kNavy;
        panel.FontColour = panel.Highlighted ? kBlue : kYellow;
    }
    if (Changed)
        Changed();
}

// Walks the ring of pages past the unavailable ones; with no page available there is nothing
// to walk to and the key is dropped.
void TPageSelect::MoveCurrent(int step) {
    for (int n = 1; n <= kPageCount; ++n) {
        const int page = ((current_ + step * n) % kPageCount + kPageCount) % kPageCount;
        if (Available(page)) {
            PreviewPage(page);
            return;
        }
    }
}

void TPageSelect::NotifyMenu() const {
    if (PageMenuChanged)
        PageMenuChanged();
}

}  // namespace zv
