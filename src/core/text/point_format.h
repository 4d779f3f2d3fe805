#pragma once

#include <string>

namespace zv {

// Numbers with a fraction, always with a point: log files are read by spreadsheets and tools,
// and every window shows the dashboard's point, whatever locale the user interface installed
// for the C library (printf and streams follow it, these never do).

// printf's "%W.Pf": at least width characters, blanks in front, precision digits after the point.
std::string FormatFixed(double value, int width, int precision);

// One "%W.Pf" item with the text around it, for example "%1.2fV".
std::string FormatPoint(const char* format, double value);

// printf's "%+.Pf": a change with its sign, "+10.0" or "-3.5".
std::string FormatSigned(double value, int precision);

// printf's "%.10g": a setting's limit as short as it is exact, "0.5", "100".
std::string FormatShort(double value);

// A cell of the AFR target map as its pages show it: the AFR, or "NC" where bit 7 marks a cell
// without closed-loop control.
std::string AfrTargetText(unsigned cell);

}  // namespace zv
