// The speed benchmark behind `make bench`: the game's events timed against copying one frame,
// its start-up and memory against a bare SDL program, all in one run; prints one line per goal.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "bench/session.h"
#include "board/motif.h"
#include "screens/config.h"
#include "screens/display.h"
#include "screens/game.h"
#include "screens/menu.h"
#include "solver/solver.h"

extern char** environ;

// While set, every wait of a screen for its next event gets one from here.
static std::function<SDL_Event()> feed;

// The game's screens are linked into this program, so these two take the place of SDL's for
// them. Nothing is shown: under a real display the flip is the transfer to the screen, not the
// game's own work.
extern "C" int SDL_Flip(SDL_Surface*) { return 0; }

// The fed event still goes through SDL's own queue, so its cost is part of the measure.
extern "C" int SDL_WaitEvent(SDL_Event* event) {
    static const auto real =
        reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_WaitEvent"));
    if (feed) {
        SDL_Event e = feed();
        SDL_PushEvent(&e);
    }
    return real(event);
}

namespace {

// Runs a screen with one event per iteration of the state, then last, which ends the screen.
// An iteration is one turn of the screen's loop: the event, the screen's work and its repaint.
void feedScreen(benchmark::State& state, const std::function<SDL_Event(int64_t)>& next,
                SDL_Event last, const std::function<void()>& screen) {
    int64_t fed = 0;
    bool ended = false;
    feed = [&] {
        if (!ended && state.KeepRunning()) return next(fed++);
        ended = true;
        return last;
    };
    screen();
    feed = nullptr;
    if (!ended) state.SkipWithError("the screen ended before its last event");
}

SDL_Surface* openMenuWindow() {
    startVideo();
    return openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
}

// An 18 x 18 board with every colour of five.
Grid colorfulBoard() {
    Grid board = newGrid(maxGridSize);
    for (int32_t x = 0; x < board.size; ++x)
        for (int32_t y = 0; y < board.size; ++y) board.cells[x][y] = (x + y) % maxColorCount;
    return board;
}

// The yardstick of the screens: one copy of a whole frame of 32-bit pixels.
void copyFrame(benchmark::State& state, int width, int height) {
    const std::vector<Uint32> from(std::size_t(width) * height, ~Uint32{0});
    std::vector<Uint32> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(Uint32));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

// One click on a torus board of 18 x 18 and 5 colours: the move, the count, trace.txt, the
// solved test and the repaint.
void gameClick(benchmark::State& state) {
    const GameConfig config{maxGridSize, maxColorCount, 0, 1};
    feedScreen(state, leftHalfClick, keyDown(SDLK_ESCAPE),
               [&] { runGame(openMenuWindow(), config); });
    if (moveCount != state.iterations()) state.SkipWithError("a click was not played");
    stopVideo();
}

// H on a torus board of 18 x 18 and 5 colours: the solve, the marked cell and the repaint. With
// the motif of nine ones the board of zeros has far more winning plans than the game's budget can
// weigh, so every hint runs the search for the fewest clicks to its limits: a slow case.
void gameHint(benchmark::State& state) {
    const Motif nineOnes{1, 1, 1, 1, 1, 1, 1, 1, 1};
    const GameConfig config{maxGridSize, maxColorCount, 0, 1};
    if (!solveForGame(newGrid(maxGridSize), nineOnes, maxColorCount, true).solvable) {
        state.SkipWithError("the hint would mark nothing");
        return;
    }
    std::ostringstream saved;
    saved << std::ifstream(motifPath).rdbuf();
    saveMotif(motifPath, nineOnes);
    feedScreen(
        state, [](int64_t) { return keyDown(SDLK_h); }, keyDown(SDLK_ESCAPE),
        [&] { runGame(openMenuWindow(), config); });
    std::ofstream(motifPath) << saved.str();
    stopVideo();
}

void gameRepaint(benchmark::State& state) {
    startVideo();
    SDL_Surface* screen =
        openWindow(gameWindowWidth, maxGameWindowHeight, SDL_HWSURFACE | SDL_DOUBLEBUF, true);
    const Grid board = colorfulBoard();
    drawBoard(screen, board, maxColorCount); // reads the pictures, untimed
    for (auto _ : state) drawBoard(screen, board, maxColorCount);
    stopVideo();
}

void menuEvent(benchmark::State& state) {
    GameConfig config;
    auto motion = [](int64_t i) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = Uint16(i % windowWidth);
        e.motion.y = Uint16(i % windowHeight);
        return e;
    };
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    feedScreen(state, motion, quit, [&] { runMenu(openMenuWindow(), config); });
    stopVideo();
}

// Right on the torus line, the one above the last, flips it: every repaint shows a change.
void configEvent(benchmark::State& state) {
    GameConfig config;
    configCursor = lastConfigItem - 1;
    feedScreen(
        state, [](int64_t) { return keyDown(SDLK_RIGHT); }, keyDown(SDLK_ESCAPE),
        [&] { runConfig(openMenuWindow(), config); });
    stopVideo();
}

// The solver's yardstick: one move on every cell of 18 x 18, the work of trying each click once.
const Motif crossMotif{0, 1, 0, 1, 1, 1, 0, 1, 0};

void everyMove(benchmark::State& state) {
    Grid board = colorfulBoard();
    for (auto _ : state)
        for (int32_t x = 0; x < maxGridSize; ++x)
            for (int32_t y = 0; y < maxGridSize; ++y) {
                board = playMove(board, x, y, crossMotif, maxColorCount, true);
                benchmark::DoNotOptimize(board);
            }
}

// What kelvo-solve answers for the 18 x 18 board of zeros and the cross motif.
void solve(benchmark::State& state) {
    const auto k = int32_t(state.range(0));
    const bool torus = state.range(1) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(solveBoard(newGrid(maxGridSize), crossMotif, k, torus));
}

// The walk of every plan: the 3^17 plans of a 12 x 12 torus, 3 colours, from the board that one
// click leaves on the board of zeros (the board of zeros itself is proven without the walk).
void walk(benchmark::State& state) {
    const uint64_t plans = 129140163;
    const Grid start = playMove(newGrid(12), 0, 0, crossMotif, 3, true);
    for (auto _ : state)
        if (solveBoard(start, crossMotif, 3, true).steps != plans) {
            state.SkipWithError("the plans were not walked");
            break;
        }
    state.counters["plans_per_second"] =
        benchmark::Counter(double(plans) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The game's fewest clicks against kelvo-solve's proven ones: over the boards of zeros with the
// cross motif of every side, colour count and edges (the table of make par), and over random
// winnable boards of the settings with the most plans that kelvo-solve still proves. The worst
// ratio of each.
void gameFewest(benchmark::State& state) {
    const auto ratio = [](const Grid& start, int32_t k, bool torus) {
        const Solution proven = solveBoard(start, crossMotif, k, torus);
        if (!proven.proven) return 1.0;
        return double(solveForGame(start, crossMotif, k, torus).fewestClicks) /
               double(proven.fewestClicks);
    };
    for (auto _ : state) {
        double table = 1, random = 1;
        for (int32_t n = 2; n <= maxGridSize; ++n)
            for (int32_t k = minColorCount; k <= maxColorCount; ++k)
                for (const bool torus : {false, true})
                    table = std::fmax(table, ratio(newGrid(n), k, torus));
        std::srand(1);
        for (const auto& [n, k, torus] : {std::tuple{12, 3, true},
                                          {18, 3, true},
                                          {15, 4, true},
                                          {10, 4, true},
                                          {17, 3, false},
                                          {13, 5, true}})
            for (int board = 0; board < 3; ++board) {
                // The goal less a random plan: a board that plan wins.
                Grid start = newGrid(n);
                for (int32_t x = 0; x < n; ++x) std::fill_n(start.cells[x].begin(), n, k - 1);
                for (int32_t x = 0; x < n; ++x)
                    for (int32_t y = 0; y < n; ++y)
                        for (int c = std::rand() % k; c > 0; --c)
                            start = playMove(start, x, y, crossMotif, k, torus);
                random = std::fmax(random, ratio(start, k, torus));
            }
        state.counters["table_worst_ratio"] = table;
        state.counters["random_worst_ratio"] = random;
    }
}

// Runs a program on the dummy driver with the shim preloaded and waits for its end; its peak
// resident memory in KiB, or 0 when it did not end with status 0 or reported no peak.
long runProcess(const char* program) {
    std::remove(peakFile);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || status != 0)
        return 0;
    long peak = 0;
    std::ifstream(peakFile) >> peak;
    return std::max(peak, 0L);
}

// Program start to the first flip, where the shim ends the process.
void startUp(benchmark::State& state, const char* program) {
    for (auto _ : state)
        if (runProcess(program) == 0) {
            state.SkipWithError("the program did not reach its first flip");
            break;
        }
}

// Sum of the click counts in trace.txt.
long tracedClicks() {
    std::ifstream trace("trace.txt");
    long clicks = 0;
    for (long count = 0; trace >> count;) clicks += count;
    return clicks;
}

// Peak resident memory of the game over the scripted session and of the bare program.
void memory(benchmark::State& state) {
    for (auto _ : state) {
        std::remove("trace.txt");
        setenv(sessionVariable, "1", 1);
        const long game = runProcess(KELVO_GAME);
        unsetenv(sessionVariable);
        const long bare = runProcess(KELVO_BARE_WINDOW);
        if (game == 0 || bare == 0 || tracedClicks() != sessionClicks) {
            state.SkipWithError("the session or the bare program did not run to its end");
            break;
        }
        const auto mebibytes = [](long kib) { return benchmark::Counter(double(kib) / 1024); };
        state.counters["kelvo_MiB"] = mebibytes(game);
        state.counters["bare_MiB"] = mebibytes(bare);
    }
}

// Keeps the median of every benchmark (microseconds per iteration, and its counters) while the
// console shows the medians and the spread of the repetitions.
struct Medians : benchmark::ConsoleReporter {
    Medians() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> figures;
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Iteration || run.aggregate_name == "median";
            if (median || run.aggregate_name == "cv") shown.push_back(run);
            if (!median || run.error_occurred) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            figures[name] = run.GetAdjustedRealTime();
            for (const auto& [counter, value] : run.counters) figures[name + "/" + counter] = value;
        }
        ConsoleReporter::ReportRuns(shown);
    }
};

// To add a goal: register the benchmarks it needs in main() and add a row here, whose figure is
// computed from their medians (a missing one makes the goal "not measured" and short).
struct Goal {
    const char* name;
    double measured;
    double target;
    const char* unit; // "" for a ratio, " MiB" for a difference
};

std::vector<Goal> goals(const std::map<std::string, double>& f) {
    const auto at = [&](const std::string& name) {
        const auto found = f.find(name);
        return found == f.end() ? NAN : found->second;
    };
    double slowestSolve = NAN;
    for (const auto& [name, value] : f)
        if (name.starts_with("solve18/")) slowestSolve = std::fmax(slowestSolve, value);
    const double gameFrame = at("memcpy/game_window"), frame = at("memcpy/window");
    return {
        {"game-click", at("game_click") / gameFrame, 5, ""},
        {"game-repaint", at("game_repaint") / gameFrame, 3, ""},
        {"hint-18", at("game_hint") / gameFrame, 300, ""},
        {"menu-event", at("menu_event") / frame, 3, ""},
        {"config-event", at("config_event") / frame, 3, ""},
        {"start-up", at("start_up/kelvo") / at("start_up/bare"), 1.5, ""},
        {"memory", at("memory/kelvo_MiB") - at("memory/bare_MiB"), 14, " MiB"},
        {"solver-18", slowestSolve / at("every_move"), 100, ""},
        {"game-fewest", at("game_fewest/table_worst_ratio"), 1.05, ""},
        {"game-fewest-random", at("game_fewest/random_worst_ratio"), 1.15, ""},
    };
}

// Every timed benchmark is the median of its repetitions, each long enough to average over many
// iterations, in real time: the whole processes spend theirs outside this one.
constexpr int repetitions = 10;
constexpr double secondsPerRepetition = 0.1;

template <typename... Args> benchmark::internal::Benchmark* add(const char* name, Args&&... args) {
    return benchmark::RegisterBenchmark(name, std::forward<Args>(args)...)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->MinTime(secondsPerRepetition)
        ->UseRealTime();
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("LD_PRELOAD", KELVO_BENCH_SHIM, 1);
    // The repetitions of all benchmarks run in a random order, so that a measure and its
    // yardstick meet the same load of a shared machine.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    benchmark::SetDefaultTimeUnit(benchmark::kMicrosecond);

    add("memcpy/game_window", copyFrame, gameWindowWidth, maxGameWindowHeight);
    add("memcpy/window", copyFrame, windowWidth, windowHeight);
    add("game_click", gameClick);
    add("game_repaint", gameRepaint);
    add("game_hint", gameHint);
    add("menu_event", menuEvent);
    add("config_event", configEvent);
    add("every_move", everyMove);
    add("solve18", solve)
        ->ArgsProduct({benchmark::CreateDenseRange(minColorCount, maxColorCount, 1), {0, 1}})
        ->ArgNames({"k", "torus"});
    add("start_up/kelvo", startUp, KELVO_GAME)->MinTime(5 * secondsPerRepetition);
    add("start_up/bare", startUp, KELVO_BARE_WINDOW)->MinTime(5 * secondsPerRepetition);
    benchmark::RegisterBenchmark("memory", memory)->Iterations(1);
    add("walk", walk)->Repetitions(3);
    benchmark::RegisterBenchmark("game_fewest", gameFewest)->Iterations(1);

    Medians medians;
    benchmark::RunSpecifiedBenchmarks(&medians);
    releaseAssets();
    std::printf("\n");
    std::printf("walk: %.3g plans per second\n", medians.figures["walk/plans_per_second"]);
    for (const Goal& g : goals(medians.figures)) {
        const bool mebibytes = *g.unit != '\0';
        char measured[32] = "not measured";
        if (!std::isnan(g.measured))
            std::snprintf(measured, sizeof measured, mebibytes ? "%+.1f%s" : "%.2f%s", g.measured,
                          g.unit);
        std::printf("goal %s: %s (target <= %s%g%s) %s\n", g.name, measured, mebibytes ? "+" : "",
                    g.target, g.unit, g.measured <= g.target ? "ok" : "short");
    }
    return 0;
}
