// The start picture and the main menu, driven through SDL's event queue.
#include "screens/menu.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "screen_fixture.h"
#include "screens/game.h"

namespace {

class MenuTest : public ScreenTest {
  protected:
    // The item whose marker is the selected tile, checking that every other item has the
    // plain one; -1 when the markers are not as they should be.
    int markedItem() {
        SDL_Surface* window = SDL_GetVideoSurface();
        int marked = -1;
        for (int item = 0; item < menuItemCount; ++item) {
            int y = menuItemTop(item);
            if (shows(window, tile(4), 35, y)) {
                if (marked != -1) return -1;
                marked = item;
            } else if (!shows(window, tile(0), 35, y)) {
                return -1;
            }
        }
        return marked;
    }
};

TEST_F(MenuTest, UpAndDownMoveTheMarkerWithoutWrappingRound) {
    struct Case {
        std::vector<SDLKey> keys;
        int marked;
    };
    const std::vector<Case> cases = {
        {{}, 0},
        {{SDLK_UP}, 0},
        {{SDLK_DOWN}, 1},
        {{SDLK_DOWN, SDLK_DOWN}, 2},
        {{SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN}, 2},
        {{SDLK_DOWN, SDLK_DOWN, SDLK_UP}, 1},
        {{SDLK_DOWN, SDLK_UP, SDLK_UP, SDLK_LEFT, SDLK_a}, 0},
    };
    for (const Case& c : cases) {
        SDL_Surface* window = openMenuWindow();
        for (SDLKey key : c.keys) pushKey(key);
        pushQuit();
        GameConfig config;
        runMenu(window, config);
        EXPECT_EQ(markedItem(), c.marked) << "after " << c.keys.size() << " keys";
        SDL_Surface* shown = SDL_GetVideoSurface();
        EXPECT_EQ(shown->w, 640);
        EXPECT_EQ(shown->h, 480);
        // The menu's items stand beside their markers, in white over the background.
        EXPECT_FALSE(shows(shown, picture("./rc/bgindex.bmp"), 0, 0));
    }
}

TEST_F(MenuTest, StartPictureWaitsForAKeyOrAQuitRequestThenTheMenuRuns) {
    SDL_Surface* window = openMenuWindow();
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Le Jeu du Kelvo - Vorlane 2010");

    // Mouse and motion events do not leave the start picture; the first key does, and the key
    // after it reaches the menu.
    pushClick(100, 100);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    push(motion);
    pushKey(SDLK_SPACE);
    pushKey(SDLK_DOWN);
    runStartScreen(window);
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), picture("./rc/start.bmp"), 0, 0));
    pushQuit();
    GameConfig config;
    runMenu(window, config);
    EXPECT_EQ(markedItem(), 1);

    // Closing the window on the start picture leads to the menu, not out of the program.
    window = openMenuWindow();
    pushQuit();
    pushKey(SDLK_DOWN);
    pushKey(SDLK_DOWN);
    pushQuit();
    runStartScreen(window);
    runMenu(window, config);
    EXPECT_EQ(markedItem(), 2);
}

void queueEscapeAndQuit() {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

TEST_F(MenuTest, EachItemOpensItsScreenAndTheMenuComesBackOnTheSameItem) {
    GameConfig config;
    // The game restarts the video system, which empties the queue: its Escape and the menu's
    // quit request are queued once the video is back.
    afterVideoStart = queueEscapeAndQuit;
    pushKey(SDLK_RETURN);
    runMenu(openMenuWindow(), config);
    afterVideoStart = nullptr;
    EXPECT_EQ(markedItem(), 0);
    EXPECT_EQ(SDL_GetVideoSurface()->w, 640);
    EXPECT_EQ(SDL_GetVideoSurface()->h, 480);

    // The configuration changes the menu's own settings.
    for (SDLKey key : {SDLK_DOWN, SDLK_RETURN, SDLK_RIGHT, SDLK_ESCAPE}) pushKey(key);
    pushQuit();
    runMenu(openMenuWindow(), config);
    EXPECT_EQ(config.size, 5);
    EXPECT_EQ(markedItem(), 1);

    for (SDLKey key : {SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_ESCAPE}) pushKey(key);
    pushQuit();
    runMenu(openMenuWindow(), config);
    EXPECT_EQ(markedItem(), 2);
}

// Events queued once the game has restarted the video system: leave the game (Escape, or a
// winning click and a key on the victory screen), then motion, Down and a quit request for the
// menu.
bool winTheGame = false;
void queueGameExitThenMenuEvents() {
    std::vector<SDL_Event> events;
    SDL_Event e{};
    if (winTheGame) {
        e.type = SDL_MOUSEBUTTONUP;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = Uint16(boardLeft + tileSize / 2);
        e.button.y = Uint16(boardTop + tileSize / 2);
        events.push_back(e);
    }
    e = SDL_Event{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    events.push_back(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 300;
    e.motion.y = 200;
    events.push_back(e);
    events.push_back(e);
    e = SDL_Event{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_DOWN;
    events.push_back(e);
    e = SDL_Event{};
    e.type = SDL_QUIT;
    events.push_back(e);
    for (SDL_Event& queued : events) SDL_PushEvent(&queued);
}

// The menu opens its mode again only after a screen ran; the window it then paints into is the
// new 640 x 480 one (the game's restart freed the old one, which the sanitizers would catch).
TEST_F(MenuTest, AfterAScreenTheMenuPaintsItsModeOpenedAgain) {
    {
        std::ofstream motif("rc/motif.txt");
        motif << "1 1 1 \n1 1 1 \n1 1 1 \n";
    }
    GameConfig config;
    config.size = 2;
    afterVideoStart = queueGameExitThenMenuEvents;
    for (bool win : {false, true}) {
        winTheGame = win;
        pushKey(SDLK_RETURN);
        runMenu(openMenuWindow(), config);
        EXPECT_EQ(moveCount, win ? 1 : 0);
        SDL_Surface* shown = SDL_GetVideoSurface();
        EXPECT_EQ(shown->w, 640);
        EXPECT_EQ(shown->h, 480);
        EXPECT_EQ(markedItem(), 1) << (win ? "after the victory" : "after Escape");
        EXPECT_EQ(pixel(shown, 639, 479), pixel(picture("./rc/bgindex.bmp"), 639, 479));
    }
    afterVideoStart = nullptr;

    // Without a screen in between, every event paints the window the menu was given.
    SDL_Surface* window = openMenuWindow();
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    push(motion);
    pushKey(SDLK_DOWN);
    pushQuit();
    runMenu(window, config);
    EXPECT_EQ(SDL_GetVideoSurface(), window);
    EXPECT_EQ(markedItem(), 1);
}

TEST_F(MenuTest, QuitRequestInTheMenuEndsTheProgramWithStatusZero) {
    pushKey(SDLK_RETURN);
    pushKey(SDLK_DOWN);
    pushQuit();
    EXPECT_EQ(runMainMenu(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(MenuTest, MissingFontAndPicturesDrawNothingAndCrashNothing) {
    namespace fs = std::filesystem;
    fs::remove("rc/Chalkduster.ttf");
    fs::remove("rc/bgindex.bmp");
    fs::remove("rc/start.bmp");
    SDL_Surface* window = openMenuWindow();
    pushKey(SDLK_a);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_DOWN);
    pushQuit();
    runStartScreen(window);
    GameConfig config;
    runMenu(window, config);
    EXPECT_EQ(font(30), nullptr);
    // Without text the lines stack by their gaps alone; the last marker is drawn on top.
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), tile(4), 35, menuItemTop(2)));

    // Without the marker tiles the menu still runs.
    fs::remove("rc/0.bmp");
    fs::remove("rc/4.bmp");
    releaseAssets();
    window = openMenuWindow();
    pushKey(SDLK_DOWN);
    pushQuit();
    runMenu(window, config);
    EXPECT_EQ(tile(4), nullptr);
}

TEST_F(MenuTest, PicturesAreReadOnceAndColoursOutsideTheTilesDrawNothing) {
    SDL_Surface* first = tile(2);
    ASSERT_NE(first, nullptr);
    std::filesystem::remove("rc/2.bmp");
    EXPECT_EQ(tile(2), first);
    EXPECT_EQ(font(30), font(30));

    SDL_Surface* window = openMenuWindow();
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
    for (int colour : {-1, 5, 7, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(tile(colour), nullptr);
        draw(window, tile(colour), 10, 10);
    }
    EXPECT_EQ(pixel(window, 20, 20), 0x010203u);
}

} // namespace
