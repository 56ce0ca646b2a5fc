// The command line of kelvo-solve: its arguments, its answer and its exit status.
#pragma once

#include <string>
#include <vector>

// Exit status for bad arguments, an unreadable board or a motif the solver cannot take.
inline constexpr int usageFailure = 2;

struct CommandResult {
    int status = 0;
    std::string out; // for stdout
    std::string err; // for stderr
};

// Runs kelvo-solve on its arguments (without the program name).
CommandResult runSolveCommand(const std::vector<std::string>& args);
