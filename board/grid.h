// The board: a square of colour indices, and the whole-board operations a move is made of.
#pragma once

#include <array>
#include <cstdint>

// Largest board side the game plays; every Grid has room for it, so boards are plain values.
inline constexpr int32_t maxGridSize = 18;

enum GameState : int32_t { Aborted = 0, Playing = 1, Won = 2 };

struct Grid {
    int32_t size = 0;
    // cells[x][y]: column x (0 = leftmost), row y (0 = topmost). Cells beyond size stay 0.
    std::array<std::array<int32_t, maxGridSize>, maxGridSize> cells{};

    bool operator==(const Grid&) const = default;
};

// A board of side n with every cell 0; n is brought into 0 ... maxGridSize.
Grid newGrid(int32_t n);
// Cell-by-cell sum, on a's side; the sum wraps around instead of overflowing.
Grid addGrids(const Grid& a, const Grid& b);
// Truncating remainder of every cell by k (-1 stays -1 with k = 2); k < 1 leaves the cells alone.
Grid reduceGrid(const Grid& g, int32_t k);
// Fills g column by column with rand() % k from the unseeded standard generator.
void fillRandom(Grid& g, int32_t k);
// Won when every cell holds k - 1, else Playing.
GameState checkSolved(const Grid& g, int32_t k);
