#pragma once

#include <cstdint>
#include <string>

namespace zv {

// What a 2-D curve chart shows: 16 points over the input axis (raw 0, 17, ..., 255 shown as
// 0..100 %), each a byte of the image, drawn on a value axis that runs from ValueMin at byte 0
// to ValueMax at byte MaxValue. The bytes lie highest point first: point i at Points[15 - i].
struct TCurveChartState {
    const std::uint8_t* Points = nullptr;
    int MaxValue = 255;  // the keys keep the bytes at or below it
    std::string InputAxis;
    std::string ValueAxis;
    std::string ValueUnit;
    double ValueMin = 0.0;
    double ValueMax = 100.0;
    int ValueDecimals = 0;  // of the value axis's numbers
    bool CursorVisible = false;
    int Cursor = 0;  // point index, 0 at the lowest input
    bool MarkerVisible = false;
    int Marker = 0;  // the live input, raw 0..255

    int Point(int i) const { return Points ? Points[15 - i] : 0; }
};

}  // namespace zv
