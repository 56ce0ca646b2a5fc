// Tests of the board rules: the whole-board operations and the move rule, each against a
// cell-by-cell computation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "board/motif.h"

// A board of side n whose cell (x, y) is value(x, y), filled column by column.
template <typename Value> static Grid cellwise(int n, Value value) {
    Grid g = newGrid(n);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) g.cells[x][y] = value(x, y);
    return g;
}

// One click checked cell by cell: of the motif's offsets that land on a cell (after one wrap on a
// torus), the last one written wins, as two do on a 2 x 2 torus; the motif alone is laid so on a
// fresh board, and a move leaves in each cell the exact sum's remainder, or without a usable k
// the sum wrapped to 32 bits.
static void expectMove(const Grid& board, int32_t x, int32_t y, const Motif& m, bool torus) {
    const int32_t n = board.size;
    const auto at = [&](int64_t i) { return torus && i >= -n && i < 2 * n ? (i + n) % n : i; };
    const auto where = testing::Message() << n << " " << x << " " << y << " " << torus << " ";
    const Grid laid = cellwise(n, [&](int cx, int cy) {
        int32_t value = 0;
        for (int a = 0; a < 9; ++a)
            if (at(int64_t{x} + a / 3 - 1) == cx && at(int64_t{y} + a % 3 - 1) == cy) value = m[a];
        return value;
    });
    ASSERT_EQ(torus ? placeMotifTorus(n, x, y, m) : placeMotifClipped(n, x, y, m), laid) << where;
    for (const int32_t k : {0, 1, 2, 3, 5}) {
        const Grid next = cellwise(n, [&](int cx, int cy) {
            const int64_t sum = int64_t{board.cells[cx][cy]} + laid.cells[cx][cy];
            return static_cast<int32_t>(k < 1 ? static_cast<uint32_t>(sum) : sum % k);
        });
        ASSERT_EQ(playMove(board, x, y, m, k, torus), next) << where << k;
    }
}

const int32_t sides[] = {2, 3, 5, 18};             // every size the game plays, and more
const int32_t colorCounts[] = {-1, 0, 1, 2, 3, 5}; // with some that no game has

// A board of values up to the 32-bit extremes, whose sums must neither overflow nor lose their
// remainder.
static Grid extremeBoard(int32_t n, std::mt19937& rng) {
    const int32_t extremes[] = {INT32_MIN, -7, -1, 0, 1, 2, 3, 4, INT32_MAX - 1, INT32_MAX};
    return cellwise(n, [&](int, int) { return extremes[rng() % std::size(extremes)]; });
}

// A new board's side is brought into range. Sums wrap instead of overflowing; remainders
// truncate, and k < 1 leaves the cells alone.
TEST(Grid, SumsAndRemaindersMatchEachCell) {
    EXPECT_EQ(newGrid(-3), Grid{});
    EXPECT_EQ(newGrid(99).size, maxGridSize);
    std::mt19937 rng(5);
    for (const int32_t n : sides) {
        const Grid a = extremeBoard(n, rng), b = extremeBoard(n, rng);
        const auto sum = [&](int x, int y) { return int32_t(0u + a.cells[x][y] + b.cells[x][y]); };
        EXPECT_EQ(addGrids(a, b), cellwise(n, sum));
        for (const int32_t k : colorCounts) {
            const auto r = [&](int x, int y) { return k < 1 ? a.cells[x][y] : a.cells[x][y] % k; };
            EXPECT_EQ(reduceGrid(a, k), cellwise(n, r)) << k;
        }
    }
}

// Won only when every cell of the side holds k - 1, whatever lies beyond it; the cell visited
// last counts too.
TEST(Grid, WonOnlyWhenEveryCellOfTheSideHoldsTheLastColor) {
    for (const int32_t n : sides)
        for (const int32_t k : colorCounts) {
            Grid won = cellwise(n, [&](int, int) { return k - 1; });
            if (n < maxGridSize) won.cells[n][0] = 1;
            EXPECT_TRUE(checkSolved(won, k) == Won && checkSolved(won, k + 1) == Playing) << n << k;
            won.cells[n - 1][n - 1] = n % 2 == 0 ? k - 2 : k;
            EXPECT_EQ(checkSolved(won, k), Playing) << n << " " << k;
        }
}

// Random boards are drawn column by column from rand(), which the game never seeds; every cell
// is drawn, even with one colour.
TEST(Grid, RandomBoardsAreDrawnColumnByColumn) {
    for (const int32_t n : sides)
        for (const int32_t k : {1, 3}) {
            std::srand(1);
            Grid random = cellwise(n, [](int, int) { return 7; });
            fillRandom(random, k);
            std::srand(1);
            EXPECT_EQ(random, cellwise(n, [&](int, int) { return std::rand() % k; })) << n << k;
        }
}

TEST(Motif, WrapIndexBringsOneSideOffTheBoardBackOntoIt) {
    for (const int32_t n : sides)
        for (int32_t i = -n; i < 2 * n; ++i)
            EXPECT_EQ(wrapIndex(i, n), (i + n) % n) << i << " " << n;
}

// Moves, with clicks on every edge and far off the board.
TEST(Motif, MovesMatchACellByCellComputation) {
    const Motif motifs[] = {{1, 2, 3, 4, 5, 6, 7, 8, 9},
                            {INT32_MAX, INT32_MIN, -1, 2, 0, 3, -5, 1, 7}};
    std::mt19937 rng(5);
    for (const int32_t n : sides) {
        const Grid board = extremeBoard(n, rng);
        const int32_t clicks[] = {0, 1, n - 2, n - 1, -1, n, 2 * n, INT32_MIN, INT32_MAX};
        for (const Motif& m : motifs)
            for (const bool torus : {false, true})
                for (const int32_t x : clicks)
                    for (const int32_t y : clicks) expectMove(board, x, y, m, torus);
    }
}
