// The video start against a display that refuses for a moment, and signals that end the game.
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "screen_test.h"

using DisplayTest = ScreenTest;

static int initCalls = 0;

TEST_F(DisplayTest, ADisplayThatRefusesForAMomentIsTriedAgainThenGivesOneLine) {
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
    SDL_Quit();
    const auto refuse = [](Uint32) { return SDL_SetError("x11 not available"), -1; };
    EXPECT_EXIT(startVideo(refuse), ::testing::ExitedWithCode(1),
                "^kelvo: cannot open the display: x11 not available\n$");
    unsetenv("DISPLAY");
}

// The write end of the pipe on which a child says that its video system has started.
static int videoStarted = -1;

TEST_F(DisplayTest, TerminationSignalsEndTheProgramAtOnce) {
    const std::pair<int, void (*)()> cases[] = {
        {SIGTERM, [] { runMainMenu(); }}, // on the start picture
        {SIGINT, [] { runGame(nullptr, GameConfig{}); }},
        {SIGHUP, [] { runGame(nullptr, GameConfig{}); }},
    };
    for (const auto& [signal, run] : cases) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            SDL_Quit();
            videoStarted = started[1];
            afterVideoStart = [] { (void)!write(videoStarted, "", 1); };
            run();
            _exit(0);
        }
        close(started[1]);
        char byte = 0;
        pollfd ready{started[0], POLLIN, 0};
        ASSERT_TRUE(poll(&ready, 1, 30000) == 1 && read(started[0], &byte, 1) == 1) << signal;
        close(started[0]);
        kill(child, signal);
        int status = 0;
        pid_t ended = 0;
        for (int waited = 0; waited < 300 && ended == 0; ++waited, usleep(10000))
            ended = waitpid(child, &status, WNOHANG);
        if (ended != child) kill(child, SIGKILL), waitpid(child, &status, 0);
        EXPECT_TRUE(ended == child && WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "signal " << signal << ": still running 3 s later, or wait status " << status;
    }
}
