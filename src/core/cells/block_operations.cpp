#include "cells/block_operations.h"

namespace zv {

namespace {

using TFixed = std::function<bool(int)>;

int& At(TCellValues& cells, int t, int r) {
    return cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
}
int At(const TCellValues& cells, int t, int r) {
    return cells[static_cast<std::size_t>(t)][static_cast<std::size_t>(r)];
}
int Site(const TAxisSites& sites, int i) {
    return sites[static_cast<std::size_t>(i)];
}

// Interpolated cells take the unit's own rule (Between, as the live marker's height): a cell
// filled between two edges then holds what the unit would read between them at that site,
// and the edges keep their values exactly. Rounding half up would be kinder to falling rows,
// but would make a filled map disagree with the unit's reading by one count.
void Across(TCellValues& out, const TCellValues& in, const TCellRect& b, const TAxisSites& rpm,
            const TFixed& fixed) {
    for (int t = b.TLow; t <= b.THigh; ++t) {
        const int left = At(in, t, b.RLow);
        const int right = At(in, t, b.RHigh);
        if (fixed(left) || fixed(right))
            continue;
        for (int r = b.RLow + 1; r < b.RHigh; ++r)
            if (!fixed(At(in, t, r)))
                At(out, t, r) =
                    Between(left, right, Site(rpm, r), Site(rpm, b.RLow), Site(rpm, b.RHigh));
    }
}

void Up(TCellValues& out, const TCellValues& in, const TCellRect& b, const TAxisSites& throttle,
        const TFixed& fixed) {
    for (int r = b.RLow; r <= b.RHigh; ++r) {
        const int bottom = At(in, b.TLow, r);
        const int top = At(in, b.THigh, r);
        if (fixed(bottom) || fixed(top))
            continue;
        for (int t = b.TLow + 1; t < b.THigh; ++t)
            if (!fixed(At(in, t, r)))
                At(out, t, r) = Between(bottom, top, Site(throttle, t), Site(throttle, b.TLow),
                                        Site(throttle, b.THigh));
    }
}

// Along engine speed on the bottom and top rows first, then along throttle between them, as
// the unit reads its map between four cells.
void Corners(TCellValues& out, const TCellValues& in, const TCellRect& b,
             const TAxisSites& throttle, const TAxisSites& rpm, const TFixed& fixed) {
    if (fixed(At(in, b.TLow, b.RLow)) || fixed(At(in, b.TLow, b.RHigh)) ||
        fixed(At(in, b.THigh, b.RLow)) || fixed(At(in, b.THigh, b.RHigh)))
        return;
    auto edgeRow = [&](int t, int r) {
        return Between(At(in, t, b.RLow), At(in, t, b.RHigh), Site(rpm, r), Site(rpm, b.RLow),
                       Site(rpm, b.RHigh));
    };
    for (int t = b.TLow; t <= b.THigh; ++t)
        for (int r = b.RLow; r <= b.RHigh; ++r)
            if (!fixed(At(in, t, r)))
                At(out, t, r) = Between(edgeRow(b.TLow, r), edgeRow(b.THigh, r), Site(throttle, t),
                                        Site(throttle, b.TLow), Site(throttle, b.THigh));
}

// Rounded to the nearest count: a cut mean would pull half the cells one count down on every
// pass. Fixed neighbours do not count.
void Smooth(TCellValues& out, const TCellValues& in, const TCellRect& b, const TFixed& fixed) {
    for (int t = b.TLow + 1; t < b.THigh; ++t) {
        for (int r = b.RLow + 1; r < b.RHigh; ++r) {
            if (fixed(At(in, t, r)))
                continue;
            int sum = 0;
            int count = 0;
            for (int dt = -1; dt <= 1; ++dt) {
                for (int dr = -1; dr <= 1; ++dr) {
                    const int v = At(in, t + dt, r + dr);
                    if (!fixed(v)) {
                        sum += v;
                        ++count;
                    }
                }
            }
            At(out, t, r) = RoundedQuotient(sum, count);
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
            // Rounded, not cut: a cut product leans the map a little on every multiplication.
            return RoundedQuotient((v + input.Zero) * input.Value, 1000) - input.Zero;
    }
}

}  // namespace

int RoundedQuotient(int numerator, int denominator) {
    const int half = denominator / 2;
    return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
}

// Equal sites (a block one cell wide) give the first value.
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
                for (int r = block.RLow; r <= block.RHigh; ++r)
                    if (!fixed(At(cells, t, r)))
                        At(out, t, r) = EachCell(input, At(cells, t, r));
            break;
    }
    return out;
}

}  // namespace zv
