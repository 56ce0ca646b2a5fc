// The board's moves as a linear system over the integers modulo k, solved by an elimination
// that treats k = 4 as the ring it is, then a search of the solution set for the fewest clicks.
#include "solver/solver.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int maxCells = maxGridSize * maxGridSize;
// One value per cell plus the right-hand side, rounded up to a multiple of 16 bytes so that the
// loops over a row vectorise without a tail.
constexpr int rowLength = (maxCells + 1 + 15) / 16 * 16;

// A row of the system, or a plan: values 0 ... k-1, the unused tail kept at 0.
using Row = std::array<uint8_t, rowLength>;

// The integers modulo k = p^e (every colour count 2 ... 5 is a prime power).
struct Ring {
    int32_t k;
    int32_t p = 2; // the prime, the smallest divisor of k above 1
    int32_t e = 0;

    explicit Ring(int32_t colors) : k(colors) {
        while (k % p != 0) {
            ++p;
        }
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

    // The pivot of pivot row i.
    int32_t pivot(int i) const { return rows[i][pivotColumn[i]]; }
};

// The first row from `first` on whose entry in col has valuation v; -1 if none. nonZero tells
// whether any of them is not zero.
int findPivot(const std::vector<Row>& rows, int first, int col, int32_t v, const Ring& ring,
              bool& nonZero) {
    nonZero = false;
    for (int i = first; i < std::ssize(rows); ++i) {
        const int32_t a = rows[i][col];
        nonZero = nonZero || a != 0;
        if (a != 0 && ring.valuation(a) == v) {
            return i;
        }
    }
    return -1;
}

// Clears column col below row r, whose entry there is a unit times p^v.
void clearBelow(std::vector<Row>& rows, int r, int col, int32_t v, const Ring& ring) {
    const Row& pivotRow = rows[r];
    const int32_t pv = ring.power(v);
    const int32_t unitInverse = ring.inverse(pivotRow[col] / pv);
    // minus c times the pivot row, for every multiplier c
    std::vector<Row> negMultiple(ring.k);
    for (int32_t c = 1; c < ring.k; ++c) {
        negMultiple[c] = scaled(pivotRow, ring.k - c, ring.k);
    }
    for (int i = r + 1; i < std::ssize(rows); ++i) {
        const int32_t a = rows[i][col];
        if (a != 0) {
            addInto(rows[i], negMultiple[a / pv * unitInverse % ring.k],
                    static_cast<uint8_t>(ring.k));
        }
    }
}

// Column by column, pivots of valuation 0 first, then 1, ...: a column is left for a later round
// when all its entries below the pivot rows are multiples of p, and row operations keep it so.
Echelon eliminate(std::vector<Row> rows, int columns, const Ring& ring) {
    Echelon ech;
    std::vector<int> remaining(columns);
    std::iota(remaining.begin(), remaining.end(), 0);
    for (int32_t v = 0; v < ring.e && !remaining.empty(); ++v) {
        std::vector<int> later;
        for (const int col : remaining) {
            bool nonZero = false;
            const int found = findPivot(rows, ech.rank, col, v, ring, nonZero);
            if (found < 0) {
                (nonZero ? later : ech.freeColumns).push_back(col);
                continue;
            }
            std::swap(rows[ech.rank], rows[found]);
            clearBelow(rows, ech.rank, col, v, ring);
            ech.pivotColumn.push_back(col);
            ++ech.rank;
        }
        remaining = std::move(later);
    }
    ech.freeColumns.insert(ech.freeColumns.end(), remaining.begin(), remaining.end());
    ech.rows = std::move(rows);
    return ech;
}

// Fills the pivot variables of x, 0 on entry, from the last pivot row up; the free variables are
// taken as set. extra[i] (a multiple of k / p^v) picks among the p^v values pivot i allows.
Row backSubstitute(const Echelon& ech, int columns, bool withRhs, Row x,
                   const std::vector<int32_t>& extra, const Ring& ring) {
    for (int i = ech.rank - 1; i >= 0; --i) {
        const Row& row = ech.rows[i];
        const int pc = ech.pivotColumn[i];
        // The pivot's own x[pc] is still 0, so the sum over every column leaves it out.
        int32_t s = std::inner_product(row.begin(), row.begin() + columns, x.begin(), 0);
        const int32_t rhs = withRhs ? row[columns] : 0;
        s = ((rhs - s) % ring.k + ring.k) % ring.k;
        const int32_t pivot = row[pc];
        const int32_t pv = ring.power(ring.valuation(pivot));
        const int32_t value = s / pv * ring.inverse(pivot / pv) % (ring.k / pv);
        x[pc] = static_cast<uint8_t>((value + extra[i]) % ring.k);
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
        const int g = (*use_)[level];
        const int32_t order = orders_[g];
        const Row& generator = generators_[g];
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
            const Row& current = plan[t % 2];
            const int64_t w = t + 1 < order
                                  ? weighThenAdd(current, generator, plan[(t + 1) % 2], k_)
                                  : weight(current);
            if (w < bestWeight_ && w > 0) {
                bestWeight_ = w;
                best_ = current;
            }
        }
        visited_ += order;
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

// The solution set: one plan plus every combination of the generators, each combination giving a
// different plan, so the number of plans is the product of their orders.
struct SolutionSet {
    Row particular{};
    std::vector<Row> generators{};
    std::vector<int32_t> orders{}; // generator g is added 0 ... orders[g] - 1 times
};

// The plan that improvePlan lowers window after window, and the search it spends its budget on.
struct Descent {
    PlanSearch search;
    Row plan;
    int64_t clicks;

    // Searches the window's generators from the plan and keeps a lighter one: whether it found one.
    bool tryWindow(const std::vector<int>& window) {
        search.search(plan, window);
        if (search.bestWeight() >= clicks) {
            return false;
        }
        plan = search.best();
        clicks = search.bestWeight();
        return true;
    }
};

// The plans one window of generators may give at most.
constexpr int64_t windowPlans = 4096;

// Windows of neighbouring generators sliding over all of them, round after round while a round
// lowers the clicks. Windows overlap by half, so neighbours are also tried together.
void slideWindows(Descent& descent, const std::vector<int32_t>& orders) {
    constexpr int maxRounds = 64;
    const int count = static_cast<int>(orders.size());
    for (int round = 0; round < maxRounds && descent.clicks > 1; ++round) {
        bool improved = false;
        for (int first = 0; first < count;) {
            std::vector<int> window;
            int64_t plans = 1;
            int j = first;
            for (; j < count && plans * orders[j] <= windowPlans; ++j) {
                plans *= orders[j];
                window.push_back(j);
            }
            improved = descent.tryWindow(window) || improved;
            if (descent.search.cut()) {
                return;
            }
            first += std::max(1, (j - first) / 2);
        }
        if (!improved) {
            return;
        }
    }
}

// Windows of generators drawn at random (the same draws on every run), until a long run of them
// finds nothing better.
void drawWindows(Descent& descent, const std::vector<int32_t>& orders) {
    constexpr int staleWindows = 32;
    const int count = static_cast<int>(orders.size());
    std::mt19937 rng(1);
    std::vector<int> shuffled(count);
    std::iota(shuffled.begin(), shuffled.end(), 0);
    for (int stale = 0; stale < staleWindows && descent.clicks > 1 && count > 0;) {
        std::vector<int> window;
        int64_t plans = 1;
        for (int i = 0; i < count; ++i) {
            const int j = i + static_cast<int>(rng() % static_cast<uint32_t>(count - i));
            std::swap(shuffled[i], shuffled[j]);
            const int g = shuffled[i];
            if (plans * orders[g] > windowPlans) {
                break;
            }
            plans *= orders[g];
            window.push_back(g);
        }
        stale = descent.tryWindow(window) ? 0 : stale + 1;
        if (descent.search.cut()) {
            return;
        }
    }
}

// Too many plans to try them all: from base, search every combination of a few generators at a
// time, first in sliding windows, then in windows drawn at random.
Row improvePlan(const Row& base, const SolutionSet& set, uint8_t k, uint64_t maxSteps) {
    Descent descent{PlanSearch(set.generators, set.orders, k, maxSteps), base, weight(base)};
    slideWindows(descent, set.orders);
    if (!descent.search.cut()) {
        drawWindows(descent, set.orders);
    }
    return descent.plan;
}

// The moves as a linear system: row of cell c, column of click j, what one click on j adds to c,
// taken from the very placement the game uses. The last column: what the goal needs added to the
// start. Cell (x, y) is number x n + y.
std::vector<Row> buildSystem(const Grid& start, int32_t n, const Motif& motif, int32_t k,
                             bool torus) {
    const int cells = n * n;
    std::vector<Row> rows(cells);
    for (int click = 0; click < cells; ++click) {
        const int32_t cx = click / n;
        const int32_t cy = click % n;
        const Grid laid =
            torus ? placeMotifTorus(n, cx, cy, motif) : placeMotifClipped(n, cx, cy, motif);
        for (int32_t x = 0; x < n; ++x) {
            for (int32_t y = 0; y < n; ++y) {
                rows[x * n + y][click] = static_cast<uint8_t>(laid.cells[x][y] % k);
            }
        }
    }
    for (int cell = 0; cell < cells; ++cell) {
        const int64_t needed = int64_t{k} - 1 - start.cells[cell / n][cell % n];
        rows[cell][cells] = static_cast<uint8_t>((needed % k + k) % k);
    }
    return rows;
}

// Whether the eliminated system has a solution: the right-hand side of a pivot row is a multiple
// of p^v of its pivot's valuation v, that of any other row is 0.
bool hasSolution(const Echelon& ech, int cells, const Ring& ring) {
    for (int i = 0; i < cells; ++i) {
        const int32_t needed = i < ech.rank ? ring.power(ring.valuation(ech.pivot(i))) : ring.k;
        if (ech.rows[i][cells] % needed != 0) {
            return false;
        }
    }
    return true;
}

// A plan and the generators of the solution set: one per free column, of order k, and one per
// pivot of valuation v > 0, of order p^v.
SolutionSet solutionSet(const Echelon& ech, int cells, const Ring& ring) {
    const std::vector<int32_t> noExtra(ech.rank, 0);
    SolutionSet set{.particular = backSubstitute(ech, cells, true, Row{}, noExtra, ring)};
    for (const int f : ech.freeColumns) {
        Row x{};
        x[f] = 1;
        set.generators.push_back(backSubstitute(ech, cells, false, x, noExtra, ring));
        set.orders.push_back(ring.k);
    }
    for (int i = 0; i < ech.rank; ++i) {
        const int32_t v = ring.valuation(ech.pivot(i));
        if (v > 0) {
            std::vector<int32_t> extra = noExtra;
            extra[i] = ring.k / ring.power(v);
            set.generators.push_back(backSubstitute(ech, cells, false, Row{}, extra, ring));
            set.orders.push_back(ring.power(v));
        }
    }
    return set;
}

// The number of plans, p^(sum of the orders' exponents), in decimal.
std::string planCount(const SolutionSet& set, const Ring& ring) {
    uint32_t exponent = 0;
    for (const int32_t order : set.orders) {
        for (int32_t q = order; q > 1; q /= ring.p) {
            ++exponent;
        }
    }
    return decimalPower(ring.p, exponent);
}

// The lightest plan of at least one click the budget finds; proven tells whether every plan was
// tried, which happens only when there are at most maxExhaustivePlans of them.
Row lightestPlan(const SolutionSet& set, const Ring& ring, uint64_t maxSteps, bool& proven) {
    const auto k = static_cast<uint8_t>(ring.k);
    // On a board already won the particular plan is no click, which does not win: k clicks on the
    // first cell add nothing either, and the searches reduce them modulo k like any count.
    Row base = set.particular;
    if (weight(base) == 0) {
        base[0] = k;
    }
    uint64_t plans = 1;
    for (const int32_t order : set.orders) {
        plans = std::min(plans * order, maxExhaustivePlans + 1); // saturated above the limit
    }
    proven = false;
    if (plans > maxExhaustivePlans) {
        return improvePlan(base, set, k, maxSteps);
    }
    std::vector<int> all(set.generators.size());
    std::iota(all.begin(), all.end(), 0);
    PlanSearch search(set.generators, set.orders, k, maxSteps);
    proven = search.search(base, all);
    return search.best();
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
        return Solution{}; // outside what the elimination is exact for
    }
    const Ring ring(k);
    const int32_t n = std::min(start.size, maxGridSize);
    const int cells = n * n;
    const Echelon ech = eliminate(buildSystem(start, n, motif, k, torus), cells, ring);
    Solution solution{.plan = newGrid(n)};
    if (!hasSolution(ech, cells, ring)) {
        return solution;
    }
    const SolutionSet set = solutionSet(ech, cells, ring);
    const Row best = lightestPlan(set, ring, maxSteps, solution.proven);
    // No winning plan has fewer than one click, whatever the search could not try.
    solution.proven = solution.proven || weight(best) == 1;
    solution.solvable = true;
    solution.planCount = planCount(set, ring);
    solution.fewestClicks = weight(best);
    for (int cell = 0; cell < cells; ++cell) {
        solution.plan.cells[cell / n][cell % n] = best[cell];
    }
    return solution;
}

Solution solveForGame(const Grid& board, const Motif& motif, int32_t k, bool torus) {
    return solveBoard(board, motif, k, torus, gameSearchSteps);
}
