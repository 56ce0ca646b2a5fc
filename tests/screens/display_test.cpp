// The drawing layer's answers to a broken or slow video system, and to signals.
#include "screens/display.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "screen_fixture.h"
#include "screens/game.h"
#include "screens/menu.h"

namespace {

using DisplayTest = ScreenTest;

TEST_F(DisplayTest, AFailingEventSystemReadsAsAQuitRequest) {
    SDL_Quit();
    EXPECT_EQ(waitEvent().type, SDL_QUIT);
}

TEST_F(DisplayTest, AVideoSystemThatCannotStartEndsTheProgramWithOneLine) {
    SDL_Quit();
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(startVideo(), ::testing::ExitedWithCode(1),
                "^kelvo: cannot open the display: no-such-driver not available\n$");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

int initCalls = 0;

// Fails twice in SDL itself, as against a display that refuses the connection, then starts.
int refuseTwiceThenStart(Uint32 flags) {
    setenv("SDL_VIDEODRIVER", ++initCalls <= 2 ? "no-such-driver" : "dummy", 1);
    return SDL_Init(flags);
}

int refuseAlways(Uint32) {
    SDL_SetError("x11 not available");
    return -1;
}

TEST_F(DisplayTest, ADisplayThatRefusesForAMomentIsTriedAgain) {
    SDL_Quit();
    // The game waits for an X display only; the dummy driver ignores this one.
    const char* display = std::getenv("DISPLAY");
    const std::string oldDisplay = display ? display : "";
    setenv("DISPLAY", ":kelvo-test", 1);
    initCalls = 0;
    startVideo(refuseTwiceThenStart);
    EXPECT_EQ(initCalls, 3);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "started in name only";
    SDL_Quit();
    EXPECT_EXIT(startVideo(refuseAlways), ::testing::ExitedWithCode(1),
                "^kelvo: cannot open the display: x11 not available\n$");
    if (display)
        setenv("DISPLAY", oldDisplay.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

TEST_F(DisplayTest, PicturesAreReadOncePerRunAndOutliveAVideoRestart) {
    SDL_Surface* background = picture(menuPicture);
    ASSERT_NE(background, nullptr);
    stopVideo();
    startVideo();
    std::filesystem::remove(menuPicture);
    SDL_Surface* window = openMenuWindow();
    ASSERT_EQ(picture(menuPicture), background);
    draw(window, background, 0, 0);
    EXPECT_TRUE(shows(window, background, 0, 0));
}

// The write end of the pipe on which a child says that its video system has started.
int videoStarted = -1;

void sayVideoStarted() {
    const char byte = 1;
    if (write(videoStarted, &byte, 1) != 1) _exit(3);
}

TEST_F(DisplayTest, TerminationSignalsEndTheProgramAtOnce) {
    struct Case {
        int signal;
        const char* screen;
        void (*run)();
    };
    const Case cases[] = {
        {SIGTERM, "the start picture", [] { runMainMenu(); }},
        {SIGINT, "a game", [] { runGame(nullptr, GameConfig{}); }},
        {SIGHUP, "a game", [] { runGame(nullptr, GameConfig{}); }},
    };
    for (const Case& c : cases) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(started[0]);
            SDL_Quit();
            videoStarted = started[1];
            afterVideoStart = sayVideoStarted;
            c.run();
            _exit(0);
        }
        close(started[1]);
        // The signal goes once the screen's video system runs; the child has until 3 s to end.
        char byte = 0;
        pollfd ready{started[0], POLLIN, 0};
        const bool running = poll(&ready, 1, 30000) == 1 && read(started[0], &byte, 1) == 1;
        close(started[0]);
        if (running) kill(child, c.signal);
        int status = 0;
        pid_t ended = 0;
        for (int waited = 0; running && waited < 300 && ended == 0; ++waited) {
            ended = waitpid(child, &status, WNOHANG);
            if (ended == 0) usleep(10000);
        }
        if (ended != child) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        EXPECT_TRUE(running) << c.screen << ": the video system did not start";
        EXPECT_EQ(ended, child) << c.screen << ": still running 3 s after signal " << c.signal;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal)
            << c.screen << " after signal " << c.signal << ": wait status " << status;
    }
}

} // namespace
