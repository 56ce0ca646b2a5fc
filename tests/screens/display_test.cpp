// The video start against a display that refuses for a moment, signals that end the game, and
// the window scale chosen for the desktop.
#include "screen_test.h"

using DisplayTest = ScreenTest;

static int initCalls = 0;

TEST_F(DisplayTest, ADisplayThatRefusesForAMomentIsTriedAgain) {
    SDL_Quit();
    // The game waits for an X display only; the dummy driver ignores this one.
    setenv("DISPLAY", ":kelvo-test", 1);
    initCalls = 0;
    // Fails twice in SDL itself, as against an X server whose queue is full, then starts.
    startVideo([](Uint32 flags) {
        setenv("SDL_VIDEODRIVER", ++initCalls <= 2 ? "no-such-driver" : "dummy", 1);
        return SDL_Init(flags);
    });
    EXPECT_EQ(initCalls, 3);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "started in name only";
    unsetenv("DISPLAY");
}

// The signal the game sends itself once its video system has started, when SDL would catch it
// and the game would go on waiting for events.
static int signalAtStart = 0;

TEST_F(DisplayTest, TerminationSignalsEndTheProgramAtOnce) {
    SDL_Quit();
    afterVideoStart = [] { raise(signalAtStart); };
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        signalAtStart = signal;
        // SIGTERM on the start picture, which it never leaves, the others during a game.
        const auto play = [signal] {
            alarm(10);
            if (signal == SIGTERM) runMainMenu();
            runGame(nullptr, {});
        };
        EXPECT_EXIT(play(), ::testing::KilledBySignal(signal), "");
    }
}

// The largest multiple of 0.5 at which the game's window fits the desktop, at least 1. That the
// game sets it unless the player chose one, the end-to-end walk sees in real windows.
TEST_F(DisplayTest, WindowScaleForTheDesktop) {
    EXPECT_EQ(windowScale(1920, 1080), 1);
    EXPECT_EQ(windowScale(2560, 1440), 1.5);
    EXPECT_EQ(windowScale(3840, 2160), 2.5);
    EXPECT_EQ(windowScale(0, 0), 1);
}
