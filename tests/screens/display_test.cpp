// The drawing layer's answers to a broken video system.
#include "screens/display.h"

#include <vector>

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

TEST_F(DisplayTest, PicturesComeBackWholeAfterTheGameRestartsTheVideo) {
    // Read once, then packed while the game's video runs: the file may be gone by the time the
    // menu draws its background again, and every pixel must be there.
    SDL_Surface* window = openMenuWindow();
    std::vector<Uint32> before;
    for (const char* path : {"./rc/bgindex.bmp", "./rc/0.bmp"}) {
        SDL_Surface* pic = picture(path);
        ASSERT_NE(pic, nullptr) << path;
        for (int y = 0; y < pic->h; y += 7)
            for (int x = 0; x < pic->w; x += 5) before.push_back(pixel(pic, x, y));
    }
    draw(window, picture("./rc/bgindex.bmp"), 0, 0);
    stopVideo();
    startVideo();
    std::filesystem::remove("rc/bgindex.bmp");
    std::filesystem::remove("rc/0.bmp");
    window = openMenuWindow();
    std::vector<Uint32> after;
    for (const char* path : {"./rc/bgindex.bmp", "./rc/0.bmp"}) {
        SDL_Surface* pic = picture(path);
        ASSERT_NE(pic, nullptr) << path;
        for (int y = 0; y < pic->h; y += 7)
            for (int x = 0; x < pic->w; x += 5) after.push_back(pixel(pic, x, y));
    }
    EXPECT_EQ(after, before);
    draw(window, picture("./rc/bgindex.bmp"), 0, 0);
    EXPECT_TRUE(shows(window, picture("./rc/bgindex.bmp"), 0, 0));
}

} // namespace
