#pragma once

#include <cstdint>

namespace zv {

// Background of an editor page's value panel: white, aqua while selected, or the button face
// (the main window's neutral panel colour) when the page gave the keys away or the panel
// cannot be selected.
enum class TPanelColour : std::uint8_t { White, Aqua, ButtonFace };

}  // namespace zv
