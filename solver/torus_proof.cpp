// The proof of the fewest clicks on a torus board of one colour, where every shift of a winning
// plan wins too: only the plans whose column 0 and row 0 are their lightest need be weighed.
//
// A plan of W clicks on a side of n has a column of at most W / n clicks and a row of at most
// W / n; shifted so that they are column 0 and row 0, it is still a winning plan of W clicks. So
// no plan is lighter than `best` if none is among the plans whose column 0 and row 0 each hold at
// most (best - 1) / n clicks. Those are found by a branch and bound over the generators, put in
// echelon form over the cells of column 0 and row 0 first: after the first few generators are
// chosen, the cells no later generator touches are known, and a branch stops as soon as they hold
// too many clicks. The bound r on the lines rises one by one from 0, so that a search cut short
// still proves that no plan has fewer than n (r + 1) clicks, r the last bound searched through.
#include <algorithm>
#include <numeric>
#include <vector>

#include "solver/plans.h"

namespace {

// The generators in echelon form over the cells listed first to last in `order`, with the order
// of each in the group (k, or 2 for an even one when k is 4); the zero rows left out.
std::vector<Row> echelonOver(const PlanSet& set, const std::vector<int>& order,
                             std::vector<int32_t>& orders) {
    std::vector<Row> rows;
    for (const Row& g : set.generators) {
        Row r{};
        for (int i = 0; i < set.cells; ++i) r[i] = g[order[i]];
        rows.push_back(r);
    }
    const Echelon ech = echelonForm(rows, set.cells, Ring(set.k));
    std::vector<Row> echelon;
    for (int i = 0; i < ech.rank; ++i) {
        Row g{};
        bool odd = false;
        for (int j = 0; j < set.cells; ++j) {
            g[order[j]] = ech.rows[i][j];
            odd = odd || ech.rows[i][j] % 2 == 1;
        }
        echelon.push_back(g);
        orders.push_back(set.k == 4 && !odd ? 2 : set.k);
    }
    return echelon;
}

template <int K> class TorusProof {
  public:
    TorusProof(const PlanSet& set, uint64_t maxSteps, Lightest& best)
        : n_(set.side), words_(wordsFor(set.cells)), maxSteps_(maxSteps), best_(best) {
        // Column 0 is cells 0 ... n-1; row 0 is cells 0, n, 2n, ...
        std::vector<int> order;
        for (int i = 0; i < set.cells; ++i)
            if (i < n_ || i % n_ == 0) order.push_back(i);
        for (int i = 0; i < set.cells; ++i)
            if (i >= n_ && i % n_ != 0) order.push_back(i);
        const std::vector<Row> rows = echelonOver(set, order, orders_);
        for (const Row& g : rows) generators_.push_back(pack<K>(g, set.cells));
        particular_ = pack<K>(set.particular, set.cells);

        // known_[d]: the cells that generators d, d+1, ... leave alone; columnKnown_ and
        // rowKnown_ those of column 0 and row 0.
        const int depth = static_cast<int>(rows.size());
        known_.assign(depth + 1, Words{});
        columnKnown_ = rowKnown_ = known_;
        for (int cell = 0; cell < set.cells; ++cell) {
            int last = -1;
            for (int g = 0; g < depth; ++g)
                if (rows[g][cell] != 0) last = g;
            const uint64_t bit = uint64_t{1} << (cell % 64);
            for (int d = last + 1; d <= depth; ++d) {
                known_[d][cell / 64] |= bit;
                if (cell < n_) columnKnown_[d][cell / 64] |= bit;
                if (cell % n_ == 0) rowKnown_[d][cell / 64] |= bit;
            }
            if (cell < n_ || cell % n_ == 0) linesKnownAt_ = std::max(linesKnownAt_, last + 1);
        }
    }

    void prove() {
        for (int32_t r = 0; r <= (best_.clicks - 1) / n_; ++r) {
            lineBound_ = r;
            visit(0, particular_);
            if (cut_) return;
            best_.lowerBound =
                std::max(best_.lowerBound, std::min(best_.clicks, int64_t{n_} * (r + 1)));
        }
        best_.lowerBound = best_.clicks;
    }

  private:
    KELVO_HOT void visit(int depth, Packed<K> x) {
        if (best_.steps >= maxSteps_) {
            cut_ = true;
            return;
        }
        ++best_.steps;
        if (depth <= linesKnownAt_) {
            const int64_t column = weighPacked(x, columnKnown_[depth], words_);
            const int64_t row = weighPacked(x, rowKnown_[depth], words_);
            if (column > lineBound_ || row > lineBound_) return;
            // Both lines under the bound: the search of the bound below went through this plan.
            if (depth == linesKnownAt_ && column < lineBound_ && row < lineBound_) return;
        }
        if (weighPacked(x, known_[depth], words_) >= best_.clicks) return;
        if (depth == std::ssize(generators_)) {
            if (const int64_t w = weighPacked(x, words_); w > 0) {
                best_.clicks = w;
                best_.plan = unpack(x, n_ * n_);
            }
            return;
        }
        for (int32_t t = 0; t < orders_[depth] && !cut_; ++t) {
            if (t > 0) addPacked(x, generators_[depth], words_);
            visit(depth + 1, x);
        }
    }

    int32_t n_;
    int words_;
    uint64_t maxSteps_;
    Lightest& best_;
    std::vector<Packed<K>> generators_;
    std::vector<int32_t> orders_;
    Packed<K> particular_;
    std::vector<Words> known_, columnKnown_, rowKnown_;
    int linesKnownAt_ = 0;
    int32_t lineBound_ = 0;
    bool cut_ = false;
};

} // namespace

void proveOnTorus(const PlanSet& set, uint64_t maxSteps, Lightest& best) {
    withColors(set.k, [&]<int K>(Packed<K>) { TorusProof<K>(set, maxSteps, best).prove(); });
}
