// kelvo-solve: tells whether a board of the game can be won, in how many ways and how few clicks.
#include <cstdio>
#include <string>
#include <vector>

#include "solver/command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CommandResult result = runSolveCommand(args);
    std::fputs(result.err.c_str(), stderr);
    std::fwrite(result.out.data(), 1, result.out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("kelvo-solve: cannot write the answer\n", stderr);
        return 1;
    }
    return result.status;
}
