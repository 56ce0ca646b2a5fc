// Parses kelvo-solve's arguments, builds the start board and the motif as the game would, and
// answers; every refusal is one line on stderr with exit status 2.
#include "solver/command.h"

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <getopt.h>
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
    "  --motif FILE  the motif file (default ./rc/motif.txt as the game reads it, else the\n"
    "                player's, else the installed one)\n"
    "  --help        show this help\n"
    "Without --random or --board the board starts with every cell at colour 0.\n";

// Long options get codes above every character, so that getopt's optopt tells a known option
// given a value it does not take from an unknown short one.
enum Flag : int { sizeFlag = 256, colorsFlag, torusFlag, randomFlag, boardFlag, motifFlag };
const option options[] = {
    {"size", required_argument, nullptr, sizeFlag},
    {"colors", required_argument, nullptr, colorsFlag},
    {"torus", no_argument, nullptr, torusFlag},
    {"random", no_argument, nullptr, randomFlag},
    {"board", required_argument, nullptr, boardFlag},
    {"motif", required_argument, nullptr, motifFlag},
    {"help", no_argument, nullptr, 'h'},
    {nullptr, 0, nullptr, 0},
};

// "--size" for sizeFlag; empty for a code no long option has.
std::string optionName(int code) {
    for (const option* o = options; o->name != nullptr; ++o) {
        if (o->val == code) {
            return std::string("--") + o->name;
        }
    }
    return "";
}

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

// Without --motif: the game's own file where it runs, else the player's, in the folder the
// launcher gives the game (an empty or relative XDG_DATA_HOME is ignored, as there), else the
// installed default. Returns the first that can be read; note says which, or that none could.
std::string defaultMotif(std::string& note) {
    std::vector<std::string> paths{motifPath};
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data != nullptr && data[0] == '/') {
        paths.push_back(std::string(data) + "/kelvo/rc/motif.txt");
    } else if (home != nullptr && home[0] != '\0') {
        paths.push_back(std::string(home) + "/.local/share/kelvo/rc/motif.txt");
    }
    paths.push_back(KELVO_INSTALLED_MOTIF);
    std::string tried;
    for (const std::string& path : paths) {
        if (canOpen(path)) {
            note = path == paths.front() ? "" : "kelvo-solve: motif read from " + path + "\n";
            return path;
        }
        tried += (tried.empty() ? "'" : ", '") + path + "'";
    }
    note = "kelvo-solve: warning: cannot read a motif file (" + tried +
           "); the motif's nine values are taken as 0, as the game does\n";
    return paths.front();
}

} // namespace

CommandResult runSolveCommand(const std::vector<std::string>& args) {
    GameConfig config;
    std::string boardPath;
    std::string motifFile;
    bool withMotif = false;
    bool random = false;
    bool withBoard = false;

    std::vector<std::string> words{"kelvo-solve"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());
    optind = 0; // glibc starts afresh, should this run twice in one process
    opterr = 0; // the refusals below are ours
    // "+": the options end at the first other word, refused below; ":": a missing value is told
    // apart from an unknown option.
    for (int code; (code = getopt_long(argc, argv.data(), "+:h", options, nullptr)) != -1;) {
        const std::string value = optarg != nullptr ? optarg : "";
        switch (code) {
        case 'h':
            return {0, usage, ""};
        case sizeFlag:
            if (!parseNumber(value, minBoardSize, maxBoardSize, config.size)) {
                return refuse("--size takes a board side from 2 to 18, not '" + value + "'");
            }
            break;
        case colorsFlag:
            if (!parseNumber(value, minColorCount, maxColorCount, config.colorCount)) {
                return refuse("--colors takes a number of colours from 2 to 5, not '" + value +
                              "'");
            }
            break;
        case torusFlag:
            config.torus = 1;
            break;
        case randomFlag:
            random = true;
            break;
        case boardFlag:
            boardPath = value;
            withBoard = true;
            break;
        case motifFlag:
            motifFile = value;
            withMotif = true;
            break;
        case ':':
            return refuse(optionName(optopt) + " needs a value (see --help)");
        default:
            if (!optionName(optopt).empty()) {
                return refuse(optionName(optopt) + " takes no value (see --help)");
            }
            return refuse("unknown argument '" +
                          (optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                       : std::string(argv[static_cast<size_t>(optind - 1)])) +
                          "' (see --help)");
        }
    }
    if (optind < argc) {
        return refuse("unknown argument '" + words[static_cast<size_t>(optind)] + "' (see --help)");
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
    if (!withMotif) {
        motifFile = defaultMotif(result.err);
    } else if (!canOpen(motifFile)) {
        result.err = "kelvo-solve: warning: cannot read the motif file '" + motifFile +
                     "'; its nine values are taken as 0, as the game does\n";
    }
    Motif motif{};
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
