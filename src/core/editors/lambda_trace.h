#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace zv {

class TZVDataClass;

// One step of a trace on the lambda trace box, colour as 0xRRGGBB.
struct TTraceLine {
    int X0, Y0, X1, Y1;
    std::uint32_t Colour;
};

// A marker shape beside the newest point of its trace.
struct TTraceShape {
    bool Visible = true;
    int Left = 0;
    int Top = 0;
};

// What one tick of the trace timer draws.
struct TTraceDraw {
    bool Clear = false;  // the box is cleared first (grid lines, TraceGrid)
    std::vector<TTraceLine> Lines;
};

// The clear box's lines at a height: dotted at 10 % and 90 %, solid at the middle.
struct TTraceGrid {
    int DottedTop, DottedBottom, Solid;
    std::uint32_t Colour;
};
TTraceGrid TraceGrid(int height);

// Where a trace value 0..51 lies in a box of that height, between the 10 % and 90 % lines.
int TraceY(int v, int height);

// The scrolling lambda display under the fuel map: the narrowband controller, the narrowband
// sensor and the wideband signal drawn one pixel column per tick of its 200 ms timer.
class TLambdaTrace {
  public:
    // One tick while running online; width and height of the trace box in pixels.
    // lambdaInput is the narrowband reading the live records delivered; the newer firmwares
    // set it here from their own inputs.
    TTraceDraw Tick(const TZVDataClass& data, int width, int height, std::uint16_t& lambdaInput);

    const TTraceShape& ControllerShape() const { return lloShape_; }  // LLoShape
    const TTraceShape& WidebandShape() const { return wboShape_; }    // WBoShape
    int Column() const { return column_; }

  private:
    // A trace remembers its last value, where its next line starts.
    struct TTrace {
        std::uint8_t Previous = 0;
    };
    void Draw(TTraceDraw& draw, TTrace& trace, int v, std::uint32_t colour, TTraceShape& shape,
              int height) const;
    void DrawOlder(TTraceDraw& draw, const std::uint8_t* record, std::uint16_t lambdaInput,
                   int height);
    void DrawNewer(TTraceDraw& draw, const TZVDataClass& data, const std::uint8_t* record,
                   std::uint16_t& lambdaInput, int height);

    int column_ = 1;
    TTrace controller_, sensor_, wideband_;
    TTraceShape lloShape_, wboShape_;
};

}  // namespace zv
