#pragma once

#include <string>
#include <vector>

namespace zv {

// Widths of the data sheet's font (Arial, which shares Helvetica's advance widths), so that
// core can break the comment into lines that fit the page without asking a printer.

// Width of a UTF-8 text in the units of em (the font height).
int TextWidth(const std::string& utf8, int em, bool bold = false);

// The line broken at blanks into pieces no wider than width; a word longer than the width is
// broken inside. An empty line stays one empty line.
std::vector<std::string> WrapWords(const std::string& utf8, int width, int em);

}  // namespace zv
