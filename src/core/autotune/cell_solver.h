#pragma once

#include <array>
#include <vector>

namespace zv {

constexpr int kMapCells = 256;

// One reading as an equation over the map: the fuel the engine needed at its point, relative to
// what the map gives there, is the sum over the cells around the point of each cell's part of
// that fuel times the factor the cell is to take.
struct TCellEquation {
    int Count = 0;
    std::array<int, 4> Cell{};     // t x 16 + r
    std::array<double, 4> Part{};  // the cell's part of the map's fuel at the point, summing to 1
    std::array<double, 4> Share{};  // the cell's interpolation weight at the point
    double Needed = 1.0;           // the fuel needed over the map's fuel at the point
};

// The factor per cell that fits all readings at once in the least-squares sense, each reading
// counting only for each cell's part in it. Cells not free keep 1 and their part moves to the
// reading's side. Neighbouring free cells are held alike by
// `smoothing`, and every free cell weakly towards 1, so that a cell only few readings reach
// stays put. Readings far from the fit count less in a second and third round, so that a wild
// one does not pull its cells.
struct TCellFit {
    std::array<double, kMapCells> Factors{};
    // How well the readings alone pin each free cell down, as a share of how well its own
    // readings would if its neighbours were known: near 1 where the readings spread over the
    // cell's span, near 0 where they always mix it with the same neighbours in the same shares
    // (a throttle held between two sites), so that only their mix is known.
    std::array<double, kMapCells> Separable{};
};

TCellFit SolveCellFactors(const std::vector<TCellEquation>& equations,
                          const std::array<bool, kMapCells>& free, double smoothing);

// How far a reading lies from the fit: needed - fitted.
double Residual(const TCellEquation& e, const std::array<double, kMapCells>& factors);

}  // namespace zv
