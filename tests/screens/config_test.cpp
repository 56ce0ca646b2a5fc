// The configuration screen, driven through SDL's event queue and read back from the window.
#include "screens/config.h"

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "screen_fixture.h"

namespace {

constexpr Uint32 whiteRgb = 0xffffff;
constexpr Uint32 highlightRgb = 0x82e682; // 130, 230, 130
constexpr Uint32 junkRgb = 0x010203;

// The four settings side by side, so that a mismatch prints them all.
std::array<int32_t, 4> settings(const GameConfig& c) {
    return {c.size, c.colorCount, c.randomStart, c.torus};
}

class ConfigTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        configCursor = 0;
        window = openMenuWindow();
        SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
    }

    // Runs the screen over the queued keys, then leaves it with Escape.
    void runKeys(GameConfig& config, const std::vector<SDLKey>& keys) {
        for (SDLKey key : keys) pushKey(key);
        pushKey(SDLK_ESCAPE);
        runConfig(window, config);
    }

    // The keys of the key-downs still waiting in SDL's queue, which empties it.
    static std::vector<SDLKey> keysLeftInQueue() {
        std::vector<SDLKey> keys;
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_KEYDOWN) keys.push_back(event.key.keysym.sym);
        return keys;
    }

    // Pixels of a colour that text put in a line's band (from its top to the next line's top,
    // or to the window's bottom): pixels where the background shows something else.
    int textPixels(const GameConfig& config, int line, Uint32 colour) {
        SDL_Surface* shown = SDL_GetVideoSurface();
        SDL_Surface* background = picture("./rc/background.bmp");
        int top = configLineTop(config, line);
        int bottom = line < lastConfigItem ? configLineTop(config, line + 1) : shown->h;
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < shown->w; ++x) {
                bool underneath = background && x < background->w && y < background->h &&
                                  pixel(background, x, y) == colour;
                if (pixel(shown, x, y) == colour && !underneath) ++count;
            }
        return count;
    }

    // Checks that exactly the line at `lit` is in the highlight colour and the others in white.
    void expectHighlighted(const GameConfig& config, int lit) {
        for (int line = 0; line <= lastConfigItem; ++line) {
            if (line == lit) {
                EXPECT_GT(textPixels(config, line, highlightRgb), 0) << "line " << line;
                EXPECT_EQ(textPixels(config, line, whiteRgb), 0) << "line " << line;
            } else {
                EXPECT_EQ(textPixels(config, line, highlightRgb), 0) << "line " << line;
                EXPECT_GT(textPixels(config, line, whiteRgb), 0) << "line " << line;
            }
        }
    }

    // The number of window pixels that differ from what painting the background, then the
    // title and these lines stacked by the screen's rule, gives over the junk colour.
    int differencesFrom(const GameConfig& config,
                        const std::vector<std::pair<std::string, SDL_Color>>& lines) {
        Surface expected{SDL_CreateRGBSurface(SDL_SWSURFACE, windowWidth, windowHeight, 32,
                                              0xff0000, 0x00ff00, 0x0000ff, 0)};
        SDL_FillRect(expected.get(), nullptr, junkRgb);
        draw(expected.get(), picture("./rc/background.bmp"), 0, 0);
        int y = 30 + drawText(expected.get(), 30, "Configuration", white, 50, 30) + 40;
        for (std::size_t line = 0; line < lines.size(); ++line) {
            EXPECT_EQ(configLineTop(config, int(line)), y) << "line " << line;
            int height = drawText(expected.get(), 30, lines[line].first, lines[line].second, 80, y);
            y += height + (line == 3 ? 50 : 10);
        }
        SDL_Surface* shown = SDL_GetVideoSurface();
        int differences = 0;
        for (int py = 0; py < windowHeight; ++py)
            for (int px = 0; px < windowWidth; ++px)
                if (pixel(shown, px, py) != pixel(expected.get(), px, py)) ++differences;
        return differences;
    }

    SDL_Surface* window = nullptr;
};

TEST_F(ConfigTest, KeysChangeTheSettingsAndTheCursorWithinTheirLimits) {
    struct Case {
        const char* what;
        int cursor;
        GameConfig start;
        std::vector<SDLKey> keys;
        GameConfig after;
        int cursorAfter;
    };
    using K = std::vector<SDLKey>;
    constexpr SDLKey R = SDLK_RIGHT, L = SDLK_LEFT, U = SDLK_UP, D = SDLK_DOWN;
    const std::vector<Case> cases = {
        {"nothing", 0, {}, K{}, {4, 2, 0, 0}, 0},
        {"size up by one", 0, {}, K{R}, {5, 2, 0, 0}, 0},
        {"size down by one", 0, {}, K{L}, {3, 2, 0, 0}, 0},
        {"size stops at 18", 0, {17, 2, 0, 0}, K{R, R, R}, {18, 2, 0, 0}, 0},
        {"size stops at 2", 0, {3, 2, 0, 0}, K{L, L, L}, {2, 2, 0, 0}, 0},
        {"size runs up to 18", 0, {}, K(20, R), {18, 2, 0, 0}, 0},
        {"colours up", 1, {}, K{R, R}, {4, 4, 0, 0}, 1},
        {"colours stop at 5", 1, {4, 4, 0, 0}, K{R, R}, {4, 5, 0, 0}, 1},
        {"colours stop at 2", 1, {4, 3, 0, 0}, K{L, L}, {4, 2, 0, 0}, 1},
        {"random start, Right", 2, {}, K{R}, {4, 2, 1, 0}, 2},
        {"random start, Right twice", 2, {}, K{R, R}, {4, 2, 0, 0}, 2},
        {"random start, Left", 2, {}, K{L}, {4, 2, 1, 0}, 2},
        {"random start, Left from yes", 2, {4, 2, 1, 0}, K{L}, {4, 2, 0, 0}, 2},
        {"torus, Right", 3, {}, K{R}, {4, 2, 0, 1}, 3},
        {"torus, Left", 3, {}, K{L}, {4, 2, 0, 1}, 3},
        {"torus, Left then Right", 3, {}, K{L, R}, {4, 2, 0, 0}, 3},
        {"arrows on the last line", 4, {7, 3, 1, 1}, K{R, L, R}, {7, 3, 1, 1}, 4},
        {"Up stops at the first line", 1, {}, K{U, U, U}, {4, 2, 0, 0}, 0},
        {"Down stops at the last line", 2, {}, K(8, D), {4, 2, 0, 0}, 4},
        {"walk down, changing each line", 0, {},
         K{R, D, R, D, L, D, R, D, R, U, U, U, U, L, L},
         {3, 3, 1, 1}, 0},
        {"other keys", 0, {}, K{SDLK_a, SDLK_SPACE, SDLK_PLUS, SDLK_TAB}, {4, 2, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        configCursor = c.cursor;
        GameConfig config = c.start;
        runKeys(config, c.keys);
        EXPECT_EQ(settings(config), settings(c.after)) << c.what;
        EXPECT_EQ(configCursor, c.cursorAfter) << c.what;
        EXPECT_TRUE(keysLeftInQueue().empty()) << c.what;
    }

    // The mouse does nothing on this screen, not even over "Terminer >>".
    GameConfig config;
    pushClick(100, configLineTop(config, 4) + 5);
    pushClick(100, configLineTop(config, 0) + 5, SDL_BUTTON_RIGHT);
    runKeys(config, {SDLK_DOWN});
    EXPECT_EQ(settings(config), settings({4, 2, 0, 0}));
    EXPECT_EQ(configCursor, 1);
}

TEST_F(ConfigTest, ReturnLeavesOnlyFromTerminer) {
    // Return on every setting line is ignored; on "Terminer >>" it leaves, and the keys queued
    // after it are left for whoever reads the queue next.
    GameConfig config;
    pushKey(SDLK_RETURN);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_RETURN);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_RETURN);
    pushKey(SDLK_RIGHT);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_RETURN);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_RETURN);
    pushKey(SDLK_UP);
    pushKey(SDLK_LEFT);
    runConfig(window, config);
    EXPECT_EQ(configCursor, 4);
    EXPECT_EQ(settings(config), settings({4, 2, 1, 0}));
    EXPECT_EQ(keysLeftInQueue(), (std::vector<SDLKey>{SDLK_UP, SDLK_LEFT}));

    // The same decision, key by key, on every line.
    for (int line = 0; line <= lastConfigItem; ++line) {
        int cursor = line;
        GameConfig unchanged{9, 3, 1, 0};
        EXPECT_EQ(configKey(unchanged, cursor, SDLK_RETURN), line == lastConfigItem);
        EXPECT_TRUE(configKey(unchanged, cursor, SDLK_ESCAPE));
        EXPECT_EQ(cursor, line);
        EXPECT_EQ(settings(unchanged), settings({9, 3, 1, 0}));
    }
}

TEST_F(ConfigTest, EscapeAndQuitRequestLeaveKeepingTheChanges) {
    GameConfig config;
    for (int i = 0; i < 6; ++i) pushKey(SDLK_RIGHT);
    pushKey(SDLK_ESCAPE);
    pushKey(SDLK_RIGHT);
    runConfig(window, config);
    EXPECT_EQ(settings(config), settings({10, 2, 0, 0}));
    EXPECT_EQ(keysLeftInQueue(), (std::vector<SDLKey>{SDLK_RIGHT}));

    // A quit request ends this screen only: the video system stays up for the menu.
    pushKey(SDLK_DOWN);
    pushKey(SDLK_RIGHT);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_DOWN);
    pushKey(SDLK_LEFT);
    pushQuit();
    pushKey(SDLK_UP);
    pushKey(SDLK_RIGHT);
    runConfig(window, config);
    EXPECT_EQ(settings(config), settings({10, 3, 0, 1}));
    EXPECT_EQ(configCursor, 3);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(keysLeftInQueue(), (std::vector<SDLKey>{SDLK_UP, SDLK_RIGHT}));
}

TEST_F(ConfigTest, HighlightFollowsTheCursorAndIsKeptBetweenVisits) {
    GameConfig config;
    runKeys(config, {});
    expectHighlighted(config, 0);
    runKeys(config, {SDLK_DOWN, SDLK_RIGHT, SDLK_RIGHT});
    expectHighlighted(config, 1);
    runKeys(config, {SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN});
    expectHighlighted(config, 4);

    // Left on line 3, the screen reopens there, whatever the window showed in between.
    runKeys(config, {SDLK_UP});
    EXPECT_EQ(configCursor, 3);
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
    pushQuit();
    runConfig(window, config);
    expectHighlighted(config, 3);
    EXPECT_EQ(settings(config), settings({4, 4, 0, 0}));
}

TEST_F(ConfigTest, PaintsTheBackgroundTitleAndTheTextsOfTheSettings) {
    ASSERT_NE(font(30), nullptr);
    ASSERT_NE(picture("./rc/background.bmp"), nullptr);

    // The defaults, as the screen first opens; the colour count is shown less one.
    GameConfig config;
    runKeys(config, {});
    EXPECT_EQ(differencesFrom(config, {{"< Taille du jeu : 4 >", highlight},
                                       {"< Nombre de couleurs : 1 >", white},
                                       {"< Etat initial : Non >", white},
                                       {"< Jouer sur un tore : Non >", white},
                                       {"Terminer >>", white}}),
              0);

    // Every setting at its other end, the cursor on the colours.
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
    config = GameConfig{17, 4, 0, 0};
    runKeys(config, {SDLK_RIGHT, SDLK_DOWN, SDLK_DOWN, SDLK_LEFT, SDLK_DOWN, SDLK_RIGHT,
                     SDLK_UP, SDLK_UP, SDLK_RIGHT});
    ASSERT_EQ(settings(config), settings({18, 5, 1, 1}));
    EXPECT_EQ(differencesFrom(config, {{"< Taille du jeu : 18 >", white},
                                       {"< Nombre de couleurs : 4 >", highlight},
                                       {"< Etat initial : Oui >", white},
                                       {"< Jouer sur un tore : Oui >", white},
                                       {"Terminer >>", white}}),
              0);

    // Any setting other than 0 reads as yes.
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
    configCursor = 4;
    config = GameConfig{2, 2, -1, 7};
    drawConfig(window, config);
    EXPECT_EQ(differencesFrom(config, {{"< Taille du jeu : 2 >", white},
                                       {"< Nombre de couleurs : 1 >", white},
                                       {"< Etat initial : Oui >", white},
                                       {"< Jouer sur un tore : Oui >", white},
                                       {"Terminer >>", highlight}}),
              0);
}

TEST_F(ConfigTest, MissingFontOrBackgroundCrashesNothing) {
    namespace fs = std::filesystem;
    fs::remove("rc/Chalkduster.ttf");
    GameConfig config;
    runKeys(config, {SDLK_RIGHT, SDLK_RIGHT, SDLK_DOWN, SDLK_RIGHT, SDLK_DOWN, SDLK_DOWN,
                     SDLK_DOWN});
    EXPECT_EQ(font(30), nullptr);
    EXPECT_EQ(settings(config), settings({6, 3, 0, 0}));
    EXPECT_EQ(configCursor, 4);
    // No text at all: the window is the bare background.
    SDL_Surface* background = picture("./rc/background.bmp");
    ASSERT_NE(background, nullptr);
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), background, 0, 0));

    // Without the background either, the screen still runs over what the window held.
    fs::remove("rc/background.bmp");
    releaseAssets();
    SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
    runKeys(config, {SDLK_UP, SDLK_UP, SDLK_LEFT});
    EXPECT_EQ(settings(config), settings({6, 3, 1, 0}));
    EXPECT_EQ(pixel(SDL_GetVideoSurface(), 320, 240), junkRgb);
}

} // namespace
