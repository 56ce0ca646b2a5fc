// Tests of where a motif lands and of the move rule, checked against a cell-by-cell model.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <utility>

#include "board/motif.h"

namespace {

const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};
using Cells = std::set<std::pair<int, int>>;

Cells changedCells(const Grid& before, const Grid& after) {
    Cells changed;
    for (int x = 0; x < maxGridSize; ++x)
        for (int y = 0; y < maxGridSize; ++y)
            if (before.cells[x][y] != after.cells[x][y]) changed.insert({x, y});
    return changed;
}

// The offset (0, 1 or 2) whose store on this row or column comes last, or -1 if none lands.
int lastOffsetLandingOn(int target, int click, int n, bool torus) {
    for (int a = 2; a >= 0; --a) {
        const int64_t i = int64_t{click} + a - 1;
        if ((torus ? ((i % n) + n) % n : i) == target) return a;
    }
    return -1;
}

int32_t randomValue(std::mt19937& rng) {
    static constexpr int32_t extremes[] = {
        INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, -1, 0, 1};
    switch (rng() % 3) {
    case 0:
        return extremes[rng() % std::size(extremes)];
    case 1:
        return static_cast<int32_t>(rng());
    default:
        return static_cast<int32_t>(rng() % 11) - 5;
    }
}

} // namespace

TEST(Motif, CrossInTheCornerWrapsOrIsClippedAndFarClicksLayNothing) {
    const Grid board = newGrid(5);
    EXPECT_EQ(changedCells(board, playMove(board, 0, 0, cross, 2, true)),
              (Cells{{0, 0}, {0, 1}, {1, 0}, {4, 0}, {0, 4}}));
    EXPECT_EQ(changedCells(board, playMove(board, 0, 0, cross, 2, false)),
              (Cells{{0, 0}, {0, 1}, {1, 0}}));
    EXPECT_EQ(wrapIndex(-1, 5), 4);
    EXPECT_EQ(wrapIndex(9, 5), 4);

    EXPECT_EQ(placeMotifTorus(3, 100, 1, cross), newGrid(3));
    EXPECT_EQ(placeMotifTorus(3, INT32_MAX, INT32_MIN, cross), newGrid(3));
    EXPECT_EQ(placeMotifClipped(3, INT32_MAX, 1, cross), newGrid(3));
    EXPECT_EQ(placeMotifClipped(3, 1, INT32_MIN, cross), newGrid(3));
}

// Every side from 2 (where torus offsets collide and the later store wins) to 18, both modes,
// values up to the 32-bit extremes.
TEST(Motif, PlayMoveMatchesACellByCellModel) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 3000; ++round) {
        const int n = 2 + static_cast<int>(rng() % 17);
        const int32_t k = 2 + static_cast<int32_t>(rng() % 4);
        const bool torus = rng() % 2 == 0;
        const int cx = static_cast<int>(rng() % n), cy = static_cast<int>(rng() % n);
        Motif motif{};
        for (int32_t& v : motif) v = randomValue(rng);
        Grid board = newGrid(n);
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y) board.cells[x][y] = randomValue(rng);

        Grid expected = board;
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y) {
                const int a = lastOffsetLandingOn(x, cx, n, torus);
                const int b = lastOffsetLandingOn(y, cy, n, torus);
                const int64_t added = a >= 0 && b >= 0 ? motif[3 * a + b] : 0;
                expected.cells[x][y] = static_cast<int32_t>((board.cells[x][y] + added) % k);
            }
        ASSERT_EQ(playMove(board, cx, cy, motif, k, torus), expected) << "round " << round;

        // Without a usable k the move is the plain wrapped sum.
        const Grid laid =
            torus ? placeMotifTorus(n, cx, cy, motif) : placeMotifClipped(n, cx, cy, motif);
        ASSERT_EQ(playMove(board, cx, cy, motif, 0, torus), addGrids(board, laid)) << round;
    }
}
