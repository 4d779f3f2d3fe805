#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zv {

// Windows virtual-key codes: the one key language of the program, whatever the platform.
namespace vk {
enum : std::uint8_t {
    Tab = 9,
    Enter = 13,
    Esc = 27,
    PageUp = 33,
    PageDown = 34,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    NumPlus = 107,
    NumMinus = 109,
    OemPlus = 187,
    OemComma = 188,
    OemMinus = 189,
    OemPeriod = 190,
    OemOpenBracket = 219,
    OemCloseBracket = 221,
};
}  // namespace vk

// The step keys a fresh installation starts with: the letter A key and a code no key sends.
constexpr std::uint8_t kDefaultKeyUpSmallCode = 65;
constexpr std::uint8_t kDefaultKeyDownSmallCode = 63;

// The operator's own step keys, as the main key control carries them.
struct TConfiguredStepKeys {
    std::uint8_t Up = 0;
    std::uint8_t Down = 0;
};

// The invisible keyboard sink of a window: every key that reaches it goes to one handler. The
// main window's sink also carries the two step keys the operator configured.
class TKeyControl {
  public:
    explicit TKeyControl(std::string name) : Name(std::move(name)) {}

    std::string Name;
    std::function<void(std::uint8_t)> OnKey;
    // Arrow keys with Shift held, where the window tells them apart (blocks of map cells);
    // without it they reach OnKey as plain arrows.
    std::function<void(std::uint8_t)> OnShiftKey;
    std::uint8_t KeyUpSmallCode = 0;
    std::uint8_t KeyDownSmallCode = 0;

    // A key-down reached the control: the handler gets the low byte of the virtual-key code.
    void KeyDown(int virtualKey) const;
    // The same with Shift held.
    void ShiftKeyDown(int virtualKey) const;

    // Pages that honour the configured step keys see them as the plus (187) and minus (189)
    // keys; the up key wins when both codes are equal.
    std::uint8_t TranslateStepKey(std::uint8_t key) const;
    TConfiguredStepKeys StepKeys() const { return {KeyUpSmallCode, KeyDownSmallCode}; }
};

// A code the key configuration can assign to a step key: a byte that is not 0, Tab, Esc or a
// navigation key.
bool IsStepKeyCode(int code);

// What the key panels show for a key code: the key's own character or a short name.
std::string KeyCodeText(std::uint8_t code);

}  // namespace zv
