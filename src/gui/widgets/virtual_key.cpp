#include "widgets/virtual_key.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace zv::gui {

namespace {

using KeyPair = std::pair<int, int>;  // Qt key, virtual-key code

// Keys that mean the same on every layout.
constexpr std::array<KeyPair, 24> kFixedKeys = {{
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},     {Qt::Key_Backtab, 9},   {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},  {Qt::Key_Control, 17},  {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27}, {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},    {Qt::Key_Home, 36},     {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},  {Qt::Key_Down, 40},     {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46}, {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
}};

// The numeric pad's operators and decimal key.
constexpr std::array<KeyPair, 6> kPadKeys = {{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Comma, 110},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
}};

// Punctuation by the key that carries it: US layout first, then what only German has.
constexpr std::array<KeyPair, 34> kPunctuation = {{
    // US, unshifted and shifted.
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    // German: the umlauts, sharp s, the hash key, the dead accents and the degree sign.
    {Qt::Key_Udiaeresis, 186},
    {Qt::Key_Asterisk, 187},
    {Qt::Key_NumberSign, 191},
    {Qt::Key_Odiaeresis, 192},
    {Qt::Key_ssharp, 219},
    {Qt::Key_Dead_Circumflex, 220},
    {Qt::Key_AsciiCircum, 220},
    {Qt::Key_degree, 220},
    {Qt::Key_Dead_Acute, 221},
    {Qt::Key_Dead_Grave, 221},
    {Qt::Key_acute, 221},
    {Qt::Key_Adiaeresis, 222},
}};

template <std::size_t N>
int Lookup(const std::array<KeyPair, N>& table, int key) {
    for (const auto& [qtKey, code] : table) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

}  // namespace

int VirtualKeyOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    // Ctrl+Alt is how Windows reports AltGr; those keys type characters.
    if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier))
        return 0;
    const int key = event.key();
    // Ctrl with a letter or digit is a shortcut: one no menu takes (Ctrl+S) must not reach the
    // page as the bare letter, which on the map table is a block operation.
    const bool letterOrDigit =
        (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
    if (letterOrDigit && modifiers.testFlag(Qt::ControlModifier) &&
        !modifiers.testFlag(Qt::AltModifier))
        return 0;
#ifdef Q_OS_WIN
    if (event.nativeVirtualKey() != 0)
        return static_cast<int>(event.nativeVirtualKey() & 0xFF);
#endif
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (keypad) {
        if (const int pad = Lookup(kPadKeys, key))
            return pad;
    }
    if (const int fixed = Lookup(kFixedKeys, key))
        return fixed;
    return Lookup(kPunctuation, key);
}

}  // namespace zv::gui
