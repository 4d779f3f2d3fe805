#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/zv_data_class.h"
#include "text/text_table.h"

namespace zv {

// Where the tint's reference came from, as the window's menu offers it.
enum class TOverlaySource : std::uint8_t { None, LastSaved, LatestBackup, OtherFile, UnitNow };

using TClassGrid = std::array<std::array<int, 16>, 16>;  // [t][r]: DifferenceClass, 0 = none

// The tint over the fuel map table and the AFR grid: how far each cell moved from a reference
// data set the operator chose (the file as last saved, the unit's latest backup, or any file). The
// reference is kept as it was read, so later edits show against it until another is chosen.
class TDifferenceOverlay {
  public:
    void SetReference(const TZVDataClass& reference, const std::string& name);
    void SetShown(bool shown) { shown_ = shown && hasReference_; }
    bool Shown() const { return shown_; }
    bool HasReference() const { return hasReference_; }
    const std::string& ReferenceName() const { return name_; }

    // All 0 while the overlay is not shown.
    TClassGrid MapClasses(const ByteGrid& map) const;
    TClassGrid AfrClasses(const ByteGrid& afrMap) const;

  private:
    TClassGrid Classes(const ByteGrid& now, const ByteGrid& reference) const;

    ByteGrid map_{};
    ByteGrid afrMap_{};
    std::string name_;
    bool hasReference_ = false;
    bool shown_ = false;
};

// The page control's texts: the switch, its hint naming the reference, and the reference menu.
struct TOverlayTexts {
    std::string Button, Hint, LastSaved, LatestBackup, OtherFile, UnitNow;
};
TOverlayTexts OverlayTexts(const TDifferenceOverlay& overlay, Language lang);

}  // namespace zv
