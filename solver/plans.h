// The winning plans of one board as the searches for the fewest clicks see them, shared by the
// solver's files: a plan plus every combination of the generators of the moves' kernel.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/grid.h"
#include "solver/packed_plan.h"

inline constexpr int maxCells = maxGridSize * maxGridSize;
// One value per cell plus the right-hand side, rounded up to a multiple of 16 bytes so that the
// loops over a row vectorise without a tail.
inline constexpr int rowLength = (maxCells + 1 + 15) / 16 * 16;

// A row of the system, or a plan: values 0 ... k-1, the unused tail kept at 0.
using Row = std::array<uint8_t, rowLength>;

// The integers modulo k = p^e (every colour count 2 ... 5 is a prime power).
struct Ring {
    int32_t k;
    int32_t p = 2; // the prime, the smallest divisor of k above 1
    int32_t e = 0;

    explicit Ring(int32_t colors);
    // Largest v with p^v dividing a; e for 0.
    int32_t valuation(int32_t a) const;
    int32_t power(int32_t v) const;
    // Inverse of a unit.
    int32_t inverse(int32_t u) const;
};

// A system after elimination: rows [0, rank) are pivot rows, each zero in the columns pivoted
// before it, with its pivot's valuation no higher than any other entry it holds.
struct Echelon {
    std::vector<Row> rows;
    std::vector<int> pivotColumn;
    std::vector<int> freeColumns;
    int rank = 0;

    // The pivot of pivot row i.
    int32_t pivot(int i) const { return rows[i][pivotColumn[i]]; }
};

// Row operations that keep what the rows generate, over columns 0 ... columns-1: for solving, the
// pivots that are units first, column after column, then those of valuation 1, ...
Echelon eliminate(std::vector<Row> rows, int columns, const Ring& ring);
// The same in one pass, each column's pivot of the lowest valuation in it: every row is then zero
// in the columns before its pivot, which eliminate does not ensure for k = 4.
Echelon echelonForm(std::vector<Row> rows, int columns, const Ring& ring);

// Every plan particular + sum of t_g generators[g], t_g in 0 ... orders[g] - 1, each combination
// giving a different plan. Cell (x, y) of the board of side `side` is number x side + y.
struct PlanSet {
    int32_t k = 2;
    int32_t side = 0;
    int cells = 0;
    Row particular{};
    std::vector<Row> generators{};
    std::vector<int32_t> orders{};
    // Every shift of a winning plan round the torus wins too (a torus board of one colour).
    bool shiftable = false;
};

// The lightest plan of at least one click a search found, and what it proved.
struct Lightest {
    // Values 0 ... k-1; on a board already won it may be k clicks on cell 0 (they add nothing).
    Row plan{};
    int64_t clicks = 0;
    // No winning plan of at least one click has fewer clicks.
    int64_t lowerBound = 1;
    uint64_t steps = 0; // plans weighed and branches tried, the measure of the budget
};

int64_t weight(const Row& x);

// The number of plans, saturated at limit.
uint64_t planCount(const PlanSet& set, uint64_t limit);

// Every plan weighed in turn, when best.steps would not pass maxSteps: best is kept unless a
// lighter plan of at least one click is found, and then proven. Returns false if there are too
// many plans.
bool walkPlans(const PlanSet& set, uint64_t maxSteps, Lightest& best);

// Lowers best by local moves among the plans from best.plan, until best.steps reaches maxSteps.
void descend(const PlanSet& set, uint64_t maxSteps, Lightest& best);

// On a shiftable set, proves best the lightest or finds a lighter plan, until best.steps reaches
// maxSteps; cut short, it raises best.lowerBound as far as it could prove.
void proveOnTorus(const PlanSet& set, uint64_t maxSteps, Lightest& best);

// Packing of byte plans; cells past `cells` must be 0 in a row.
template <int K> Packed<K> pack(const Row& row, int cells) {
    Packed<K> x;
    for (int i = 0; i < cells; ++i) x.setCell(i, row[i]);
    return x;
}
template <int K> Row unpack(const Packed<K>& x, int cells) {
    Row row{};
    for (int i = 0; i < cells; ++i) row[i] = x.cell(i);
    return row;
}
