#pragma once

#include <string>

namespace zv {

// How the correction curves' bytes and the unit's correction outputs read, wherever they are
// shown or typed in.

// The largest byte of a multiplying curve: factor 4.00.
constexpr int kFactorMax = 191;

std::string FactorText(int b);        // b * 3 / 191 + 1 as "%1.2f"
std::string AddedPercentText(int b);  // b * 100 div 255
std::string CompensationText(int b);  // (b * 200 div 255) - 100

}  // namespace zv
