#include "config/page_list_place.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <tuple>

namespace zv {

bool TRect::Intersects(const TRect& other) const {
    return !Empty() && !other.Empty() && Left < other.Right() && other.Left < Right() &&
           Top < other.Bottom() && other.Top < Bottom();
}

bool TRect::Contains(const TRect& other) const {
    return other.Left >= Left && other.Right() <= Right() && other.Top >= Top &&
           other.Bottom() <= Bottom();
}

namespace {

TRect Grown(const TRect& rect, int by) {
    return {rect.Left - by, rect.Top - by, rect.Width + 2 * by, rect.Height + 2 * by};
}

std::int64_t OverlapArea(const TRect& a, const TRect& b) {
    const int w = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
    const int h = std::min(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
    return w > 0 && h > 0 ? std::int64_t{w} * h : 0;
}

// Every place worth trying lines up with an edge of the area or of an occupied rectangle: a
// free place that touches none of them can slide until it does without covering anything.
std::vector<int> Edges(int areaLow, int areaHigh, int size, int gap, const std::vector<TRect>& occupied,
                       bool horizontal) {
    std::vector<int> edges{areaLow + gap, areaHigh - gap - size};
    for (const TRect& r : occupied) {
        const int low = horizontal ? r.Left : r.Top;
        const int high = horizontal ? r.Right() : r.Bottom();
        edges.push_back(high + gap);
        edges.push_back(low - gap - size);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    return edges;
}

// Lower is better: least far down, then furthest right, then fewest columns.
using Rank = std::tuple<std::int64_t, int, int, int>;

}  // namespace

TPageListPlace PlacePageList(const TRect& area, const std::vector<TRect>& occupied,
                             const std::vector<TPageListShape>& shapes, int gap) {
    std::optional<Rank> best;
    TPageListPlace place;
    for (std::size_t s = 0; s < shapes.size(); ++s) {
        const TPageListShape& shape = shapes[s];
        const auto xs = Edges(area.Left, area.Right(), shape.Width, gap, occupied, true);
        const auto ys = Edges(area.Top, area.Bottom(), shape.Height, gap, occupied, false);
        for (int y : ys) {
            for (int x : xs) {
                const TRect rect{x, y, shape.Width, shape.Height};
                if (!area.Contains(rect))
                    continue;
                std::int64_t covered = 0;
                for (const TRect& r : occupied) {
                    if (Grown(rect, gap).Intersects(r))
                        covered += std::max<std::int64_t>(OverlapArea(rect, r), 1);
                }
                const Rank rank{covered, rect.Bottom(), -rect.Right(), static_cast<int>(s)};
                if (!best || rank < *best) {
                    best = rank;
                    place = {rect, shape.Columns, covered > 0};
                }
            }
        }
    }
    if (!best && !shapes.empty()) {
        // Not even the smallest shape fits the area: its upper right corner, cut to the area.
        const TPageListShape& shape = shapes.front();
        place = {{std::max(area.Left, area.Right() - shape.Width), area.Top, shape.Width, shape.Height},
                 shape.Columns,
                 true};
    }
    return place;
}

}  // namespace zv
