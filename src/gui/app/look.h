#pragma once

#include <QColor>
#include <cstdint>

class QApplication;

namespace zv::gui {

// One look for every window: Fusion, one palette, one font family.
void ApplyLook(QApplication& app);

// Colours the dashboard and the progress bar take from core, given as 0xRRGGBB.
QColor ColourOf(std::uint32_t rgb);

// The status lamps' colours, the same on the dashboard and on the pages: running, at a limit
// or in a special mode, at fault.
inline const QColor kLedGreen{0x00, 0xC8, 0x3C};
inline const QColor kLedOrange{0xFF, 0x8C, 0x00};
inline const QColor kLedRed{0xE0, 0x20, 0x20};

// Spacing grid: 6 px inside a group, 12 px between groups (at 96 dpi; scaled by Qt).
constexpr int kSpacing = 6;
constexpr int kGroupSpacing = 12;

}  // namespace zv::gui
