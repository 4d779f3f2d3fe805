#include "config/key_control.h"

#include <array>
#include <utility>

namespace zv {

void TKeyControl::KeyDown(int virtualKey) const {
    if (OnKey)
        OnKey(static_cast<std::uint8_t>(virtualKey & 0xFF));
}

void TKeyControl::ShiftKeyDown(int virtualKey) const {
    const auto key = static_cast<std::uint8_t>(virtualKey & 0xFF);
    const bool arrow = key >= vk::Left && key <= vk::Down;
    if (arrow && OnShiftKey)
        OnShiftKey(key);
    else
        KeyDown(virtualKey);
}

std::uint8_t TKeyControl::TranslateStepKey(std::uint8_t key) const {
    if (key == KeyUpSmallCode)
        return vk::OemPlus;
    if (key == KeyDownSmallCode)
        return vk::OemMinus;
    return key;
}

namespace {

// Keys whose code, read as a character, would say nothing or mislead ("p" for F1). The
// punctuation keys show what they carry on a US keyboard; plus, comma, minus and point are the
// same on every layout.
constexpr std::array<std::pair<std::uint8_t, const char*>, 30> kKeyNames = {{
    {8, "Backspace"},  {13, "Enter"},  {16, "Shift"},     {17, "Ctrl"},         {19, "Pause"},
    {20, "Caps Lock"}, {32, "Space"},  {35, "End"},       {36, "Home"},         {44, "Print"},
    {45, "Insert"},    {46, "Delete"}, {106, "Num *"},    {107, "Num +"},       {109, "Num -"},
    {110, "Num ,"},    {111, "Num /"}, {144, "Num Lock"}, {145, "Scroll Lock"}, {186, ";"},
    {187, "+"},        {188, ","},     {189, "-"},        {190, "."},           {191, "/"},
    {192, "`"},        {219, "["},     {220, "\\"},       {221, "]"},           {222, "'"},
}};

constexpr std::uint8_t kNumPad0 = 96;
constexpr std::uint8_t kNumPad9 = 105;
constexpr std::uint8_t kF1 = 112;
constexpr std::uint8_t kF24 = 135;

}  // namespace

namespace {

// Keys the pages navigate and step with by themselves (arrows, Page Up/Down, the plus and minus
// keys); the key configuration does not give them away.
bool IsNavigationKey(int code) {
    switch (code) {
        case vk::PageUp:
        case vk::PageDown:
        case vk::Left:
        case vk::Up:
        case vk::Right:
        case vk::Down:
        case vk::NumPlus:
        case vk::NumMinus:
        case vk::OemPlus:
        case vk::OemMinus:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IsStepKeyCode(int code) {
    return code > 0 && code <= 0xFF && code != vk::Tab && code != vk::Esc && !IsNavigationKey(code);
}

std::string KeyCodeText(std::uint8_t code) {
    for (const auto& [key, name] : kKeyNames) {
        if (key == code)
            return name;
    }
    if (code >= kNumPad0 && code <= kNumPad9)
        return "Num " + std::to_string(code - kNumPad0);
    if (code >= kF1 && code <= kF24)
        return "F" + std::to_string(code - kF1 + 1);
    // Letters and digits are their own characters; any other printable code shows as the
    // character of that code (the default down code 63, which no key sends, reads "?").
    if (code > ' ' && code < 127)
        return std::string(1, static_cast<char>(code));
    return "";
}

}  // namespace zv
