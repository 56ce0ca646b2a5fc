// Every screen under a storm of random events, and a long session of games and editor visits in
// one process: nothing may crash or trip a sanitizer, and memory stays flat. Short in the test
// suite; make soak sets the full lengths in KELVO_STORM_EVENTS and KELVO_LONG_GAMES.
#include <random>

#include "screen_test.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
constexpr long stormEvents = 10000, longGames = 20;
#else
constexpr long stormEvents = 2000, longGames = 30;
#endif

class StormTest : public ScreenTest, public ::testing::WithParamInterface<std::string> {};
INSTANTIATE_TEST_SUITE_P(Screens, StormTest,
                         ::testing::Values("StartPicture", "Victory", "Configuration",
                                           "MotifEditor", "Game", "Menu", "LongSession"),
                         [](const auto& info) { return info.param; });
static std::mt19937 rng;
static int below(int n) { return int(rng() % unsigned(n)); }

// Fills SDL's queue (it holds about a hundred events) with random events, then `closing` quit
// requests; returns how many went in. Per thousand events: 3 quit requests, `keys` key presses,
// and mouse events with buttons 1 to 5, mostly within reach of the largest window.
static long fill(int keys, int closing) {
    // Escape, which ends most screens, only among the other keys: a visit then sees more events.
    const SDLKey useful[] = {SDLK_RETURN, SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
    const auto at = [] { return Uint16(below(20) == 0 ? below(65536) : below(1000)); };
    Events events;
    for (int i = 0; i < 100; ++i) {
        const int pick = below(1000);
        // A motion, a press or a release: the button event's layout holds a motion's too.
        SDL_Event e = release(at(), at(), Uint8(1 + below(5)), Uint8(SDL_MOUSEMOTION + below(3)));
        if (pick < 3 + keys) e = key(below(2) ? useful[below(5)] : SDLKey(below(SDLK_LAST)));
        events.push_back(pick < 3 ? quitRequest() : e);
    }
    events.insert(events.end(), closing, quitRequest());
    queue(events);
    return long(events.size());
}

// Games of a hundred moves on the largest board, each after a visit to the editor: no leak, and
// the peak resident memory after the last game within 1 MiB of the peak half way (glibc's heap
// takes a dozen games to settle, as its threshold for mapping large blocks rises).
static void longSession(long games) {
    const auto peakKiB = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    long halfWay = 0;
    for (long game = 0; game < games; ++game) {
        for (int i = below(4); i > 0; --i) queue({onMotif(below(9))});
        queue({key(below(2) ? SDLK_RETURN : SDLK_ESCAPE)});
        runMotifEditor(openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true));
        Events moves(1, key(SDLK_ESCAPE));
        for (int i = 0; i < 100; ++i) moves.insert(moves.begin(), onCell(below(18), below(18)));
        atVideoStart = inTurn({moves});
        runGame(nullptr, {.size = 18, .colorCount = 5, .torus = int32_t(game % 2)});
        ASSERT_EQ(moveCount, 100) << "game " << game;
        halfWay = game == games / 2 ? peakKiB() : halfWay;
    }
    std::printf("peak resident memory: %ld KiB half way, %ld KiB after the last game\n", halfWay,
                peakKiB());
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "LeakSanitizer found leaks (above)";
#else
    EXPECT_LT(peakKiB() - halfWay, 1024) << "KiB of growth";
#endif
}

TEST_P(StormTest, NothingBreaks) {
    const std::string screen = GetParam();
    const bool games = screen == "LongSession";
    const char* wanted = std::getenv(games ? "KELVO_LONG_GAMES" : "KELVO_STORM_EVENTS");
    const long length = wanted ? std::atol(wanted) : games ? longGames : stormEvents;
    if (games) return longSession(length);
    // A game's start empties the queue and fills it anew; the count is of the events queued.
    long fed = 0;
    atVideoStart = [&] { fed += fill(300, screen == "Game" ? 1 : 2); };
    GameConfig config;
    for (; fed < length; fed -= drain()) {
        SDL_Surface* window = screen == "Victory" || screen == "Game" ? nullptr : menuWindow();
        // Now and then a motif file with values of every size for the editor and the game.
        if (below(8) == 0) writeFile(motifPath, std::to_string(int32_t(rng())) + " -2 3 -1 2");
        // The start picture and the victory end at a key: few keys let them see more events.
        const bool fewKeys = screen == "StartPicture" || screen == "Victory";
        if (screen != "Game") fed += fill(fewKeys ? 30 : 300, screen == "Menu" ? 2 : 1);
        if (screen == "StartPicture") runStartScreen(window);
        if (screen == "Victory") showVictory(int32_t(rng())); // any count for its message
        if (screen == "Configuration") runConfig(window, config);
        if (screen == "MotifEditor") runMotifEditor(window);
        if (screen == "Game") runGame(window, {2 + below(17), 2 + below(4), below(2), below(2)});
        if (screen == "Menu") runMenu(window, config);
    }
    // The program itself ends when a quit request reaches its menu.
    atVideoStart = [] { fill(300, 3); };
    EXPECT_EQ(screen == "Menu" ? runMainMenu() : 0, 0);
    std::printf("events: %ld handled\n", fed);
}
