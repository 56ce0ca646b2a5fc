// Every screen under a storm of random events: keys, the five buttons inside and outside the
// window, motion and quit requests. Nothing may crash or trip a sanitizer, and the program still
// ends when a quit request reaches the menu. Every event repaints, so the test suite feeds 10,000
// events per screen under the sanitizers and 2,000 without; make soak feeds 100,000
// (KELVO_STORM_EVENTS).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "board/motif.h"
#include "screen_fixture.h"
#include "screens/config.h"
#include "screens/game.h"
#include "screens/menu.h"
#include "screens/motif_editor.h"
#include "screens/victory.h"

namespace {

long eventsPerScreen() { return runLength("KELVO_STORM_EVENTS", 10000, 2000); }

// SDL's queue holds few events (128 with SDL 1.2 over SDL 2), so a storm is fed in batches.
int queueCapacity() {
    static const int capacity = [] {
        SDL_Event e{};
        e.type = SDL_USEREVENT;
        int n = 0;
        while (n < 100000 && SDL_PushEvent(&e) == 0) ++n;
        for (SDL_Event drained; SDL_PollEvent(&drained);) {
        }
        return n;
    }();
    return capacity;
}

int drain() {
    int n = 0;
    for (SDL_Event e; SDL_PollEvent(&e);) ++n;
    return n;
}

class Storm {
  public:
    // keyShare: keys per thousand events. The start picture and the victory screen end at the
    // first key-down, so their storms carry fewer keys, or they would see a handful of events a
    // visit.
    explicit Storm(unsigned seed, int keyShare = 297) : rng_(seed), keyShare_(keyShare) {}

    // Fills the queue with random events and ends it with `closing` quit requests, enough to end
    // every screen the events may open. The closing requests of the previous top-up that are
    // still queued go first, or they would pile up. Returns how many random events went in.
    long topUp(int closing) {
        SDL_Event kept[1024];
        int count = std::max(0, SDL_PeepEvents(kept, 1024, SDL_GETEVENT, SDL_ALLEVENTS));
        for (int stale = 0; stale < closing_ && count > 0 && kept[count - 1].type == SDL_QUIT;
             ++stale)
            --count;
        for (int i = 0; i < count; ++i) SDL_PushEvent(&kept[i]);
        long pushed = 0;
        for (const int room = queueCapacity() - count - closing; pushed < room; ++pushed) {
            SDL_Event e = next();
            if (SDL_PushEvent(&e) != 0) break;
        }
        for (int i = 0; i < closing; ++i) {
            SDL_Event e{};
            e.type = SDL_QUIT;
            SDL_PushEvent(&e);
        }
        closing_ = closing;
        return pushed;
    }

    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    int32_t value() {
        static constexpr int32_t extremes[] = {INT32_MIN, INT32_MAX, -1, 2, -2, 4, 5, 1000};
        switch (below(4)) {
        case 0:
            return extremes[below(8)];
        case 1:
            return static_cast<int32_t>(rng_());
        default:
            return below(2);
        }
    }

  private:
    Uint16 coordinate(int limit) {
        // Mostly within reach of the largest window, sometimes far outside it.
        return below(20) == 0 ? Uint16(rng_()) : Uint16(below(limit));
    }

    SDLKey key() {
        static constexpr SDLKey useful[] = {SDLK_RETURN, SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
        const int pick = below(100);
        if (pick < 2) return SDLK_ESCAPE;
        if (pick < 50) return useful[below(5)];
        return static_cast<SDLKey>(below(SDLK_LAST));
    }

    // Per thousand: 3 quit requests, keyShare_ keys, and the rest buttons (half of it), motion
    // and, rarely, focus changes.
    SDL_Event next() {
        SDL_Event e{};
        const int pick = below(1000);
        const int rest = 997 - keyShare_;
        if (pick < 3) {
            e.type = SDL_QUIT;
        } else if (pick < 3 + keyShare_) {
            e.type = below(5) == 0 ? SDL_KEYUP : SDL_KEYDOWN;
            e.key.state = e.type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.sym = key();
            e.key.keysym.mod = static_cast<SDLMod>(below(0x10000));
            e.key.keysym.unicode = Uint16(rng_());
        } else if (const int other = below(rest); other < rest / 2) {
            e.type = below(2) == 0 ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            e.button.button = Uint8(1 + below(5));
            e.button.state = e.type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.x = coordinate(1000);
            e.button.y = coordinate(1000);
        } else if (other < rest - 20) {
            e.type = SDL_MOUSEMOTION;
            e.motion.state = Uint8(rng_());
            e.motion.x = coordinate(1000);
            e.motion.y = coordinate(1000);
            e.motion.xrel = Sint16(rng_());
            e.motion.yrel = Sint16(rng_());
        } else {
            e.type = SDL_ACTIVEEVENT;
            e.active.gain = Uint8(below(2));
            e.active.state = Uint8(1 + below(7));
        }
        return e;
    }

    std::mt19937 rng_;
    int keyShare_;
    int closing_ = 0;
};

// The storm the video system's start refills; null outside the game's storms.
Storm* refilling = nullptr;
int refillClosing = 1;
long refilled = 0;
long lastRefill = 0;
void refill() {
    if (!refilling) return;
    lastRefill = refilling->topUp(refillClosing);
    refilled += lastRefill;
}

class StormTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_GT(queueCapacity(), 8);
        afterVideoStart = refill;
    }
    void TearDown() override {
        afterVideoStart = nullptr;
        refilling = nullptr;
        ScreenTest::TearDown();
    }

    // Runs a screen that does not restart the video system again and again, each time on a
    // topped-up queue, until `events` random events have reached it.
    template <typename Screen> void storm(Storm& s, Screen screen) {
        long fed = 0;
        while (fed < eventsPerScreen()) {
            fed += s.topUp(1);
            screen();
        }
        drain();
        std::printf("%ld events\n", fed);
    }

    // A random motif in the motif file, for the screens that read it.
    static void randomMotifFile(Storm& s) {
        Motif m{};
        for (int32_t& v : m) v = s.value();
        saveMotif(motifPath, m);
    }
};

TEST_F(StormTest, StartScreen) {
    Storm s(1, 30);
    SDL_Surface* window = openMenuWindow();
    storm(s, [&] { runStartScreen(window); });
}

TEST_F(StormTest, Victory) {
    Storm s(2, 30);
    storm(s, [&] {
        moveCount = s.value();
        showVictory();
    });
}

TEST_F(StormTest, Configuration) {
    Storm s(3);
    GameConfig config;
    storm(s, [&] { runConfig(openMenuWindow(), config); });
    EXPECT_GE(config.size, minBoardSize);
    EXPECT_LE(config.size, maxBoardSize);
    EXPECT_GE(config.colorCount, minColorCount);
    EXPECT_LE(config.colorCount, maxColorCount);
    EXPECT_GE(configCursor, 0);
    EXPECT_LE(configCursor, lastConfigItem);
}

TEST_F(StormTest, MotifEditor) {
    Storm s(4);
    storm(s, [&] {
        if (s.below(10) == 0) randomMotifFile(s);
        runMotifEditor(openMenuWindow());
    });
}

TEST_F(StormTest, Game) {
    // The game restarts the video system, which empties the queue: it is refilled as the video
    // starts, and what the game leaves is thrown away with the next start.
    Storm s(5);
    refilling = &s;
    long fed = 0;
    while (fed < eventsPerScreen()) {
        GameConfig config;
        config.size = s.below(3) == 0 ? 2 : minBoardSize + s.below(maxBoardSize - minBoardSize + 1);
        config.colorCount = minColorCount + s.below(maxColorCount - minColorCount + 1);
        config.randomStart = s.below(2);
        config.torus = s.below(2);
        if (s.below(4) == 0) randomMotifFile(s);
        refilled = 0;
        runGame(openMenuWindow(), config);
        fed += refilled - drain();
    }
    std::printf("%ld events\n", fed);
}

TEST_F(StormTest, MenuAndEverythingItOpens) {
    // Whatever the storm opens from the menu gets its events too; two quit requests end a screen
    // opened from the menu and the menu. A game's start throws the queue away: only the events
    // queued after the last start are counted.
    Storm s(6);
    refilling = &s;
    refillClosing = 2;
    GameConfig config;
    long fed = 0;
    while (fed < eventsPerScreen()) {
        const long pushed = s.topUp(2);
        refilled = 0;
        lastRefill = 0;
        runMenu(openMenuWindow(), config);
        fed += (refilled > 0 ? lastRefill : pushed) - drain();
    }
    std::printf("%ld events\n", fed);

    // The program itself: a last storm, and it ends once the final quit request reaches the menu
    // (three quit requests: the start picture, a screen opened from the menu, the menu).
    Storm last(7);
    refilling = &last;
    refillClosing = 3;
    EXPECT_EQ(runMainMenu(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

} // namespace
