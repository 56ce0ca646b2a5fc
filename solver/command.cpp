// Parses kelvo-solve's arguments, builds the start board and the motif as the game would, and
// answers; every refusal is one line on stderr with exit status 2.
#include "solver/command.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "board/game_config.h"
#include "board/motif.h"
#include "solver/board_file.h"
#include "solver/solver.h"

namespace {

const char* const usage =
    "Usage: kelvo-solve [--size N] [--colors K] [--torus] [--random] [--board FILE] [--motif "
    "FILE]\n"
    "Tells whether a board of the game can be won, in how many ways, and in how few clicks.\n"
    "  --size N      board side, 2 to 18 (default 4)\n"
    "  --colors K    number of colours, 2 to 5 (default 2)\n"
    "  --torus       the motif wraps round the edges\n"
    "  --random      start from the first random board the game makes with these settings\n"
    "  --board FILE  start from this board: one line per row, top row first (as in trace.txt)\n"
    "  --motif FILE  the motif file (default ./rc/motif.txt, as the game reads it)\n"
    "  --help        show this help\n"
    "Without --random or --board the board starts with every cell at colour 0.\n";

CommandResult refuse(const std::string& message) {
    return {usageFailure, "", "kelvo-solve: " + message + "\n"};
}

// A whole decimal number in [low, high], or nothing.
bool parseNumber(const std::string& text, int32_t low, int32_t high, int32_t& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < low || v > high) {
        return false;
    }
    value = static_cast<int32_t>(v);
    return true;
}

bool canOpen(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char c = 0;
    const bool readable = ::read(fd, &c, 0) == 0; // a directory fails here
    ::close(fd);
    return readable;
}

} // namespace

CommandResult runSolveCommand(const std::vector<std::string>& args) {
    GameConfig config;
    std::string boardPath;
    std::string motifFile = motifPath;
    bool random = false;
    bool withBoard = false;

    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        const bool takesValue =
            name == "--size" || name == "--colors" || name == "--board" || name == "--motif";
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                return refuse(name + " needs a value (see --help)");
            }
            value = args[++i];
        } else if (!takesValue && hasValue) {
            return refuse(name + " takes no value (see --help)");
        }

        if (name == "--help" || name == "-h") {
            return {0, usage, ""};
        } else if (name == "--size") {
            if (!parseNumber(value, minBoardSize, maxBoardSize, config.size)) {
                return refuse("--size takes a board side from 2 to 18, not '" + value + "'");
            }
        } else if (name == "--colors") {
            if (!parseNumber(value, minColorCount, maxColorCount, config.colorCount)) {
                return refuse("--colors takes a number of colours from 2 to 5, not '" + value +
                              "'");
            }
        } else if (name == "--torus") {
            config.torus = 1;
        } else if (name == "--random") {
            random = true;
        } else if (name == "--board") {
            boardPath = value;
            withBoard = true;
        } else if (name == "--motif") {
            motifFile = value;
        } else {
            return refuse("unknown argument '" + args[i] + "' (see --help)");
        }
    }
    if (random && withBoard) {
        return refuse("--random and --board both give the start board; use one of them");
    }

    const int32_t n = config.size;
    const int32_t k = config.colorCount;
    Grid start = newGrid(n);
    if (withBoard) {
        BoardFile file = readBoardFile(boardPath, n, k);
        if (!file.ok) {
            return refuse(file.error);
        }
        start = file.board;
    } else if (random) {
        // Nothing else has drawn from the unseeded generator, as in a fresh run of the game.
        fillRandom(start, k);
    }

    CommandResult result;
    Motif motif{};
    if (!canOpen(motifFile)) {
        result.err = "kelvo-solve: warning: cannot read the motif file '" + motifFile +
                     "'; its nine values are taken as 0, as the game does\n";
    }
    loadMotif(motifFile, motif);
    for (const int32_t value : motif) {
        if (value < 0) {
            return refuse("the motif in '" + motifFile + "' holds the negative value " +
                          std::to_string(value) +
                          "; the game's moves are then not sums modulo the colour count, so they "
                          "cannot be solved");
        }
    }

    result.out = solutionText(solveBoard(start, motif, k, config.torus != 0));
    return result;
}
