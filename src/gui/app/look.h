#pragma once

#include <QColor>
#include <cstdint>

class QApplication;

namespace zv::gui {

// One look for every window: Fusion, one palette, one font family.
void ApplyLook(QApplication& app);

// Colours the dashboard and the progress bar take from core, given as 0xRRGGBB.
QColor ColourOf(std::uint32_t rgb);

// Spacing grid: 6 px inside a group, 12 px between groups (at 96 dpi; scaled by Qt).
constexpr int kSpacing = 6;
constexpr int kGroupSpacing = 12;

}  // namespace zv::gui
