// The search for few clicks when there are too many plans to weigh them all: a tabu search over
// the generators' multiples, from the best plan so far, the same on every run.
#include <algorithm>
#include <array>
#include <bit>
#include <random>
#include <vector>

#include "solver/plans.h"

namespace {

template <int K> int64_t cellsTouched(const Packed<K>& x, int words) {
    int64_t count = 0;
    for (int w = 0; w < words; ++w) {
        uint64_t any = 0;
        for (const Words& plane : x.plane) any |= plane[w];
        count += std::popcount(any);
    }
    return count;
}

template <int K> class Descent {
  public:
    Descent(const PlanSet& set, uint64_t maxSteps, uint64_t steps)
        : words_(wordsFor(set.cells)), maxSteps_(maxSteps), steps_(steps) {
        for (const Row& g : set.generators) generators_.push_back(pack<K>(g, set.cells));
        orders_ = set.orders;
    }

    // Replaces generators by sums with others that touch fewer cells, until none does: a move
    // then changes few cells, and the search walks between neighbouring plans. Without this the
    // plans it reached were up to 1.5 times heavier.
    KELVO_HOT void sparsen() {
        std::vector<int64_t> touched;
        for (const Packed<K>& g : generators_) touched.push_back(cellsTouched(g, words_));
        for (bool changed = true; changed;) {
            changed = false;
            for (size_t i = 0; i < generators_.size(); ++i)
                for (size_t j = 0; j < generators_.size(); ++j) {
                    Packed<K> h = generators_[i];
                    for (int32_t c = 1; i != j && c < orders_[j] && spend(); ++c) {
                        addPacked(h, generators_[j], words_);
                        const int64_t t = cellsTouched(h, words_);
                        if (t > 0 && t < touched[i]) {
                            generators_[i] = h;
                            touched[i] = t;
                            changed = true;
                        }
                    }
                }
        }
        // Every multiple of every generator is a move; in Z/4 a sum may have a new order.
        for (size_t g = 0; g < generators_.size(); ++g) {
            Packed<K> m{};
            for (int32_t c = 1; c < K; ++c) {
                addPacked(m, generators_[g], words_);
                if (cellsTouched(m, words_) == 0) break;
                uint32_t changed = 0;
                for (int w = 0; w < words_; ++w)
                    for (const Words& plane : m.plane)
                        if (plane[w] != 0) changed |= uint32_t{1} << w;
                moves_.push_back(m);
                moveGenerator_.push_back(g);
                moveWords_.push_back(changed);
            }
        }
    }

    // From x, each turn makes the move to the lightest plan of at least one click, even a heavier
    // one, except moves of a generator moved lately (unless they beat the best): that walks out
    // of the hollows a plain descent stops in. The lightest plan met is returned.
    KELVO_HOT Packed<K> run(Packed<K> x, int64_t& bestClicks) {
        Packed<K> best = x;
        const int64_t tenure = std::max<int64_t>(1, std::ssize(generators_) / 3);
        std::vector<int64_t> tabuUntil(generators_.size(), 0);
        std::mt19937 rng(1);
        // No plan has fewer than one click: one that has is the lightest.
        for (int64_t turn = 1; !moves_.empty() && steps_ < maxSteps_ && bestClicks > 1; ++turn) {
            // A move changes about half the words: the others keep the clicks they hold in x.
            std::array<int64_t, packedWords> wordClicks{};
            int64_t clicks = 0;
            for (int w = 0; w < words_; ++w) {
                for (int p = 0; p < Packed<K>::planes; ++p)
                    wordClicks[w] += int64_t{std::popcount(x.plane[p][w])} << p;
                clicks += wordClicks[w];
            }
            int64_t lightest = INT64_MAX;
            size_t chosen = moves_.size();
            for (size_t m = 0; m < moves_.size() && spend(); ++m) {
                int64_t w = clicks;
                for (uint32_t left = moveWords_[m]; left != 0; left &= left - 1) {
                    const int word = std::countr_zero(left);
                    const PlaneWords<K> sum = sumWord(x, moves_[m], word);
                    w -= wordClicks[word];
                    for (int p = 0; p < Packed<K>::planes; ++p)
                        w += int64_t{std::popcount(sum[p])} << p;
                }
                const bool allowed = tabuUntil[moveGenerator_[m]] <= turn || w < bestClicks;
                if (w > 0 && w < lightest && allowed) {
                    lightest = w;
                    chosen = m;
                }
            }
            if (chosen == moves_.size()) break;
            addPacked(x, moves_[chosen], words_);
            // A little spread in the tenure keeps the walk from cycling.
            tabuUntil[moveGenerator_[chosen]] = turn + tenure + int64_t(rng() % 3);
            if (lightest < bestClicks) {
                bestClicks = lightest;
                best = x;
            }
        }
        return best;
    }

    uint64_t steps() const { return steps_; }

  private:
    // One step of the budget, if it has one left.
    bool spend() {
        if (steps_ >= maxSteps_) return false;
        ++steps_;
        return true;
    }

    int words_;
    uint64_t maxSteps_;
    uint64_t steps_;
    std::vector<Packed<K>> generators_;
    std::vector<int32_t> orders_;
    std::vector<Packed<K>> moves_;
    std::vector<size_t> moveGenerator_;
    std::vector<uint32_t> moveWords_; // bit w: the move changes word w
};

} // namespace

void descend(const PlanSet& set, uint64_t maxSteps, Lightest& best) {
    if (best.clicks <= 1) return;
    withColors(set.k, [&]<int K>(Packed<K>) {
        Descent<K> descent(set, maxSteps, best.steps);
        descent.sparsen();
        // From the best plan so far, unless it is the k clicks on a won board's first cell.
        const bool packable =
            std::all_of(best.plan.begin(), best.plan.end(), [&](uint8_t v) { return v < set.k; });
        int64_t clicks = best.clicks;
        const Packed<K> lightest =
            descent.run(pack<K>(packable ? best.plan : set.particular, set.cells), clicks);
        if (clicks < best.clicks) {
            best.clicks = clicks;
            best.plan = unpack(lightest, set.cells);
        }
        best.steps = descent.steps();
    });
}
