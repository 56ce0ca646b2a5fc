// Parses kelvo-solve's arguments, builds the start board and the motif as the game would, and
// answers; every refusal is one line on stderr with exit status 2.
#include "solver/command.h"

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <getopt.h>
#include <optional>
#include <unistd.h>

#include "board/board_code.h"
#include "board/daily.h"
#include "board/game_config.h"
#include "board/motif.h"
#include "board/trace.h"
#include "platform/file_descriptor.h"
#include "solver/board_file.h"
#include "solver/solver.h"

namespace {

const char* const usage =
    "Usage: kelvo-solve [--size N] [--colors K] [--torus] [--random] [--board FILE] [--motif "
    "FILE]\n"
    "       kelvo-solve --code CODE\n"
    "       kelvo-solve --jour DATE\n"
    "Tells whether a board of the game can be won, in how many ways, and in how few clicks.\n"
    "  --size N      board side, 2 to 18 (default 4)\n"
    "  --colors K    number of colours, 2 to 5 (default 2)\n"
    "  --torus       the motif wraps round the edges\n"
    "  --random      start from the first random board the game makes with these settings\n"
    "  --board FILE  start from this board: one line per row, top row first (as in trace.txt)\n"
    "  --motif FILE  the motif file (default ./rc/motif.txt as the game reads it, else the\n"
    "                player's, else the installed one)\n"
    "  --code CODE   the game of this board's code (side, colours, torus, motif and board),\n"
    "                as the game's keys panel shows it; with no other option\n"
    "  --jour DATE   the board of the day of DATE (2026-12-08): its name, its code and its\n"
    "                start board, then the answer; with no other option\n"
    "  --help        show this help\n"
    "Without --random or --board the board starts with every cell at colour 0.\n"
    "The fewest clicks are proven by weighing every winning plan when there are at most 2^27 of\n"
    "them (about a second), and on a torus board of one colour by a search that weighs only one\n"
    "shift of each plan; else they are the best found in 2^27 steps (a few seconds at most), and\n"
    "the answer says so.\n";

// Long options get codes above every character, so that getopt's optopt tells a known option
// given a value it does not take from an unknown short one.
enum Flag : int {
    sizeFlag = 256,
    colorsFlag,
    torusFlag,
    randomFlag,
    boardFlag,
    motifFlag,
    codeFlag,
    dayFlag
};
const option options[] = {
    {"size", required_argument, nullptr, sizeFlag},
    {"colors", required_argument, nullptr, colorsFlag},
    {"torus", no_argument, nullptr, torusFlag},
    {"random", no_argument, nullptr, randomFlag},
    {"board", required_argument, nullptr, boardFlag},
    {"motif", required_argument, nullptr, motifFlag},
    {"code", required_argument, nullptr, codeFlag},
    {"jour", required_argument, nullptr, dayFlag},
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

// What an answer that is not proven says of it: the fewest clicks the search ruled out, if any.
std::string unprovenNote(const Solution& solution) {
    if (!solution.solvable || solution.proven) return "";
    const std::string limit = "the search stopped at its limit of 2^" +
                              std::to_string(std::countr_zero(commandSearchSteps)) + " steps";
    if (solution.lowerBound > 1)
        return "not proven: no plan has fewer than " + std::to_string(solution.lowerBound) +
               " clicks; " + limit + "\n";
    return "not proven: " + limit + ", with too many plans to weigh them all\n";
}

CommandResult refuse(const std::string& message) {
    return {usageFailure, "", "kelvo-solve: " + message + "\n"};
}

// A whole decimal number in [low, high], or nothing.
bool numberIn(const std::string& text, int32_t low, int32_t high, int32_t& value) {
    int32_t v = 0;
    if (parseNumber(text, v) != std::errc{} || v < low || v > high) {
        return false;
    }
    value = v;
    return true;
}

bool canOpen(const std::string& path) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    char c = 0;
    return fd.valid() && ::read(fd.get(), &c, 0) == 0; // a directory fails the read
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

// What the command line asks for.
struct Request {
    GameConfig config;
    std::optional<std::string> boardPath;
    std::optional<std::string> motifFile;
    bool random = false;
    std::optional<std::string> code;
    std::optional<std::chrono::year_month_day> day;
    int wholeGames = 0;         // --code and --jour, which each give the whole game
    bool otherThanGame = false; // an option that such a game would contradict
};

// Applies one option given by getopt to the request: the refusal, or "" when it is taken. word
// is the argument getopt last read.
std::string takeOption(int code, const std::string& value, const std::string& word,
                       Request& request) {
    const bool wholeGame = code == codeFlag || code == dayFlag;
    request.wholeGames += wholeGame ? 1 : 0;
    request.otherThanGame = request.otherThanGame || !wholeGame;
    switch (code) {
    case sizeFlag:
        return numberIn(value, minBoardSize, maxGridSize, request.config.size)
                   ? ""
                   : "--size takes a board side from 2 to 18, not '" + value + "'";
    case colorsFlag:
        return numberIn(value, minColorCount, maxColorCount, request.config.colorCount)
                   ? ""
                   : "--colors takes a number of colours from 2 to 5, not '" + value + "'";
    case torusFlag:
        request.config.torus = 1;
        return "";
    case randomFlag:
        request.random = true;
        return "";
    case boardFlag:
        request.boardPath = value;
        return "";
    case motifFlag:
        request.motifFile = value;
        return "";
    case codeFlag:
        request.code = value;
        return "";
    case dayFlag:
        request.day = parseDate(value);
        return request.day ? "" : "--jour takes a date written 2026-12-08, not '" + value + "'";
    case ':':
        return optionName(optopt) + " needs a value (see --help)";
    default:
        if (!optionName(optopt).empty()) {
            return optionName(optopt) + " takes no value (see --help)";
        }
        return "unknown argument '" +
               (optopt != 0 ? std::string("-") + static_cast<char>(optopt) : word) +
               "' (see --help)";
    }
}

// Reads the arguments into request. The answer to give instead of a solution (the help or a
// refusal), or nothing.
std::optional<CommandResult> parseArguments(const std::vector<std::string>& args,
                                            Request& request) {
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
        if (code == 'h') {
            return CommandResult{0, usage, ""};
        }
        const std::string refusal =
            takeOption(code, optarg != nullptr ? optarg : "", words[optind - 1], request);
        if (!refusal.empty()) {
            return refuse(refusal);
        }
    }
    if (optind < argc) {
        return refuse("unknown argument '" + words[optind] + "' (see --help)");
    }
    if (request.wholeGames > 0 && (request.otherThanGame || request.wholeGames > 1)) {
        return refuse("--code and --jour give the whole game (side, colours, torus, motif and "
                      "board); use one of them alone");
    }
    if (request.random && request.boardPath) {
        return refuse("--random and --board both give the start board; use one of them");
    }
    return std::nullopt;
}

// The board the game would start from, or the board file's refusal.
BoardFile startBoard(const Request& request) {
    const int32_t n = request.config.size;
    if (request.boardPath) {
        return readBoardFile(*request.boardPath, n, request.config.colorCount);
    }
    BoardFile start{.ok = true, .board = newGrid(n)};
    if (request.random) {
        // Nothing else has drawn from the unseeded generator, as in a fresh run of the game.
        fillRandom(start.board, request.config.colorCount);
    }
    return start;
}

// The answer for a board and motif, with the note that says when it is not proven.
std::string answer(const Grid& start, const Motif& motif, const GameConfig& config) {
    const Solution solution = solveBoard(start, motif, config.colorCount, wrapsAround(config));
    return solutionText(solution) + unprovenNote(solution);
}

std::string codedAnswer(const CodedBoard& game) {
    return answer(game.start, game.motif, game.config);
}

} // namespace

std::string solutionText(const Solution& solution) {
    if (!solution.solvable) {
        return "solvable: no\nsolutions: 0\n";
    }
    return "solvable: yes\nsolutions: " + solution.planCount +
           "\nfewest clicks: " + std::to_string(solution.fewestClicks) +
           (solution.proven ? " (proven)" : " (best found)") + "\nplan:\n" +
           traceText(solution.plan);
}

CommandResult runSolveCommand(const std::vector<std::string>& args) {
    Request request;
    if (std::optional<CommandResult> early = parseArguments(args, request)) {
        return *early;
    }
    if (request.code) {
        const CodeReading reading = decodeBoardCode(*request.code);
        if (!reading.board) {
            return refuse(reading.message);
        }
        return {0, codedAnswer(*reading.board), ""};
    }
    if (request.day) {
        const CodedBoard game = dailyBoard(*request.day).value();
        return {0,
                "day: " + dailyTitle(*request.day) + "\ncode: " + encodeBoardCode(game).value() +
                    "\nboard:\n" + traceText(game.start) + codedAnswer(game),
                ""};
    }
    const BoardFile start = startBoard(request);
    if (!start.ok) {
        return refuse(start.error);
    }

    CommandResult result;
    std::string motifFile = request.motifFile.value_or("");
    if (!request.motifFile) {
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
    result.out = answer(start.board, motif, request.config);
    return result;
}
