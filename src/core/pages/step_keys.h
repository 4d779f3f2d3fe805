#pragma once

#include <cstdint>

#include "config/key_control.h"

namespace zv {

// The value keys every editor page shares: +1 on Up, numeric-pad plus, plus, point and right
// bracket; -1 on Down, numeric-pad minus, comma, minus and left bracket; 0 for other keys.
inline int StepOfKey(std::uint8_t key) {
    switch (key) {
        case vk::Up:
        case vk::NumPlus:
        case vk::OemPlus:
        case vk::OemPeriod:
        case vk::OemCloseBracket:
            return 1;
        case vk::Down:
        case vk::NumMinus:
        case vk::OemComma:
        case vk::OemMinus:
        case vk::OemOpenBracket:
            return -1;
        default:
            return 0;
    }
}

// A step on Page Up / Page Down, 0 for other keys.
inline int PageStepOfKey(std::uint8_t key, int step) {
    return key == vk::PageUp ? step : key == vk::PageDown ? -step : 0;
}

}  // namespace zv
