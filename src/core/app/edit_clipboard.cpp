// The Edit menu's Copy and Paste: the page on view names its map or curve and its cursor, the
// clipboard text goes through the edit step like any key.
#include "app/main_form_model.h"
#include "clip/clip_block.h"

namespace zv {

namespace {

TClipItem ItemAt(const TClipPlace& place, const TZVDataSet& set) {
    switch (place.Item) {
        case TClipPlace::TItem::FuelMap:
            return TClipItem::FuelMap(set);
        case TClipPlace::TItem::AfrMap:
            return TClipItem::AfrMap(set);
        case TClipPlace::TItem::Curve:
            break;
    }
    return TClipItem::Curve(set, place.CurveBase);
}

// Both map tables show the highest throttle site in their top row.
std::optional<TTableBlock> TableBlockOf(const std::optional<TCellRect>& block) {
    if (!block || block->Count() <= 1)
        return std::nullopt;
    return TTableBlock{15 - block->THigh, block->RLow, block->Rows(), block->Columns()};
}

}  // namespace

bool TMainFormModel::ClipboardEnabled() const {
    const TPage* page = Page(pageOnView_);
    return page && page->ClipPlace();
}

std::optional<std::string> TMainFormModel::EditCopyClick() const {
    const TPage* page = Page(pageOnView_);
    const auto place = page ? page->ClipPlace() : std::nullopt;
    if (!place)
        return std::nullopt;
    const TZVDataSet& set = main_.Data().DeviceData;
    return CopyBlock(ItemAt(*place, set), set.Image, kClipboardShape, TableBlockOf(place->Block));
}

bool TMainFormModel::EditPasteClick(const std::string& text) {
    pasteNote_.clear();
    const TPage* page = Page(pageOnView_);
    const auto place = page ? page->ClipPlace() : std::nullopt;
    if (!place)
        return false;
    const TZVDataSet& set = main_.Data().DeviceData;
    const TClipItem item = ItemAt(*place, set);
    const TPastePlan plan = PlanPaste(item, set.Image, text, place->Row, place->Col);
    pasteNote_ = PasteRoundingNote(plan, CurrentLanguage());
    if (plan.Refused) {
        main_.ShowMessage(MsgKind::Error, plan.Refused->Pick(CurrentLanguage()));
        return false;
    }
    const auto write = [this](const TImageWrite& where, std::span<const std::uint8_t> bytes) {
        return main_.WriteImage(where, bytes);
    };
    if (ApplyPaste(main_.History(), write, item, plan) == 0)
        return false;
    LoadPagesFromImage();
    return true;
}

}  // namespace zv
