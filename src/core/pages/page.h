#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "cells/cell_selection.h"
#include "dashboard/dashboard.h"
#include "text/text_table.h"

namespace zv {

// What the clipboard works on while a page is on view: its map or curve and the cell under its
// cursor, counted as the page shows them (rows from the top, columns from the left).
struct TClipPlace {
    enum class TItem : std::uint8_t { FuelMap, AfrMap, Curve };
    TItem Item = TItem::FuelMap;
    std::size_t CurveBase = 0;  // curves: image offset of their 16 bytes
    int Row = 0;
    int Col = 0;
    // Maps: the operator's block of cells, which Copy takes instead of the whole map when it is
    // more than the cursor's cell.
    std::optional<TCellRect> Block;
};

// One page of the main window's notebook as the main window sees it: these operations are all
// it ever calls, so that each page is added by registering it once. A page reads and writes the
// working data set only through its host (page_host.h) and says what is on screen in a state
// struct of its own, which its view in the GUI paints.
class TPage {
  public:
    virtual ~TPage() = default;

    // The working data set changed as a whole: opened, created, read from the unit, or the input
    // configuration was accepted. Every page hears it, on view or not.
    virtual void LoadFromImage() = 0;
    // A live record arrived while the page is on view. Pages without live values ignore it.
    virtual void ShowLiveFrame(const TLiveRecord& record) { (void)record; }
    // The page selection chose this page (only while a data set is present): take the keys.
    virtual void ShowPage() = 0;
    // The page selection passes over this page while the operator is still choosing.
    virtual void RefreshPage() = 0;
    virtual void SetLanguage(Language lang) = 0;
    // Every key while the page is on view, as the main window's key control delivers it.
    virtual void HandleKey(std::uint8_t key) = 0;
    // The map or curve that Copy and Paste take while the page is on view; pages without one
    // have none.
    virtual std::optional<TClipPlace> ClipPlace() const { return std::nullopt; }
    // An arrow key with Shift held. Pages without blocks of cells take it as the plain key.
    virtual void HandleShiftKey(std::uint8_t key) { HandleKey(key); }

    // The view repaints from the page's state when this is called.
    std::function<void()> Changed;

  protected:
    void NotifyChanged() const {
        if (Changed)
            Changed();
    }
};

}  // namespace zv
