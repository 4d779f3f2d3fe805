#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/key_control.h"
#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// Pages that exist for a unit: firmware index, flags word (inputs E and F used for narrowband
// lambda in the older firmwares) and the input functions of E and F (0 none, 1 narrowband,
// 2 wideband). Bit i set = page i available; nothing for the firmwares that keep the mask in use.
std::optional<std::uint16_t> PageMaskOf(int firmware, std::uint16_t flags, std::uint8_t inputE,
                                        std::uint8_t inputF);

// One page's panel in the selection list.
struct TPagePanel {
    bool Visible = false;
    int Top = 0;  // in list units: 17 per panel, the first at 15
    std::string Text;
    bool Highlighted = false;
    std::uint32_t BackColour = 0x000080;  // RGB
    std::uint32_t FontColour = 0xFFFF00;
};

// One page's entry in the main window's Window menu.
struct TPageMenuItem {
    bool Visible = false;
    bool Enabled = true;
};

// The page selection: the list of pages the data set allows, the arrow-key walk through it
// with the main window following as a preview, and the Window menu kept in step with it.
class TPageSelect {
  public:
    static constexpr int kFirstPanelTop = 15;
    static constexpr int kPanelHeight = 17;
    static constexpr int kHeightBelowPanels = 60;

    explicit TPageSelect(const TZVDataClass& data);
    TPageSelect(const TPageSelect&) = delete;
    TPageSelect& operator=(const TPageSelect&) = delete;

    // The main window's side. Page switches and page calls go out through these.
    std::function<void(int page)> SwitchNotebookPage;
    std::function<void()> PageMenuChanged;      // read MenuItem(0..11) again
    std::function<void(int page)> ShowPage;     // only while a data set is present
    std::function<void(int page)> RefreshPage;  // only while a data set is present
    std::function<void()> FocusMainKeyControl;
    // The window's side: repaint at once; show (and bring to the front) or hide.
    std::function<void()> Changed;
    std::function<void(bool visible)> VisibilityChanged;

    // The window's own key sink; its handler is HandleKey.
    TKeyControl KeyCtrlPage{"KeyCtrlPage"};

    void SetPageMask(int firmware);
    void SetLanguage(Language lang);
    void ChoosePage(int page);
    void PreviewPage(int page);
    void HandleKey(std::uint8_t key);
    void PanelClick(int page) { PreviewPage(page); }
    void PanelDblClick(int page);
    void Show();
    void Hide();

    std::uint16_t PageMask() const { return mask_; }
    int CurrentPage() const { return current_; }
    int PageAtShow() const { return atShow_; }
    bool Visible() const { return visible_; }
    int WindowHeight() const { return height_; }
    const std::string& Caption() const { return caption_; }
    const TPagePanel& Panel(int page) const { return panels_.at(static_cast<std::size_t>(page)); }
    const TPageMenuItem& MenuItem(int page) const {
        return menu_.at(static_cast<std::size_t>(page));
    }

  private:
    bool Available(int page) const { return ((mask_ >> page) & 1u) != 0; }
    bool DataSetPresent() const;
    void ApplyMask();
    void Highlight();
    void MoveCurrent(int step);
    void NotifyMenu() const;

    const TZVDataClass& data_;
    Language language_ = Language::English;
    std::uint16_t mask_ = 0;
    int current_ = 0;
    int atShow_ = 0;
    bool visible_ = false;
    int height_ = kFirstPanelTop + kHeightBelowPanels;
    std::string caption_;
    std::array<TPagePanel, kPageCount> panels_{};
    std::array<TPageMenuItem, kPageCount> menu_{};
};

}  // namespace zv
