#include "autotune/cell_solver.h"

#include <algorithm>
#include <cmath>

namespace zv {

namespace {

constexpr double kPriorWeight = 0.01;  // samples' worth pulling a free cell towards no change
constexpr int kRounds = 3;
constexpr double kMadToSigma = 1.4826;
constexpr double kSmallestScale = 0.005;  // readings agree to half a percent: nothing is wild
constexpr double kHuber = 2.0;            // in scales: beyond this a reading counts less
constexpr double kWild = 6.0;             // and beyond this not at all

// Cholesky factor of a symmetric positive definite matrix in place (lower triangle); n is small
// (the free cells).
void Factor(std::vector<double>& m, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        double d = m[j * n + j];
        for (std::size_t k = 0; k < j; ++k)
            d -= m[j * n + k] * m[j * n + k];
        d = std::sqrt(std::max(d, 1e-12));
        m[j * n + j] = d;
        for (std::size_t i = j + 1; i < n; ++i) {
            double s = m[i * n + j];
            for (std::size_t k = 0; k < j; ++k)
                s -= m[i * n + k] * m[j * n + k];
            m[i * n + j] = s / d;
        }
    }
}

// Solves with a factor in place of b.
void Substitute(const std::vector<double>& m, std::vector<double>& b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        double s = b[i];
        for (std::size_t k = 0; k < i; ++k)
            s -= m[i * n + k] * b[k];
        b[i] = s / m[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        double s = b[i];
        for (std::size_t k = i + 1; k < n; ++k)
            s -= m[k * n + i] * b[k];
        b[i] = s / m[i * n + i];
    }
}

class TSystem {
  public:
    explicit TSystem(const std::array<bool, kMapCells>& free) {
        index_.fill(-1);
        for (int c = 0; c < kMapCells; ++c) {
            if (free[static_cast<std::size_t>(c)])
                index_[static_cast<std::size_t>(c)] = static_cast<int>(n_++);
        }
        m_.assign(n_ * n_, 0.0);
        b_.assign(n_, 0.0);
    }

    void Add(const TCellEquation& e, double weight) {
        double rhs = e.Needed;
        for (int a = 0; a < e.Count; ++a) {
            if (Index(e.Cell[Sz(a)]) < 0)
                rhs -= e.Part[Sz(a)];  // a fixed cell keeps its fuel
        }
        for (int a = 0; a < e.Count; ++a) {
            const int i = Index(e.Cell[Sz(a)]);
            if (i < 0)
                continue;
            b_[Sz(i)] += weight * e.Part[Sz(a)] * rhs;
            for (int c = 0; c < e.Count; ++c) {
                const int j = Index(e.Cell[Sz(c)]);
                if (j >= 0)
                    m_[Sz(i) * n_ + Sz(j)] += weight * e.Part[Sz(a)] * e.Part[Sz(c)];
            }
        }
    }

    void Regularise(double smoothing) {
        Prior();
        for (int t = 0; t < 16; ++t) {
            for (int r = 0; r < 16; ++r) {
                Tie(Index(t * 16 + r), t < 15 ? Index((t + 1) * 16 + r) : -1, smoothing);
                Tie(Index(t * 16 + r), r < 15 ? Index(t * 16 + r + 1) : -1, smoothing);
            }
        }
    }

    void Prior() {
        for (std::size_t i = 0; i < n_; ++i) {
            m_[i * n_ + i] += kPriorWeight;
            b_[i] += kPriorWeight;
        }
    }

    // For each free cell: 1 / (its diagonal in the inverse) over its diagonal.
    std::array<double, kMapCells> Separable() const {
        std::vector<double> m = m_;
        std::array<double, kMapCells> out{};
        std::vector<double> unit(n_, 0.0);
        Factor(m);
        for (int c = 0; c < kMapCells; ++c) {
            const int i = Index(c);
            if (i < 0)
                continue;
            std::fill(unit.begin(), unit.end(), 0.0);
            unit[Sz(i)] = 1.0;
            Substitute(m, unit);
            const double own = m_[Sz(i) * n_ + Sz(i)];
            out[Sz(c)] = unit[Sz(i)] > 0.0 && own > 0.0 ? 1.0 / (unit[Sz(i)] * own) : 0.0;
        }
        return out;
    }

    std::array<double, kMapCells> Solve() {
        Factor(m_);
        Substitute(m_, b_);
        std::array<double, kMapCells> factors;
        factors.fill(1.0);
        for (int c = 0; c < kMapCells; ++c) {
            if (Index(c) >= 0)
                factors[Sz(c)] = b_[Sz(Index(c))];
        }
        return factors;
    }

  private:
    static std::size_t Sz(int i) { return static_cast<std::size_t>(i); }
    void Factor(std::vector<double>& m) const { zv::Factor(m, n_); }
    void Substitute(const std::vector<double>& m, std::vector<double>& b) const {
        zv::Substitute(m, b, n_);
    }
    int Index(int cell) const { return index_[Sz(cell)]; }

    void Tie(int i, int j, double weight) {
        if (i < 0 || j < 0)
            return;
        m_[Sz(i) * n_ + Sz(i)] += weight;
        m_[Sz(j) * n_ + Sz(j)] += weight;
        m_[Sz(i) * n_ + Sz(j)] -= weight;
        m_[Sz(j) * n_ + Sz(i)] -= weight;
    }

    std::array<int, kMapCells> index_{};
    std::size_t n_ = 0;
    std::vector<double> m_, b_;
};

double Median(std::vector<double> v) {
    if (v.empty())
        return 0.0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

}  // namespace

double Residual(const TCellEquation& e, const std::array<double, kMapCells>& factors) {
    double fitted = 0.0;
    for (int a = 0; a < e.Count; ++a)
        fitted += e.Part[static_cast<std::size_t>(a)] *
                  factors[static_cast<std::size_t>(e.Cell[static_cast<std::size_t>(a)])];
    return e.Needed - fitted;
}

TCellFit SolveCellFactors(const std::vector<TCellEquation>& equations,
                          const std::array<bool, kMapCells>& free, double smoothing) {
    std::vector<double> weights(equations.size(), 1.0);
    std::array<double, kMapCells> factors;
    factors.fill(1.0);
    for (int round = 0; round < kRounds; ++round) {
        TSystem system(free);
        for (std::size_t k = 0; k < equations.size(); ++k) {
            if (weights[k] > 0.0)
                system.Add(equations[k], weights[k]);
        }
        system.Regularise(smoothing);
        factors = system.Solve();
        std::vector<double> off;
        off.reserve(equations.size());
        for (const TCellEquation& e : equations)
            off.push_back(std::abs(Residual(e, factors)));
        const double scale = std::max(kMadToSigma * Median(off), kSmallestScale);
        for (std::size_t k = 0; k < equations.size(); ++k) {
            const double z = off[k] / scale;
            weights[k] = z > kWild ? 0.0 : z > kHuber ? kHuber / z : 1.0;
        }
    }
    TSystem readingsOnly(free);
    for (std::size_t k = 0; k < equations.size(); ++k) {
        if (weights[k] > 0.0)
            readingsOnly.Add(equations[k], weights[k]);
    }
    readingsOnly.Prior();
    return {factors, readingsOnly.Separable()};
}

}  // namespace zv
