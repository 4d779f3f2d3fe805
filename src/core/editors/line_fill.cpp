#include "editors/line_fill.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "cells/block_operations.h"

namespace zv {

namespace {

// A cell may lie this far from the target at its own site where that keeps the raw values
// between the sites closer; a cell filled at its site is never more than three counts off
// between sites, so a wider search finds nothing better.
constexpr int kReach = 3;
constexpr int kChoices = 2 * kReach + 1;
constexpr int kNone = std::numeric_limits<int>::max();

// How far a stretch of raw values is off: at worst, and how many of them.
struct TMiss {
    int Worst = 0;
    int Count = 0;
    void Add(int off) {
        Worst = std::max(Worst, off);
        Count += off != 0;
    }
};

int Site(const TSites& sites, int j) {
    return sites[static_cast<std::size_t>(j)];
}

class TLineSearch {
  public:
    TLineSearch(const TAxisCurve& target, const TSites& sites) : target_(target), sites_(sites) {}

    // Among the lines no worse than the least worst: fewest raw values off, then cells nearest
    // their sites' targets; both add up along the line, so each cell's choices need only the
    // cheapest way to them from the cell before.
    TSites Best() const {
        const int worst = LeastWorst();
        std::array<TRow, 16> cost{};
        std::array<std::array<int, kChoices>, 16> from{};
        for (int c = 0; c < kChoices; ++c) {
            const TMiss ends = Ends(0, Value(0, c));
            cost[0][Index(c)] =
                ends.Worst <= worst ? TCost{ends.Count, std::abs(c - kReach)} : kFar;
        }
        for (int j = 1; j < 16; ++j)
            for (int c = 0; c < kChoices; ++c)
                cost[Index(j)][Index(c)] =
                    Reach(j, c, cost[Index(j - 1)], worst, from[Index(j)][Index(c)]);
        const TRow& last = cost[15];
        int c = static_cast<int>(std::min_element(last.begin(), last.end()) - last.begin());
        TSites line{};
        for (int j = 15; j >= 0; --j) {
            line[Index(j)] = static_cast<std::uint8_t>(Value(j, c));
            c = from[Index(j)][Index(c)];
        }
        return line;
    }

  private:
    using TCost = std::pair<int, int>;
    static constexpr TCost kFar{kNone, kNone};
    using TRow = std::array<TCost, kChoices>;

    static std::size_t Index(int i) { return static_cast<std::size_t>(i); }

    // The cheapest way to choice c of cell j from the previous cell's choices, none of its
    // raw values more than `worst` off; `fromChoice` takes the previous cell's choice.
    TCost Reach(int j, int c, const TRow& previous, int worst, int& fromChoice) const {
        TCost best = kFar;
        const TMiss ends = Ends(j, Value(j, c));
        for (int p = 0; p < kChoices && ends.Worst <= worst; ++p) {
            const TCost before = previous[Index(p)];
            if (before == kFar)
                continue;
            const TMiss between = Between(j, Value(j - 1, p), Value(j, c));
            const TCost here{before.first + between.Count + ends.Count,
                             before.second + std::abs(c - kReach)};
            if (between.Worst <= worst && here < best) {
                best = here;
                fromChoice = p;
            }
        }
        return best;
    }

    // Choice c of cell j, or -1 outside a byte.
    int Value(int j, int c) const {
        const int v = target_[Index(Site(sites_, j))] + c - kReach;
        return v < 0 || v > 255 ? -1 : v;
    }

    // Below the lowest site the unit reads the lowest cell, above the highest the highest.
    TMiss Ends(int j, int value) const {
        TMiss miss;
        if (value < 0)
            return {kNone, 0};
        int from = 1, to = 0;
        if (j == 0)
            from = 0, to = Site(sites_, 0);
        else if (j == 15)
            from = Site(sites_, 15) + 1, to = 255;
        for (int x = from; x <= to; ++x)
            miss.Add(std::abs(value - target_[Index(x)]));
        return miss;
    }

    TMiss Between(int j, int low, int high) const {
        TMiss miss;
        const int s0 = Site(sites_, j - 1), s1 = Site(sites_, j);
        for (int x = s0 + 1; x <= s1; ++x)
            miss.Add(std::abs(zv::Between(low, high, x, s0, s1) - target_[Index(x)]));
        return miss;
    }

    // The smallest worst miss any line can have.
    int LeastWorst() const {
        std::array<int, kChoices> worst{};
        for (int c = 0; c < kChoices; ++c)
            worst[Index(c)] = Ends(0, Value(0, c)).Worst;
        for (int j = 1; j < 16; ++j) {
            std::array<int, kChoices> next{};
            for (int c = 0; c < kChoices; ++c) {
                int best = kNone;
                const TMiss ends = Ends(j, Value(j, c));
                for (int p = 0; p < kChoices && ends.Worst != kNone; ++p) {
                    if (worst[Index(p)] == kNone)
                        continue;
                    const int w = std::max({worst[Index(p)], ends.Worst,
                                            Between(j, Value(j - 1, p), Value(j, c)).Worst});
                    best = std::min(best, w);
                }
                next[Index(c)] = best;
            }
            worst = next;
        }
        return *std::min_element(worst.begin(), worst.end());
    }

    const TAxisCurve& target_;
    const TSites& sites_;
};

}  // namespace

TSites LineForCurve(const TAxisCurve& target, const TSites& sites) {
    return TLineSearch(target, sites).Best();
}

}  // namespace zv
