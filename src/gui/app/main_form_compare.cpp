// The comparison window and the map pages' tint, wired to the main model that decides them.
#include "app/main_form.h"
#include "dialogs/comparison_dialog.h"
#include "pages/overlay_button.h"

namespace zv::gui {

void TMainForm::WireComparison() {
    main_.ShowComparison = [this](const TComparisonView& view) {
        TComparisonDialog dialog(view, this);
        dialog.exec();
    };
    for (TOverlayButton* button : findChildren<TOverlayButton*>())
        button->Attach(main_);
    main_.OverlayChanged = [this] { Render(); };
}

}  // namespace zv::gui
