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
#include <vector>

#include "solver/plans.h"

namespace {

// The generators in echelon form over the cells in `order`, cell order[i] in place i, with the
// order of each in the group (k, or 2 for an even one when k is 4); the zero rows left out.
std::vector<Row> echelonOver(const PlanSet& set, const std::vector<int>& order,
                             std::vector<int32_t>& orders) {
    std::vector<Row> rows;
    for (const Row& g : set.generators) {
        Row r{};
        for (int i = 0; i < set.cells; ++i) r[i] = g[order[i]];
        rows.push_back(r);
    }
    Echelon ech = echelonForm(rows, set.cells, Ring(set.k));
    ech.rows.resize(ech.rank);
    for (const Row& g : ech.rows)
        orders.push_back(
            set.k == 4 && std::all_of(g.begin(), g.end(), [](uint8_t v) { return v % 2 == 0; })
                ? 2
                : set.k);
    return ech.rows;
}

template <int K> class TorusProof {
  public:
    TorusProof(const PlanSet& set, uint64_t maxSteps, Lightest& best)
        : n_(set.side), words_(wordsFor(set.cells)), maxSteps_(maxSteps), best_(best) {
        // The cells packed in the order of the search: column 0 (cells 0 ... n-1), the rest of
        // row 0 (cells n, 2n, ...), then the others. Both lines are in the first word.
        for (int i = 0; i < set.cells; ++i)
            if (i < n_ || i % n_ == 0) order_.push_back(i);
        for (int i = 0; i < set.cells; ++i)
            if (i >= n_ && i % n_ != 0) order_.push_back(i);
        const std::vector<Row> rows = echelonOver(set, order_, orders_);
        for (const Row& g : rows) generators_.push_back(pack<K>(g, set.cells));
        Row particular{};
        for (int i = 0; i < set.cells; ++i) particular[i] = set.particular[order_[i]];
        particular_ = pack<K>(particular, set.cells);

        // known_[d]: the places of the cells that generators d, d+1, ... leave alone, in the
        // first knownWords_[d] words; columnKnown_ and rowKnown_ those of column 0 and row 0.
        const int depth = static_cast<int>(rows.size());
        known_.assign(depth + 1, Words{});
        columnKnown_ = rowKnown_ = known_;
        knownWords_.assign(depth + 1, 1);
        for (int place = 0; place < set.cells; ++place) {
            int last = -1;
            for (int g = 0; g < depth; ++g)
                if (rows[g][place] != 0) last = g;
            const uint64_t bit = uint64_t{1} << (place % 64);
            const bool inColumn = place < n_,
                       inRow = place == 0 || (place >= n_ && place < 2 * n_ - 1);
            for (int d = last + 1; d <= depth; ++d) {
                known_[d][place / 64] |= bit;
                knownWords_[d] = std::max(knownWords_[d], place / 64 + 1);
                if (inColumn) columnKnown_[d][0] |= bit;
                if (inRow) rowKnown_[d][0] |= bit;
            }
            if (inColumn || inRow) linesKnownAt_ = std::max(linesKnownAt_, last + 1);
        }
    }

    void prove() {
        // The proofs that get anywhere go through the first bound in a few hundred steps. Where
        // it takes more than 4096 steps and a sixteenth of the budget (motifs whose kernel the
        // two lines leave mostly free), the rest would hardly prove more: it is left unspent.
        const uint64_t budget = maxSteps_, left = budget - std::min(budget, best_.steps);
        maxSteps_ = best_.steps + std::min(left, std::max<uint64_t>(left / 16, 4096));
        for (int32_t r = 0; r <= (best_.clicks - 1) / n_ && best_.lowerBound < best_.clicks; ++r) {
            lineBound_ = r;
            visit(0, particular_);
            if (stop_) break;
            best_.lowerBound =
                std::max(best_.lowerBound, std::min(best_.clicks, int64_t{n_} * (r + 1)));
            maxSteps_ = budget;
        }
        // Cut short, unless the last plan found has as few clicks as the lower bound.
        if (!stop_ || best_.clicks <= best_.lowerBound) best_.lowerBound = best_.clicks;
    }

  private:
    // Weighs x plus every combination of generators depth, depth + 1, ... that the bounds let
    // through.
    KELVO_HOT void visit(int depth, Packed<K> x) {
        if (best_.steps >= maxSteps_) {
            stop_ = true;
            return;
        }
        ++best_.steps;
        if (depth <= linesKnownAt_) {
            const int64_t column = weighPacked(x, columnKnown_[depth], 1);
            const int64_t row = weighPacked(x, rowKnown_[depth], 1);
            if (column > lineBound_ || row > lineBound_) return;
            // Both lines under the bound: the search of the bound below went through this plan.
            if (depth == linesKnownAt_ && column < lineBound_ && row < lineBound_) return;
        }
        const int64_t known = weighPacked(x, known_[depth], knownWords_[depth]);
        if (known >= best_.clicks) return;
        if (depth == std::ssize(generators_)) {
            // Every cell is known here.
            if (known > 0) {
                best_.clicks = known;
                best_.plan = Row{};
                for (int place = 0; place < n_ * n_; ++place)
                    best_.plan[order_[place]] = x.cell(place);
                // As few clicks as the bounds searched through already allow: proven.
                stop_ = best_.clicks <= best_.lowerBound;
            }
            return;
        }
        for (int32_t t = 0; t < orders_[depth] && !stop_; ++t) {
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
    std::vector<int> order_;
    std::vector<Words> known_, columnKnown_, rowKnown_;
    std::vector<int> knownWords_;
    int linesKnownAt_ = 0;
    int32_t lineBound_ = 0;
    bool stop_ = false; // out of steps, or proven
};

} // namespace

void proveOnTorus(const PlanSet& set, uint64_t maxSteps, Lightest& best) {
    withColors(set.k, [&]<int K>(Packed<K>) { TorusProof<K>(set, maxSteps, best).prove(); });
}
