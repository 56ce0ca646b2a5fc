// The speed benchmark behind `make bench`: every event of the game timed against copying one
// frame, the start-up and the memory against a bare SDL program; prints one goal line per goal.
// Runs on SDL's dummy video driver in a copy of the run directory (tools/bench prepares it).
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "board/game_config.h"
#include "board/grid.h"
#include "board/motif.h"
#include "board/trace.h"
#include "screens/config.h"
#include "screens/display.h"
#include "screens/game.h"
#include "screens/menu.h"
#include "solver/solver.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Every iteration is also timed on its own, and a figure is the median of these times: on a
// machine shared with other work most iterations run undisturbed, while a mean takes in every
// pause the scheduler makes.
std::map<std::string, std::vector<double>> samples;
std::set<std::string> failed;

void fail(benchmark::State& state, const std::string& name, const char* why) {
    state.SkipWithError(why);
    failed.insert(name);
}

// While set, every wait of a screen for its next event is one timed iteration of this state:
// the screen gets nextEvent(i) while the state keeps running, then lastEvent, which ends it.
benchmark::State* feeding = nullptr;
bool feedEnded = false;
std::function<SDL_Event(int64_t)> nextEvent;
SDL_Event lastEvent{};
int64_t fed = 0;
std::vector<double>* feedSamples = nullptr;
Clock::time_point feedLast;

// The timed loops stop short of the flip, which under a real display is the transfer to the
// screen and not the game's own work.
bool flipsReachTheWindow = true;

} // namespace

// The game's screens are linked into this program, so these two definitions take the place of
// SDL's for them; SDL's own run behind them.
extern "C" int SDL_Flip(SDL_Surface* screen) {
    static const auto real = reinterpret_cast<int (*)(SDL_Surface*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
    return flipsReachTheWindow ? real(screen) : 0;
}

// The event still goes through SDL's own queue, so its cost is part of the measure.
extern "C" int SDL_WaitEvent(SDL_Event* event) {
    static const auto real =
        reinterpret_cast<int (*)(SDL_Event*)>(dlsym(RTLD_NEXT, "SDL_WaitEvent"));
    if (feeding) {
        if (fed > 0 && !feedEnded) feedSamples->push_back(secondsSince(feedLast));
        SDL_Event e = lastEvent;
        if (!feedEnded && feeding->KeepRunning())
            e = nextEvent(fed++);
        else
            feedEnded = true;
        feedLast = Clock::now();
        SDL_PushEvent(&e);
    }
    return real(event);
}

namespace {

SDL_Event keyEvent(SDLKey key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    return e;
}

// Runs a screen with the state's iterations as its events, one per iteration.
void feedScreen(benchmark::State& state, const std::string& name,
                std::function<SDL_Event(int64_t)> next, SDL_Event last,
                const std::function<void()>& screen) {
    feeding = &state;
    feedEnded = false;
    nextEvent = std::move(next);
    lastEvent = last;
    fed = 0;
    feedSamples = &samples[name];
    flipsReachTheWindow = false;
    screen();
    flipsReachTheWindow = true;
    feeding = nullptr;
    if (!feedEnded) fail(state, name, "the screen ended before its last event");
}

// Runs body once per iteration, timing each on its own.
template <typename Body>
void timeEach(benchmark::State& state, const std::string& name, Body body) {
    std::vector<double>& into = samples[name];
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        body();
        into.push_back(secondsSince(start));
    }
}

// A board of 18 x 18 with every colour of five.
Grid colourfulBoard() {
    Grid board = newGrid(maxBoardSize);
    for (int32_t x = 0; x < board.size; ++x)
        for (int32_t y = 0; y < board.size; ++y) board.cells[x][y] = (x * 7 + y * 3) % 5;
    return board;
}

SDL_Surface* openGameWindow() {
    startVideo();
    return openWindow(gameWindowWidth, gameWindowHeight(maxBoardSize),
                      SDL_HWSURFACE | SDL_DOUBLEBUF, true);
}

// ---- The yardsticks: one copy of a whole frame.

void copyFrame(benchmark::State& state, const std::string& name, int width, int height) {
    std::vector<Uint32> from(std::size_t(width) * height, 0x336699), to(from.size());
    timeEach(state, name, [&] {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(Uint32));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    });
}

// ---- The game.

// One accepted click, end to end: the event, the move, the click count, "trace.txt", the solved
// test and the repaint. The clicks stay on the left half of a torus board: the far columns never
// change, so no click can win the game.
void gameClick(benchmark::State& state, const std::string& name) {
    startVideo();
    const GameConfig config{maxBoardSize, maxColorCount, 0, 1};
    auto click = [](int64_t i) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_RELEASED;
        e.button.x = Uint16(boardLeft + tileSize * (i % 9) + tileSize / 2);
        e.button.y = Uint16(boardTop + tileSize * ((i / 9) % maxBoardSize) + tileSize / 2);
        return e;
    };
    feedScreen(state, name, click, keyEvent(SDLK_ESCAPE),
               [&] { runGame(SDL_GetVideoSurface(), config); });
    if (moveCount != state.iterations()) fail(state, name, "a click was not played");
    stopVideo();
}

// The click trace of an 18 x 18 game rewritten, as after every move.
void traceWrite(benchmark::State& state, const std::string& name) {
    Grid counts = colourfulBoard();
    bool written = true;
    timeEach(state, name, [&] {
        counts.cells[3][4] += 1;
        written = writeTrace(counts) && written;
    });
    if (!written) fail(state, name, "trace.txt could not be written");
}

// The game's repaint of an 18 x 18 board, without the flip.
void gameRepaint(benchmark::State& state, const std::string& name) {
    SDL_Surface* screen = openGameWindow();
    const Grid board = colourfulBoard();
    flipsReachTheWindow = false;
    timeEach(state, name, [&] { drawBoard(screen, board, maxColorCount); });
    flipsReachTheWindow = true;
    stopVideo();
}

// The same repaint as the drawing rules read literally: every picture read from its file for
// each drawing and freed after it. Kept here only, as the baseline of the game's repaint.
void literalDraw(SDL_Surface* screen, const char* path, int x, int y) {
    SDL_Surface* pic = SDL_LoadBMP(path);
    if (!pic) return;
    SDL_Rect at{Sint16(x), Sint16(y), 0, 0};
    SDL_BlitSurface(pic, nullptr, screen, &at);
    SDL_FreeSurface(pic);
}

void literalTile(SDL_Surface* screen, int colour, int x, int y) {
    char path[32];
    std::snprintf(path, sizeof path, "./rc/%d.bmp", colour);
    literalDraw(screen, path, x, y);
}

void literalRepaint(benchmark::State& state, const std::string& name) {
    SDL_Surface* screen = openGameWindow();
    const Grid board = colourfulBoard();
    timeEach(state, name, [&] {
        literalDraw(screen, "./rc/game.bmp", 0, 0);
        literalTile(screen, maxColorCount - 1, goalX, goalY);
        for (int32_t x = 0; x < board.size; ++x)
            for (int32_t y = 0; y < board.size; ++y)
                literalTile(screen, board.cells[x][y], boardLeft + tileSize * x,
                            boardTop + tileSize * y);
    });
    stopVideo();
}

// ---- The menu and the configuration screen.

void menuEvent(benchmark::State& state, const std::string& name) {
    startVideo();
    SDL_Surface* screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
    GameConfig config;
    auto motion = [](int64_t i) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.state = 0;
        e.motion.x = Uint16(100 + i % 400);
        e.motion.y = Uint16(100 + i % 300);
        return e;
    };
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    feedScreen(state, name, motion, quit, [&] { runMenu(screen, config); });
    stopVideo();
}

// Right on the torus line flips it at every key, so every repaint shows a change.
void configEvent(benchmark::State& state, const std::string& name) {
    startVideo();
    SDL_Surface* screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
    GameConfig config;
    configCursor = 3;
    feedScreen(
        state, name, [](int64_t) { return keyEvent(SDLK_RIGHT); }, keyEvent(SDLK_ESCAPE),
        [&] { runConfig(screen, config); });
    stopVideo();
}

// ---- The solver: kelvo-solve's answer for the 18 x 18 board of zeros and the cross motif,
// against one move on every cell of the board.

const Motif crossMotif{0, 1, 0, 1, 1, 1, 0, 1, 0};

// Every colour count, bounded then torus; the goal takes the slowest.
constexpr const char* solverCases[] = {"solve18/k2",       "solve18/k2_torus", "solve18/k3",
                                       "solve18/k3_torus", "solve18/k4",       "solve18/k4_torus",
                                       "solve18/k5",       "solve18/k5_torus"};

void movesEveryCell(benchmark::State& state, const std::string& name) {
    Grid board = colourfulBoard();
    timeEach(state, name, [&] {
        for (int32_t x = 0; x < board.size; ++x)
            for (int32_t y = 0; y < board.size; ++y)
                board = playMove(board, x, y, crossMotif, maxColorCount, true);
        benchmark::DoNotOptimize(board);
    });
}

void solveCross(benchmark::State& state, const std::string& name, int32_t k, bool torus) {
    timeEach(state, name, [&] {
        const Solution solution = solveBoard(newGrid(maxBoardSize), crossMotif, k, torus);
        benchmark::DoNotOptimize(solution);
    });
}

// ---- Whole processes: the game and the bare SDL program, with the shim preloaded.

constexpr const char* peakFile = "bench-peak.txt";

// Starts a program on the dummy driver with the shim in the given mode and waits for its end;
// its exit status, or nothing when it could not be started.
std::optional<int> runProcess(const char* program, const char* shimMode) {
    std::vector<std::string> settings = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                                         std::string("LD_PRELOAD=") + KELVO_BENCH_SHIM,
                                         std::string("KELVO_BENCH_SHIM=") + shimMode,
                                         std::string("KELVO_BENCH_PEAK=") + peakFile};
    std::vector<char*> env;
    for (char** v = environ; *v; ++v) {
        const std::string entry = *v;
        const bool replaced = std::any_of(settings.begin(), settings.end(), [&](auto& s) {
            return entry.compare(0, s.find('=') + 1, s, 0, s.find('=') + 1) == 0;
        });
        if (!replaced) env.push_back(*v);
    }
    for (std::string& s : settings) env.push_back(s.data());
    env.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, env.data()) != 0) return std::nullopt;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return std::nullopt;
    return status;
}

// Peak resident memory in bytes of a program run to its end in the given mode; 0 on failure.
double peakOf(const char* program, const char* shimMode) {
    std::remove(peakFile);
    auto status = runProcess(program, shimMode);
    long peakKiB = 0;
    std::ifstream(peakFile) >> peakKiB;
    std::remove(peakFile);
    return status == 0 && peakKiB > 0 ? double(peakKiB) * 1024 : 0;
}

// Program start to the first flip, the shim ending the process there: the game and the bare
// program in turn, each going first every other time, so that both meet the same load of the
// machine. Their figures are name + "/kelvo" and name + "/bare".
void startUp(benchmark::State& state, const std::string& name) {
    std::vector<double>& game = samples[name + "/kelvo"];
    std::vector<double>& bare = samples[name + "/bare"];
    bool reached = true;
    bool gameFirst = true;
    for (auto _ : state) {
        for (const bool isGame : {gameFirst, !gameFirst}) {
            const Clock::time_point start = Clock::now();
            const auto status = runProcess(isGame ? KELVO_GAME : KELVO_BARE_WINDOW, "first-flip");
            (isGame ? game : bare).push_back(secondsSince(start));
            reached = reached && status == 0;
        }
        gameFirst = !gameFirst;
    }
    if (!reached) {
        fail(state, name + "/kelvo", "a program did not reach its first flip");
        failed.insert(name + "/bare");
    }
}

// Peak resident memory of the game after the scripted session (1,000 clicks on 18 x 18) and of
// the bare program at its flip; checks that every click reached "trace.txt".
std::map<std::string, double> peaks;

void measureMemory() {
    std::remove("trace.txt");
    const double game = peakOf(KELVO_GAME, "session");
    const double bare = peakOf(KELVO_BARE_WINDOW, "first-flip");
    if (game == 0 || bare == 0) {
        std::printf("memory: a program did not run to its end\n");
        return;
    }
    std::ifstream trace("trace.txt");
    long clicks = 0;
    for (long count = 0; trace >> count;) clicks += count;
    if (clicks != 1000) {
        std::printf("memory: the session played %ld clicks, not 1000\n", clicks);
        return;
    }
    peaks["peak/kelvo"] = game;
    peaks["peak/bare"] = bare;
}

// ---- The figures and the goals.

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Seconds per iteration of each benchmark (median of its single iterations), peak memory in
// bytes.
std::map<std::string, double> figures() {
    std::map<std::string, double> f = peaks;
    for (const auto& [name, times] : samples)
        if (!times.empty() && !failed.count(name)) f[name] = median(times);
    return f;
}

struct Goal {
    const char* name;
    // The figures it needs; measured is called only when they are all there.
    std::vector<const char*> needs;
    std::function<double(const std::map<std::string, double>&)> measured;
    const char* op; // "<=" or ">="
    double target;
    bool mebibytes; // a difference in MiB, printed with its sign; else a ratio
};

constexpr double MiB = 1024.0 * 1024.0;

double ratio(const std::map<std::string, double>& f, const char* a, const char* b) {
    return f.at(a) / f.at(b);
}

// To add a goal, e.g. the solver's: write the benchmark that times it (time each iteration with
// timeEach, under a name), register it in registerAll() below, then add one row here: the goal's
// name, the figures it needs (benchmark names), how the measured number follows from them, the
// comparison and the target.
const std::vector<Goal> goals = {
    {"game-click",
     {"game_click", "memcpy/700x765"},
     [](auto& f) { return ratio(f, "game_click", "memcpy/700x765"); },
     "<=",
     4,
     false},
    {"literal-repaint",
     {"literal_repaint", "game_repaint"},
     [](auto& f) { return ratio(f, "literal_repaint", "game_repaint"); },
     ">=",
     25,
     false},
    {"menu-event",
     {"menu_event", "memcpy/640x480"},
     [](auto& f) { return ratio(f, "menu_event", "memcpy/640x480"); },
     "<=",
     3,
     false},
    {"config-event",
     {"config_event", "memcpy/640x480"},
     [](auto& f) { return ratio(f, "config_event", "memcpy/640x480"); },
     "<=",
     3,
     false},
    {"start-up",
     {"start_up/kelvo", "start_up/bare"},
     [](auto& f) { return ratio(f, "start_up/kelvo", "start_up/bare"); },
     "<=",
     1.5,
     false},
    {"solver-18",
     {solverCases[0], solverCases[1], solverCases[2], solverCases[3], solverCases[4],
      solverCases[5], solverCases[6], solverCases[7], "moves/18"},
     [](auto& f) {
         double slowest = 0;
         for (const char* c : solverCases) slowest = std::max(slowest, f.at(c));
         return slowest / f.at("moves/18");
     },
     "<=",
     100,
     false},
    {"memory",
     {"peak/kelvo", "peak/bare"},
     [](auto& f) { return (f.at("peak/kelvo") - f.at("peak/bare")) / MiB; },
     "<=",
     8,
     true},
};

std::string number(double value, bool mebibytes, bool isTarget) {
    char text[64];
    if (mebibytes)
        std::snprintf(text, sizeof text, isTarget ? "%+g MiB" : "%+.1f MiB", value);
    else
        std::snprintf(text, sizeof text, isTarget ? "%g" : "%.2f", value);
    return text;
}

void printFigures(const std::map<std::string, double>& f) {
    std::printf("\nfigures (median of single iterations; peak resident memory):\n");
    for (const auto& [name, value] : f) {
        if (name.rfind("peak/", 0) == 0)
            std::printf("  %-16s %10.1f MiB\n", name.c_str(), value / MiB);
        else
            std::printf("  %-16s %10.1f us  (%zu iterations)\n", name.c_str(), value * 1e6,
                        samples[name].size());
    }
}

void printGoals(const std::map<std::string, double>& f) {
    for (const Goal& goal : goals) {
        const std::string target = number(goal.target, goal.mebibytes, true);
        const bool known = std::all_of(goal.needs.begin(), goal.needs.end(),
                                       [&](const char* need) { return f.count(need) != 0; });
        if (!known) {
            std::printf("goal %s: not measured (target %s %s) short\n", goal.name, goal.op,
                        target.c_str());
            continue;
        }
        const double value = goal.measured(f);
        const bool met =
            std::strcmp(goal.op, "<=") == 0 ? value <= goal.target : value >= goal.target;
        std::printf("goal %s: %s (target %s %s) %s\n", goal.name,
                    number(value, goal.mebibytes, false).c_str(), goal.op, target.c_str(),
                    met ? "ok" : "short");
    }
}

template <typename... Args>
void add(const char* name, double minTime,
         void (*fn)(benchmark::State&, const std::string&, Args...), Args... args) {
    benchmark::RegisterBenchmark(name, fn, std::string(name), args...)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime()
        ->MinTime(minTime);
}

void registerAll() {
    add("memcpy/700x765", 0.3, copyFrame, int(gameWindowWidth), gameWindowHeight(maxBoardSize));
    add("memcpy/640x480", 0.3, copyFrame, int(windowWidth), int(windowHeight));
    add("game_click", 0.5, gameClick);
    add("trace_write", 0.3, traceWrite);
    add("game_repaint", 0.3, gameRepaint);
    add("literal_repaint", 0.5, literalRepaint);
    add("menu_event", 0.3, menuEvent);
    add("config_event", 0.3, configEvent);
    add("moves/18", 0.3, movesEveryCell);
    for (int32_t k = minColorCount; k <= maxColorCount; ++k)
        for (const bool torus : {false, true})
            add(solverCases[2 * (k - minColorCount) + (torus ? 1 : 0)], 0.3, solveCross, k, torus);
    add("start_up", 4.0, startUp);
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The memory runs belong to the whole benchmark, or to a filter that names them.
    bool wantMemory = true;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_filter=", 19) == 0)
            wantMemory = std::strstr(argv[i], "memory") != nullptr;
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    releaseAssets();
    if (wantMemory) measureMemory();
    const auto f = figures();
    printFigures(f);
    std::printf("\n");
    printGoals(f);
    std::fflush(stdout);
    return 0;
}
