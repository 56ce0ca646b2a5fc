// The board's moves as a linear system over the integers modulo k, solved by an elimination
// that treats k = 4 as the ring it is, then a search of the solution set for the fewest clicks.
#include "solver/solver.h"

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "board/trace.h"

namespace {

constexpr int maxCells = maxGridSize * maxGridSize;
// One value per cell plus the right-hand side, rounded up to a multiple of 16 bytes so that the
// loops over a row vectorise without a tail.
constexpr int rowLength = (maxCells + 1 + 15) / 16 * 16;

// A row of the system, or a plan: values 0 ... k-1, the unused tail kept at 0.
using Row = std::array<uint8_t, rowLength>;

// The integers modulo k = p^e (every colour count 2 ... 5 is a prime power).
struct Ring {
    int32_t k = 2;
    int32_t p = 2;
    int32_t e = 1;

    explicit Ring(int32_t colors) : k(colors) {
        p = 2;
        while (k % p != 0) {
            ++p;
        }
        e = 0;
        for (int32_t q = k; q > 1; q /= p) {
            ++e;
        }
    }

    // Largest v with p^v dividing a; e for 0.
    int32_t valuation(int32_t a) const {
        if (a % k == 0) {
            return e;
        }
        int32_t v = 0;
        for (; a % p == 0; a /= p) {
            ++v;
        }
        return v;
    }
    int32_t power(int32_t v) const {
        int32_t q = 1;
        for (int32_t i = 0; i < v; ++i) {
            q *= p;
        }
        return q;
    }
    // Inverse of a unit; k is at most 5, so a search is the simplest exact way.
    int32_t inverse(int32_t u) const {
        for (int32_t c = 1; c < k; ++c) {
            if (u * c % k == 1) {
                return c;
            }
        }
        return 1;
    }
};

// x = x + y modulo k, both reduced: the unsigned difference s - k wraps above s when s < k.
void addInto(Row& x, const Row& y, uint8_t k) {
    for (int i = 0; i < rowLength; ++i) {
        const uint8_t s = static_cast<uint8_t>(x[i] + y[i]);
        x[i] = std::min(s, static_cast<uint8_t>(s - k));
    }
}

int64_t weight(const Row& x) {
    uint32_t sum = 0;
    for (int i = 0; i < rowLength; ++i) {
        sum += x[i];
    }
    return sum;
}

// The weight of x, and x + y modulo k written into sum, in one pass.
int64_t weighThenAdd(const Row& x, const Row& y, Row& sum, uint8_t k) {
    uint32_t w = 0;
    for (int i = 0; i < rowLength; ++i) {
        w += x[i];
        const uint8_t s = static_cast<uint8_t>(x[i] + y[i]);
        sum[i] = std::min(s, static_cast<uint8_t>(s - k));
    }
    return w;
}

Row scaled(const Row& x, int32_t c, int32_t k) {
    Row r{};
    for (int i = 0; i < rowLength; ++i) {
        r[i] = static_cast<uint8_t>(x[i] * c % k);
    }
    return r;
}

// The system after elimination: rows [0, rank) are pivot rows, each zero in the columns pivoted
// before it, with its pivot's valuation no higher than any other entry it holds.
struct Echelon {
    std::vector<Row> rows;
    std::vector<int> pivotColumn;
    std::vector<int> freeColumns;
    int rank = 0;
};

// Column by column, pivots of valuation 0 first, then 1, ...: a column is left for a later round
// when all its entries below the pivot rows are multiples of p, and row operations keep it so.
Echelon eliminate(std::vector<Row> rows, int columns, const Ring& ring) {
    Echelon ech;
    const auto k = static_cast<uint8_t>(ring.k);
    std::vector<int> remaining(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        remaining[static_cast<size_t>(c)] = c;
    }
    const int rowCount = static_cast<int>(rows.size());
    int r = 0;
    for (int32_t v = 0; v < ring.e && !remaining.empty(); ++v) {
        std::vector<int> later;
        for (const int col : remaining) {
            int found = -1;
            bool nonZero = false;
            for (int i = r; i < rowCount; ++i) {
                const int32_t a = rows[static_cast<size_t>(i)][static_cast<size_t>(col)];
                nonZero = nonZero || a != 0;
                if (a != 0 && ring.valuation(a) == v) {
                    found = i;
                    break;
                }
            }
            if (found < 0) {
                (nonZero ? later : ech.freeColumns).push_back(col);
                continue;
            }
            std::swap(rows[static_cast<size_t>(r)], rows[static_cast<size_t>(found)]);
            const Row& pivotRow = rows[static_cast<size_t>(r)];
            const int32_t pivot = pivotRow[static_cast<size_t>(col)];
            const int32_t pv = ring.power(v);
            const int32_t unitInverse = ring.inverse(pivot / pv);
            // minus c times the pivot row, for every multiplier c
            std::vector<Row> negMultiple(static_cast<size_t>(ring.k));
            for (int32_t c = 1; c < ring.k; ++c) {
                negMultiple[static_cast<size_t>(c)] = scaled(pivotRow, ring.k - c, ring.k);
            }
            for (int i = r + 1; i < rowCount; ++i) {
                Row& row = rows[static_cast<size_t>(i)];
                const int32_t a = row[static_cast<size_t>(col)];
                if (a != 0) {
                    const int32_t c = a / pv * unitInverse % ring.k;
                    addInto(row, negMultiple[static_cast<size_t>(c)], k);
                }
            }
            ech.pivotColumn.push_back(col);
            ++r;
        }
        remaining = std::move(later);
    }
    ech.freeColumns.insert(ech.freeColumns.end(), remaining.begin(), remaining.end());
    ech.rank = r;
    ech.rows = std::move(rows);
    return ech;
}

// Fills the pivot variables of x from the last pivot row up; the free variables are taken as
// set. extra[i] (a multiple of k / p^v) picks among the p^v values pivot i allows.
Row backSubstitute(const Echelon& ech, int columns, bool withRhs, Row x,
                   const std::vector<int32_t>& extra, const Ring& ring) {
    for (int i = ech.rank - 1; i >= 0; --i) {
        const Row& row = ech.rows[static_cast<size_t>(i)];
        const int pc = ech.pivotColumn[static_cast<size_t>(i)];
        int32_t s = 0;
        for (int j = 0; j < columns; ++j) {
            if (j != pc) {
                s += row[static_cast<size_t>(j)] * x[static_cast<size_t>(j)];
            }
        }
        const int32_t rhs = withRhs ? row[static_cast<size_t>(columns)] : 0;
        s = ((rhs - s) % ring.k + ring.k) % ring.k;
        const int32_t pivot = row[static_cast<size_t>(pc)];
        const int32_t pv = ring.power(ring.valuation(pivot));
        const int32_t value = s / pv * ring.inverse(pivot / pv) % (ring.k / pv);
        x[static_cast<size_t>(pc)] =
            static_cast<uint8_t>((value + extra[static_cast<size_t>(i)]) % ring.k);
    }
    return x;
}

// Every plan base + sum of t_j * generator_j, t_j in 0 ... order_j - 1, keeping the lightest.
// A plan of no click never wins, since the game tests for a win only after a move, so plans of
// weight 0 are passed over. The budget counts the plans weighed, over every search of one object.
class PlanSearch {
  public:
    PlanSearch(const std::vector<Row>& generators, const std::vector<int32_t>& orders, uint8_t k,
               uint64_t maxSteps)
        : generators_(generators), orders_(orders), k_(k), maxSteps_(maxSteps) {}

    // Searches the generators listed in use; returns false if the budget cut it short.
    bool search(const Row& base, const std::vector<int>& use) {
        use_ = &use;
        best_ = base;
        bestWeight_ = weight(base);
        if (!use.empty()) {
            visit(static_cast<int>(use.size()) - 1, base);
        }
        return !cut_;
    }
    const Row& best() const { return best_; }
    int64_t bestWeight() const { return bestWeight_; }
    bool cut() const { return cut_; }

  private:
    void visit(int level, Row x) {
        const int g = (*use_)[static_cast<size_t>(level)];
        const int32_t order = orders_[static_cast<size_t>(g)];
        const Row& generator = generators_[static_cast<size_t>(g)];
        if (level > 0) {
            for (int32_t t = 0; t < order && !cut_; ++t) {
                visit(level - 1, x);
                if (t + 1 < order) {
                    addInto(x, generator, k_);
                }
            }
            return;
        }
        if (visited_ >= maxSteps_) {
            cut_ = true;
            return;
        }
        // The innermost loop weighs one plan while it writes the next into the other buffer.
        std::array<Row, 2> plan{x, Row{}};
        for (int32_t t = 0; t < order; ++t) {
            const Row& current = plan[static_cast<size_t>(t % 2)];
            const int64_t w =
                t + 1 < order
                    ? weighThenAdd(current, generator, plan[static_cast<size_t>((t + 1) % 2)], k_)
                    : weight(current);
            if (w < bestWeight_ && w > 0) {
                bestWeight_ = w;
                best_ = current;
            }
        }
        visited_ += static_cast<uint64_t>(order);
    }

    const std::vector<Row>& generators_;
    const std::vector<int32_t>& orders_;
    uint8_t k_;
    uint64_t maxSteps_;
    const std::vector<int>* use_ = nullptr;
    Row best_{};
    int64_t bestWeight_ = 0;
    uint64_t visited_ = 0;
    bool cut_ = false;
};

// Too many plans to try them all: from the particular plan, search every combination of a few
// generators at a time, in windows sliding over all of them, while that still lowers the clicks.
Row improvePlan(const Row& start, const std::vector<Row>& generators,
                const std::vector<int32_t>& orders, uint8_t k, uint64_t maxSteps) {
    constexpr int64_t windowPlans = 4096;
    constexpr int maxRounds = 64;
    constexpr int64_t randomWindowPlans = int64_t{1} << 12;
    constexpr int staleWindows = 32;
    PlanSearch search(generators, orders, k, maxSteps);
    Row x = start;
    int64_t w = weight(x);
    const int count = static_cast<int>(generators.size());
    for (int round = 0; round < maxRounds && w > 1; ++round) {
        bool improved = false;
        for (int first = 0; first < count;) {
            std::vector<int> window;
            int64_t plans = 1;
            int j = first;
            for (; j < count && plans * orders[static_cast<size_t>(j)] <= windowPlans; ++j) {
                plans *= orders[static_cast<size_t>(j)];
                window.push_back(j);
            }
            search.search(x, window);
            if (search.bestWeight() < w) {
                x = search.best();
                w = search.bestWeight();
                improved = true;
            }
            if (search.cut()) {
                return x;
            }
            // Windows overlap by half, so neighbouring generators are also tried together.
            first += std::max(1, (j - first) / 2);
        }
        if (!improved) {
            break;
        }
    }
    // Then larger windows of generators drawn at random (the same draws on every run), until a
    // long run of them finds nothing better.
    std::mt19937 rng(1);
    std::vector<int> shuffled(static_cast<size_t>(count));
    for (int g = 0; g < count; ++g) {
        shuffled[static_cast<size_t>(g)] = g;
    }
    for (int stale = 0; stale < staleWindows && w > 1 && count > 0;) {
        std::vector<int> window;
        int64_t plans = 1;
        for (int i = 0; i < count; ++i) {
            const int j = i + static_cast<int>(rng() % static_cast<uint32_t>(count - i));
            std::swap(shuffled[static_cast<size_t>(i)], shuffled[static_cast<size_t>(j)]);
            const int g = shuffled[static_cast<size_t>(i)];
            if (plans * orders[static_cast<size_t>(g)] > randomWindowPlans) {
                break;
            }
            plans *= orders[static_cast<size_t>(g)];
            window.push_back(g);
        }
        search.search(x, window);
        if (search.bestWeight() < w) {
            x = search.best();
            w = search.bestWeight();
            stale = 0;
        } else {
            ++stale;
        }
        if (search.cut()) {
            return x;
        }
    }
    return x;
}

} // namespace

std::string decimalPower(uint32_t base, uint32_t exponent) {
    constexpr uint64_t limbBase = 1000000000;
    std::vector<uint64_t> limbs{1}; // little-endian, nine decimal digits each
    for (uint32_t i = 0; i < exponent; ++i) {
        uint64_t carry = 0;
        for (uint64_t& limb : limbs) {
            const uint64_t v = limb * base + carry;
            limb = v % limbBase;
            carry = v / limbBase;
        }
        while (carry > 0) {
            limbs.push_back(carry % limbBase);
            carry /= limbBase;
        }
    }
    std::string text = std::to_string(limbs.back());
    for (size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string digits = std::to_string(limbs[i]);
        text += std::string(9 - digits.size(), '0') + digits;
    }
    return text;
}

Solution solveBoard(const Grid& start, const Motif& motif, int32_t k, bool torus,
                    uint64_t maxSteps) {
    if (k < 2 || k > 5 || start.size < 1 ||
        std::any_of(motif.begin(), motif.end(), [](int32_t v) { return v < 0; })) {
        return Solution{}; // outside what the elimination below is exact for
    }
    const Ring ring(k);
    const int32_t n = std::clamp(start.size, int32_t{0}, maxGridSize);
    const int cells = n * n;
    const auto index = [n](int32_t x, int32_t y) { return static_cast<size_t>(x * n + y); };

    // Row of cell c, column of click j: what one click on j adds to c, taken from the very
    // placement the game uses. The last column: what the goal needs added to the start.
    std::vector<Row> rows(static_cast<size_t>(cells));
    for (int32_t cx = 0; cx < n; ++cx) {
        for (int32_t cy = 0; cy < n; ++cy) {
            const Grid laid =
                torus ? placeMotifTorus(n, cx, cy, motif) : placeMotifClipped(n, cx, cy, motif);
            for (int32_t x = 0; x < n; ++x) {
                for (int32_t y = 0; y < n; ++y) {
                    rows[index(x, y)][index(cx, cy)] = static_cast<uint8_t>(laid.cells[x][y] % k);
                }
            }
        }
    }
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            rows[index(x, y)][static_cast<size_t>(cells)] =
                static_cast<uint8_t>(((int64_t{k} - 1 - start.cells[x][y]) % k + k) % k);
        }
    }

    const Echelon ech = eliminate(std::move(rows), cells, ring);
    Solution solution;
    solution.plan = newGrid(n);
    for (int i = 0; i < cells; ++i) {
        const int32_t rhs = ech.rows[static_cast<size_t>(i)][static_cast<size_t>(cells)];
        const int32_t needed =
            i < ech.rank ? ring.power(ring.valuation(ech.rows[static_cast<size_t>(
                               i)][static_cast<size_t>(ech.pivotColumn[static_cast<size_t>(i)])]))
                         : ring.k;
        if (rhs % needed != 0) {
            return solution; // not solvable
        }
    }

    // The solution set: one plan plus every combination of the generators below, each
    // combination giving a different plan, so the count is the product of their orders.
    const std::vector<int32_t> noExtra(static_cast<size_t>(ech.rank), 0);
    const Row particular = backSubstitute(ech, cells, true, Row{}, noExtra, ring);
    std::vector<Row> generators;
    std::vector<int32_t> orders;
    for (const int f : ech.freeColumns) {
        Row x{};
        x[static_cast<size_t>(f)] = 1;
        generators.push_back(backSubstitute(ech, cells, false, x, noExtra, ring));
        orders.push_back(ring.k);
    }
    for (int i = 0; i < ech.rank; ++i) {
        const int pc = ech.pivotColumn[static_cast<size_t>(i)];
        const int32_t v = ring.valuation(ech.rows[static_cast<size_t>(i)][static_cast<size_t>(pc)]);
        if (v > 0) {
            std::vector<int32_t> extra = noExtra;
            extra[static_cast<size_t>(i)] = ring.k / ring.power(v);
            generators.push_back(backSubstitute(ech, cells, false, Row{}, extra, ring));
            orders.push_back(ring.power(v));
        }
    }

    uint32_t exponent = 0; // the count is p^exponent
    uint64_t plans = 1;    // the same, saturated just above the exhaustive limit
    for (const int32_t order : orders) {
        for (int32_t q = order; q > 1; q /= ring.p) {
            ++exponent;
        }
        plans = std::min(plans * static_cast<uint64_t>(order), maxExhaustivePlans + 1);
    }

    const auto k8 = static_cast<uint8_t>(k);
    // On a board already won the particular plan is no click, which does not win: k clicks on the
    // first cell add nothing either, and the searches reduce them modulo k like any count.
    Row base = particular;
    if (weight(base) == 0) {
        base[0] = k8;
    }
    Row best;
    if (plans <= maxExhaustivePlans) {
        std::vector<int> all(generators.size());
        for (size_t g = 0; g < all.size(); ++g) {
            all[g] = static_cast<int>(g);
        }
        PlanSearch search(generators, orders, k8, maxSteps);
        solution.proven = search.search(base, all);
        best = search.best();
    } else {
        best = improvePlan(base, generators, orders, k8, maxSteps);
    }

    // No winning plan has fewer than one click, whatever the search could not try.
    solution.proven = solution.proven || weight(best) == 1;
    solution.solvable = true;
    solution.planCount = decimalPower(static_cast<uint32_t>(ring.p), exponent);
    solution.fewestClicks = weight(best);
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            solution.plan.cells[x][y] = best[index(x, y)];
        }
    }
    return solution;
}

std::string solutionText(const Solution& solution) {
    if (!solution.solvable) {
        return "solvable: no\nsolutions: 0\n";
    }
    return "solvable: yes\nsolutions: " + solution.planCount +
           "\nfewest clicks: " + std::to_string(solution.fewestClicks) +
           (solution.proven ? " (proven)" : " (best found)") + "\nplan:\n" +
           traceText(solution.plan);
}

Solution solveForGame(const Grid& board, const Motif& motif, int32_t k, bool torus) {
    return solveBoard(board, motif, k, torus, gameSearchSteps);
}
