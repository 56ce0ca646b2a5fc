// The click trace file: rows of the board, and a failed write that loses nothing.
#include "board/trace.h"

#include <gtest/gtest.h>

TEST(Trace, LinesAreRowsOfTheBoardTopFirst) {
    Grid counts = newGrid(3);
    counts.cells[2][0] = 1;
    EXPECT_EQ(traceText(counts), "0 0 1 \n0 0 0 \n0 0 0 \n");
    counts.cells[0][1] = 3;
    counts.cells[1][2] = 12;
    EXPECT_EQ(traceText(counts), "0 0 1 \n3 0 0 \n0 12 0 \n");
}
