// The drawing layer's answers to a broken or slow video system, and its pictures.
#include "screens/display.h"

#include <string>

#include "screen_fixture.h"

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

} // namespace
