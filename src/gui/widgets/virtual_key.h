#pragma once

class QKeyEvent;

namespace zv::gui {

// The Windows virtual-key code of a key press, the one key language of core; 0 for a key that
// has none (dead keys we do not know, keys of other scripts) and for keys pressed with Alt
// alone, which belong to the menus (Windows, too, reports them as system keys, not as keys).
//
// On Windows the event carries the code itself. Elsewhere Qt reports the character or function
// a key produced, so the code is derived from it:
// - letters A..Z and digits 0..9 are their own codes; with the keypad modifier the digits,
//   + - * / and the decimal key become the numeric-pad codes 96..111;
// - F1..F24 are 112..135; arrows, Page Up/Down, Home, End, Insert, Delete, Tab (also
//   Shift+Tab), Esc, Enter, Backspace, Space, Shift, Ctrl, Pause, Caps/Num/Scroll Lock have
//   their fixed codes;
// - the punctuation keys 186..192 and 219..222 are found by the character their key carries on
//   a US or a German layout, unshifted or shifted. Plus, comma, minus and point are 187..190 on
//   every layout. Where the two layouts put one shifted character on different keys
//   (";" ":" "'" "`" "?"), the US layout decides.
int VirtualKeyOf(const QKeyEvent& event);

}  // namespace zv::gui
