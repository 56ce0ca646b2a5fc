// Solving a board: which click counts turn a start board into the goal, how many such plans
// there are, and the plan with the fewest clicks.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "board/grid.h"
#include "board/motif.h"

// Above this many plans the fewest clicks are only searched for, not proven.
inline constexpr uint64_t maxExhaustivePlans = uint64_t{1} << 24;

struct Solution {
    bool solvable = false;
    std::string planCount = "0"; // number of plans (counts 0 ... k-1 per cell), in decimal
    int64_t fewestClicks = 0;
    bool proven = false; // fewestClicks is the minimum over every plan
    Grid plan;           // plan.cells[x][y]: clicks on (x, y), 0 ... k-1
};

// Solves start (side 1 ... 18, cells 0 ... k-1) for k = 2 ... 5 colours and a motif without
// negative values, whose moves are then exactly additions modulo k. The search for the fewest
// clicks stops after timeLimit and keeps the best plan found. Any other k, or a negative motif
// value, gets an empty answer.
Solution solveBoard(const Grid& start, const Motif& motif, int32_t k, bool torus,
                    std::chrono::milliseconds timeLimit = std::chrono::seconds(10));

// The tool's answer: "solvable", "solutions", and when there are some, "fewest clicks" and the
// plan in the layout of the click trace.
std::string solutionText(const Solution& solution);

// base^exponent in decimal, exact at any size.
std::string decimalPower(uint32_t base, uint32_t exponent);
