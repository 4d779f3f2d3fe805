#include "cells/block_operations.h"

namespace zv {

namespace {

using TFixed = std::function<bool(int)>;

// Interpolated cells take the unit's own rule (Between, as the live marker's height): a cell
// filled between two edges then holds what the unit would read between them at that site,
// and the edges keep their values exactly. Rounding half up would be kinder to falling rows,
// but would make a filled map disagree with the unit's reading by one count.
void Across(TCellValues& out, const TCellValues& in, const TCellRect& b, const TAxisSites& rpm,
            const TFixed& fixed) {
    for (int t = b.TLow; t <= b.THigh; ++t) {
        const auto& row = in[static_cast<std::size_t>(t)];
        const int left = row[static_cast<std::size_t>(b.RLow)];
        const int right = row[static_cast<std::size_t>(b.RHigh)];
        if (fixed(left) || fixed(right))
            continue;
        for (int r = b.RLow + 1; r < b.RHigh; ++r)
            if (!fixed(row[static_cast<std::size_t>(r)]))
                out[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] =
                    Between(left, right, rpm[static_cast<std::size_t>(r)],
                            rpm[static_cast<std::size_t>(b.RLow)],
                            rpm[static_cast<std::size_t>(b.RHigh)]);
    }
}

void Up(TCellValues& out, const TCellValues& in, const TCellRect& b, const TAxisSites& throttle,
        const TFixed& fixed) {
    for (int r = b.RLow; r <= b.RHigh; ++r) {
        const auto c = static_cast<std::size_t>(r);
        const int bottom = in[static_cast<std::size_t>(b.TLow)][c];
        const int top = in[static_cast<std::size_t>(b.THigh)][c];
        if (fixed(bottom) || fixed(top))
            continue;
        for (int t = b.TLow + 1; t < b.THigh; ++t)
            if (!fixed(in[static_cast<std::size_t>(t)][c]))
                out[static_cast<std::size_t>(t)][c] =
                    Between(bottom, top, throttle[static_cast<std::size_t>(t)],
                            throttle[static_cast<std::size_t>(b.TLow)],
                            throttle[static_cast<std::size_t>(b.THigh)]);
    }
}

// Along engine speed on the bottom and top rows first, then along throttle between them, as
// the unit reads its map between four cells.
void Corners(TCellValues& out, const TCellValues& in, const TCellRect& b, const TAxisSites& throttle,
             const TAxisSites& rpm, const TFixed& fixed) {
    auto at = [&in](int t, int r) {
        return in[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
    };
    if (fixed(at(b.TLow, b.RLow)) || fixed(at(b.TLow, b.RHigh)) || fixed(at(b.THigh, b.RLow)) ||
        fixed(at(b.THigh, b.RHigh)))
        return;
    auto edgeRow = [&](int t, int r) {
        if (b.RLow == b.RHigh)
            return at(t, b.RLow);
        return Between(at(t, b.RLow), at(t, b.RHigh), rpm[static_cast<std::size_t>(r)],
                       rpm[static_cast<std::size_t>(b.RLow)], rpm[static_cast<std::size_t>(b.RHigh)]);
    };
    for (int t = b.TLow; t <= b.THigh; ++t) {
        for (int r = b.RLow; r <= b.RHigh; ++r) {
            if (fixed(at(t, r)))
                continue;
            const int low = edgeRow(b.TLow, r);
            out[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] =
                b.TLow == b.THigh
                    ? low
                    : Between(low, edgeRow(b.THigh, r), throttle[static_cast<std::size_t>(t)],
                              throttle[static_cast<std::size_t>(b.TLow)],
                              throttle[static_cast<std::size_t>(b.THigh)]);
        }
    }
}

// Cut toward zero as every division of the program; fixed neighbours do not count.
void Smooth(TCellValues& out, const TCellValues& in, const TCellRect& b, const TFixed& fixed) {
    for (int t = b.TLow + 1; t < b.THigh; ++t) {
        for (int r = b.RLow + 1; r < b.RHigh; ++r) {
            if (fixed(in[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)]))
                continue;
            int sum = 0;
            int count = 0;
            for (int dt = -1; dt <= 1; ++dt) {
                for (int dr = -1; dr <= 1; ++dr) {
                    const int v = in[static_cast<std::size_t>(t + dt)][static_cast<std::size_t>(r + dr)];
                    if (!fixed(v)) {
                        sum += v;
                        ++count;
                    }
                }
            }
            out[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)] = sum / count;
        }
    }
}

int EachCell(const TBlockInput& input, int v) {
    switch (input.Op) {
        case TBlockOp::Set:
            return input.Value;
        case TBlockOp::Add:
            return v + input.Value;
        default:
            return (v + input.Zero) * input.Value / 1000 - input.Zero;
    }
}

}  // namespace

int Between(int a, int b, int v, int s0, int s1) {
    if (s1 == s0)
        return a;
    return a + (b - a) * (v - s0) / (s1 - s0);
}

TCellValues BlockResult(const TCellValues& cells, const TCellRect& block, const TBlockInput& input,
                        const TAxisSites& throttle, const TAxisSites& rpm, const TFixed& fixed) {
    TCellValues out = cells;
    switch (input.Op) {
        case TBlockOp::InterpolateAcross:
            Across(out, cells, block, rpm, fixed);
            break;
        case TBlockOp::InterpolateUp:
            Up(out, cells, block, throttle, fixed);
            break;
        case TBlockOp::InterpolateCorners:
            Corners(out, cells, block, throttle, rpm, fixed);
            break;
        case TBlockOp::Smooth:
            Smooth(out, cells, block, fixed);
            break;
        default:
            for (int t = block.TLow; t <= block.THigh; ++t)
                for (int r = block.RLow; r <= block.RHigh; ++r) {
                    int& v = out[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
                    if (!fixed(v))
                        v = EachCell(input, v);
                }
            break;
    }
    return out;
}

}  // namespace zv
