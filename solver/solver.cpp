// The board's moves as a linear system over the integers modulo k, solved by an elimination
// that treats k = 4 as the ring it is, then the searches of the solution set for the fewest clicks.
#include "solver/solver.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "solver/plans.h"

Ring::Ring(int32_t colors) : k(colors) {
    while (k % p != 0) ++p;
    for (int32_t q = k; q > 1; q /= p) ++e;
}

int32_t Ring::valuation(int32_t a) const {
    if (a % k == 0) return e;
    int32_t v = 0;
    for (; a % p == 0; a /= p) ++v;
    return v;
}

int32_t Ring::power(int32_t v) const {
    int32_t q = 1;
    for (int32_t i = 0; i < v; ++i) q *= p;
    return q;
}

// k is at most 5, so a search is the simplest exact way.
int32_t Ring::inverse(int32_t u) const {
    for (int32_t c = 1; c < k; ++c)
        if (u * c % k == 1) return c;
    return 1;
}

int64_t weight(const Row& x) {
    uint32_t sum = 0;
    for (int i = 0; i < rowLength; ++i) sum += x[i];
    return sum;
}

uint64_t planCount(const PlanSet& set, uint64_t limit) {
    uint64_t plans = 1;
    for (const int32_t order : set.orders) plans = std::min(plans * uint64_t(order), limit);
    return plans;
}

namespace {

// x = x + y modulo k, both reduced: the unsigned difference s - k wraps above s when s < k.
void addInto(Row& x, const Row& y, uint8_t k) {
    for (int i = 0; i < rowLength; ++i) {
        const uint8_t s = static_cast<uint8_t>(x[i] + y[i]);
        x[i] = std::min(s, static_cast<uint8_t>(s - k));
    }
}

Row scaled(const Row& x, int32_t c, int32_t k) {
    Row r{};
    for (int i = 0; i < rowLength; ++i) {
        r[i] = static_cast<uint8_t>(x[i] * c % k);
    }
    return r;
}

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

} // namespace

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

Echelon echelonForm(std::vector<Row> rows, int columns, const Ring& ring) {
    Echelon ech;
    for (int col = 0; col < columns && ech.rank < std::ssize(rows); ++col) {
        for (int32_t v = 0; v < ring.e; ++v) {
            bool nonZero = false;
            const int found = findPivot(rows, ech.rank, col, v, ring, nonZero);
            if (!nonZero) break;
            if (found < 0) continue;
            std::swap(rows[ech.rank], rows[found]);
            clearBelow(rows, ech.rank, col, v, ring);
            ech.pivotColumn.push_back(col);
            ++ech.rank;
            break;
        }
    }
    ech.rows = std::move(rows);
    return ech;
}

namespace {

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

// Whether every shift of a winning plan round the torus wins too: the start board is of one colour
// and each click's column of the system is the first one's, shifted.
bool shiftable(const std::vector<Row>& system, const Grid& start, int32_t n) {
    for (int32_t x = 0; x < n; ++x)
        for (int32_t y = 0; y < n; ++y)
            if (start.cells[x][y] != start.cells[0][0]) return false;
    for (int click = 0; click < n * n; ++click)
        for (int cell = 0; cell < n * n; ++cell) {
            const int32_t dx = (cell / n - click / n + n) % n, dy = (cell % n - click % n + n) % n;
            if (system[cell][click] != system[dx * n + dy][0]) return false;
        }
    return true;
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
PlanSet solutionSet(const Echelon& ech, int cells, const Ring& ring) {
    const std::vector<int32_t> noExtra(ech.rank, 0);
    PlanSet set{.k = ring.k,
                .cells = cells,
                .particular = backSubstitute(ech, cells, true, Row{}, noExtra, ring)};
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
std::string planCountText(const PlanSet& set, const Ring& ring) {
    uint32_t exponent = 0;
    for (const int32_t order : set.orders) {
        for (int32_t q = order; q > 1; q /= ring.p) {
            ++exponent;
        }
    }
    return decimalPower(ring.p, exponent);
}

// The lightest plan of at least one click. On a torus of one colour, the proof first, with what
// the walk leaves spare: it proves every such board of the table in far fewer steps than the
// walk. Then every plan weighed, if the budget allows; else the local search with the rest.
Lightest lightestPlan(const PlanSet& set, uint64_t maxSteps) {
    Lightest best{.plan = set.particular, .clicks = weight(set.particular)};
    if (best.clicks == 0) {
        // On a board already won the particular plan is no click, which does not win: k clicks
        // on the first cell add nothing either.
        best.plan[0] = static_cast<uint8_t>(set.k);
        best.clicks = set.k;
    }
    // Fewer plans than this are weighed sooner than the descent sets itself up, if the budget
    // allows it.
    constexpr uint64_t quickWalk = uint64_t{1} << 16;
    const uint64_t plans = planCount(set, maxSteps + 1);
    if (set.shiftable && (plans > quickWalk || plans > maxSteps)) {
        const uint64_t spare = plans <= maxSteps ? maxSteps - plans : maxSteps;
        // The proof's branches end sooner under a lighter plan: a short descent finds one, and
        // the proof finds lighter ones itself as its bound on the lines rises.
        constexpr uint64_t firstDescentSteps = uint64_t{1} << 16;
        descend(set, std::min(spare / 2, firstDescentSteps), best);
        proveOnTorus(set, spare, best);
        if (best.lowerBound >= best.clicks) return best;
    }
    if (walkPlans(set, maxSteps, best)) return best;
    descend(set, maxSteps, best);
    return best;
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
    const std::vector<Row> system = buildSystem(start, n, motif, k, torus);
    const Echelon ech = eliminate(system, cells, ring);
    Solution solution{.plan = newGrid(n)};
    if (!hasSolution(ech, cells, ring)) {
        return solution;
    }
    PlanSet set = solutionSet(ech, cells, ring);
    set.side = n;
    set.shiftable = torus && shiftable(system, start, n);
    const Lightest best = lightestPlan(set, maxSteps);
    solution.solvable = true;
    solution.planCount = planCountText(set, ring);
    solution.fewestClicks = best.clicks;
    solution.lowerBound = std::min(best.lowerBound, best.clicks);
    solution.proven = solution.lowerBound == best.clicks;
    solution.steps = best.steps;
    for (int cell = 0; cell < cells; ++cell) {
        solution.plan.cells[cell / n][cell % n] = best.plan[cell];
    }
    return solution;
}

Solution solveForGame(const Grid& board, const Motif& motif, int32_t k, bool torus) {
    return solveBoard(board, motif, k, torus, gameSearchSteps);
}
