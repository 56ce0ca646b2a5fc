// The exhaustive walk: every winning plan weighed once, in an order where each plan is the one
// before plus one generator, so a step is one packed addition and a popcount.
#include <cstddef>
#include <vector>

#include "solver/plans.h"

namespace {

// The odometer over the combinations t, read as a modular Gray code: when it carries into digit
// j, the Gray code's digit j alone rises by one (modulo its order), so the plan gains generator j.
template <int K>
KELVO_HOT Packed<K> walk(Packed<K> x, const std::vector<Packed<K>>& generators,
                         const std::vector<int32_t>& orders, int words, int64_t& bestClicks,
                         bool& found) {
    Packed<K> best{};
    std::vector<int32_t> digit(generators.size(), 0);
    for (;;) {
        const int64_t w = weighPacked(x, words);
        if (w < bestClicks && w > 0) {
            bestClicks = w;
            best = x;
            found = true;
        }
        std::size_t j = 0;
        while (j < digit.size() && ++digit[j] == orders[j]) digit[j++] = 0;
        if (j == digit.size()) return best;
        addPacked(x, generators[j], words);
    }
}

} // namespace

bool walkPlans(const PlanSet& set, uint64_t maxSteps, Lightest& best) {
    const uint64_t plans = planCount(set, maxSteps + 1);
    if (best.steps + plans > maxSteps) return false;
    withColors(set.k, [&]<int K>(Packed<K>) {
        std::vector<Packed<K>> generators;
        for (const Row& g : set.generators) generators.push_back(pack<K>(g, set.cells));
        bool found = false;
        const Packed<K> lightest = walk(pack<K>(set.particular, set.cells), generators, set.orders,
                                        wordsFor(set.cells), best.clicks, found);
        if (found) best.plan = unpack(lightest, set.cells);
    });
    best.steps += plans;
    best.lowerBound = best.clicks;
    return true;
}
