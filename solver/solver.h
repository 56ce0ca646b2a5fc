// Solving a board: which click counts turn a start board into the goal, how many such plans
// there are, and the plan with the fewest clicks.
#pragma once

#include <cstdint>
#include <string>

#include "board/grid.h"
#include "board/motif.h"

// The effort of the search for the fewest clicks is counted in steps (plans weighed, branches
// tried), not in time, so that the same board gets the same plan on every machine. A step takes
// 5 to 25 ns on our 2-core machines: kelvo-solve's budget walks 3^17 plans in about a second, and
// a search on 18 x 18 with 5 colours takes about 3 seconds.
inline constexpr uint64_t commandSearchSteps = uint64_t{1} << 27;
// The game's budget, for its hint and its victory line: about 10 ms at most.
inline constexpr uint64_t gameSearchSteps = uint64_t{1} << 19;

struct Solution {
    bool solvable = false;
    std::string planCount = "0"; // number of plans (counts 0 ... k-1 per cell), in decimal
    int64_t fewestClicks = 0;
    bool proven = false;    // fewestClicks is the minimum over every plan
    int64_t lowerBound = 0; // no winning plan has fewer clicks; fewestClicks when proven
    uint64_t steps = 0;     // the effort spent, in plans weighed and branches tried
    // plan.cells[x][y]: clicks on (x, y), 0 ... k-1; on a board already won, where the plan of no
    // click does not count (the game tests for a win only after a move), it may be k clicks on
    // (0, 0) when no other plan is lighter.
    Grid plan;
};

// Solves start (side 1 ... 18, cells 0 ... k-1) for k = 2 ... 5 colours and a motif without
// negative values, whose moves are then exactly additions modulo k. The fewest clicks are those
// of a plan with at least one click: proven by weighing every plan when there are at most
// maxSteps, else searched for, and on a torus board of one colour proven within maxSteps steps
// if it can be. Any other k, or a negative motif value, gets an empty answer.
Solution solveBoard(const Grid& start, const Motif& motif, int32_t k, bool torus,
                    uint64_t maxSteps = commandSearchSteps);

// The game's call for its hint and its victory line: solveBoard with the game's budget.
Solution solveForGame(const Grid& board, const Motif& motif, int32_t k, bool torus);

// base^exponent in decimal, exact at any size.
std::string decimalPower(uint32_t base, uint32_t exponent);
