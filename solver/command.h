// The command line of kelvo-solve: its arguments, its answer and its exit status.
#pragma once

#include <string>
#include <vector>

#include "solver/solver.h"

// Exit status for bad arguments, an unreadable board or a motif the solver cannot take.
inline constexpr int usageFailure = 2;

struct CommandResult {
    int status = 0;
    std::string out; // for stdout
    std::string err; // for stderr
};

// The tool's answer: "solvable", "solutions", and when there are some, "fewest clicks" and the
// plan in the layout of the click trace.
std::string solutionText(const Solution& solution);

// Runs kelvo-solve on its arguments (without the program name).
CommandResult runSolveCommand(const std::vector<std::string>& args);
