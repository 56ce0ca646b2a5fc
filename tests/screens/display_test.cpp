// The drawing layer's answers to a broken video system, and its pictures.
#include "screens/display.h"

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
