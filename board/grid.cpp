// The whole-board operations a move is made of: fresh boards, sums, remainders, random
// fills and the test for a finished board.
#include "board/grid.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The side actually walked, so a board with a stray size never reads past its cells.
int32_t sideOf(const Grid& g) { return std::clamp(g.size, int32_t{0}, maxGridSize); }

} // namespace

Grid newGrid(int32_t n) {
    Grid g;
    g.size = std::clamp(n, int32_t{0}, maxGridSize);
    return g;
}

Grid addGrids(const Grid& a, const Grid& b) {
    Grid sum = newGrid(a.size);
    const int32_t n = sum.size;
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            // Unsigned arithmetic wraps where a signed sum would overflow.
            const uint32_t s =
                static_cast<uint32_t>(a.cells[x][y]) + static_cast<uint32_t>(b.cells[x][y]);
            sum.cells[x][y] = static_cast<int32_t>(s);
        }
    }
    return sum;
}

Grid reduceGrid(const Grid& g, int32_t k) {
    // k < 1 would divide by zero, or overflow on INT32_MIN % -1.
    if (k < 1) {
        return g;
    }
    Grid r = g;
    const int32_t n = sideOf(g);
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            r.cells[x][y] %= k;
        }
    }
    return r;
}

void fillRandom(Grid& g, int32_t k) {
    if (k < 1) {
        return;
    }
    const int32_t n = sideOf(g);
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            g.cells[x][y] = std::rand() % k;
        }
    }
}

GameState checkSolved(const Grid& g, int32_t k) {
    const int64_t goal = int64_t{k} - 1; // k may be INT32_MIN
    const int32_t n = sideOf(g);
    for (int32_t x = 0; x < n; ++x) {
        for (int32_t y = 0; y < n; ++y) {
            if (g.cells[x][y] != goal) {
                return Playing;
            }
        }
    }
    return Won;
}
