// Tests of the whole-board operations: sums, remainders, random fills and the win test.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "board/grid.h"

TEST(Grid, NewBoardIsPlayingUntilEveryCellHoldsTheLastColour) {
    EXPECT_EQ(newGrid(-3).size, 0);
    EXPECT_EQ(newGrid(99).size, maxGridSize);
    Grid g = newGrid(2);
    EXPECT_EQ(checkSolved(g, 2), Playing);
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y) g.cells[x][y] = 1; // the cells beyond the side stay 0
    EXPECT_EQ(checkSolved(g, 2), Won);
    EXPECT_EQ(checkSolved(g, 3), Playing);
    g.cells[1][1] = 0; // the last cell visited counts too
    EXPECT_EQ(checkSolved(g, 2), Playing);
    g.cells[1][1] = -1; // -1 is not the goal, whatever the remainder rule gave
    EXPECT_EQ(checkSolved(g, 2), Playing);
}

TEST(Grid, SumsWrapAndRemaindersTruncate) {
    Grid a = newGrid(3), b = newGrid(3);
    a.cells[0][1] = 2;
    b.cells[0][1] = 1;
    a.cells[2][2] = -1;
    a.cells[1][0] = INT32_MAX;
    b.cells[1][0] = 1;
    const Grid sum = addGrids(a, b);
    EXPECT_EQ(sum.cells[0][1], 3);
    EXPECT_EQ(sum.cells[1][0], INT32_MIN); // wraps instead of overflowing
    EXPECT_EQ(reduceGrid(sum, 3).cells[0][1], 0);
    EXPECT_EQ(reduceGrid(sum, 2).cells[2][2], -1);
    EXPECT_EQ(reduceGrid(sum, 0), sum);
    EXPECT_EQ(reduceGrid(sum, -1), sum);

    // The sum has a's side: cells of a larger b beyond it do not come in.
    Grid big = newGrid(4);
    big.cells[3][3] = 5;
    EXPECT_EQ(addGrids(newGrid(2), big), newGrid(2));
}

TEST(Grid, FillRandomGoesColumnByColumnFromTheDefaultSeed) {
    std::srand(1); // the state of a program that never seeds
    Grid first = newGrid(4);
    fillRandom(first, 3);
    std::srand(1);
    Grid expected = newGrid(4);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) expected.cells[x][y] = std::rand() % 3;
    EXPECT_EQ(first, expected);

    Grid untouched = newGrid(4);
    fillRandom(untouched, 0);
    EXPECT_EQ(untouched, newGrid(4));
}
