// The configuration screen, driven through SDL's event queue and read back from the window.
#include "screens/config.h"

#include <array>
#include <filesystem>
#include <vector>

#include "screen_fixture.h"

namespace {

using Keys = std::vector<SDLKey>;
constexpr SDLKey R = SDLK_RIGHT, L = SDLK_LEFT, U = SDLK_UP, D = SDLK_DOWN;
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
        fillJunk();
    }

    void fillJunk() { SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3)); }
    static void pushKeys(const Keys& keys) {
        for (SDLKey key : keys) pushKey(key);
    }

    // Runs the screen over the keys, then leaves it with Escape.
    void runKeys(GameConfig& config, const Keys& keys) {
        pushKeys(keys);
        pushKey(SDLK_ESCAPE);
        runConfig(window, config);
    }

    // The keys of the key-downs still waiting in SDL's queue, which empties it.
    static Keys keysLeftInQueue() {
        Keys keys;
        for (SDL_Event event; SDL_PollEvent(&event);)
            if (event.type == SDL_KEYDOWN) keys.push_back(event.key.keysym.sym);
        return keys;
    }

    // Whether the window shows exactly the background, the title, these lines and
    // "Terminer >>" stacked by the screen's rule over the junk colour, the line `lit` highlighted.
    bool painted(const GameConfig& config, int lit, const std::array<const char*, 4>& lines) {
        Surface expected{SDL_CreateRGBSurface(SDL_SWSURFACE, windowWidth, windowHeight, 32,
                                              0xff0000, 0x00ff00, 0x0000ff, 0)};
        SDL_FillRect(expected.get(), nullptr, junkRgb);
        draw(expected.get(), picture("./rc/background.bmp"), 0, 0);
        int y = 30 + drawText(expected.get(), 30, "Configuration", white, 50, 30) + 40;
        for (int line = 0; line < 5; ++line) {
            EXPECT_EQ(configLineTop(config, line), y) << "line " << line;
            y += drawText(expected.get(), 30, line < 4 ? lines[line] : "Terminer >>",
                          line == lit ? highlight : white, 80, y);
            y += line == 3 ? 50 : 10;
        }
        return shows(SDL_GetVideoSurface(), expected.get(), 0, 0);
    }

    SDL_Surface* window = nullptr;
};

TEST_F(ConfigTest, KeysChangeTheSettingsAndTheCursorWithinTheirLimits) {
    struct Case {
        int cursor;
        GameConfig start;
        Keys keys;
        GameConfig after;
        int cursorAfter;
    };
    const Case cases[] = {
        {0, {}, {R}, {5, 2, 0, 0}, 0},
        {0, {3, 2, 0, 0}, {L, L}, {2, 2, 0, 0}, 0},
        {0, {17, 2, 0, 0}, {R, R}, {18, 2, 0, 0}, 0},
        {1, {4, 4, 0, 0}, {R, R}, {4, 5, 0, 0}, 1},
        {1, {4, 3, 0, 0}, {L, L}, {4, 2, 0, 0}, 1},
        {4, {7, 3, 1, 1}, {R, L, R}, {7, 3, 1, 1}, 4}, // arrows on "Terminer >>"
        {2, {}, {U, R, U, U}, {4, 3, 0, 0}, 0},
        {2, {}, Keys(8, D), {4, 2, 0, 0}, 4},
        {0, {}, {R, D, R, D, L, D, R, D, R, U, U, U, U, L, L}, {3, 3, 1, 1}, 0},
        {0, {}, {SDLK_a, SDLK_SPACE, SDLK_PLUS, SDLK_TAB}, {4, 2, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        configCursor = c.cursor;
        GameConfig config = c.start;
        runKeys(config, c.keys);
        EXPECT_EQ(settings(config), settings(c.after)) << "case " << &c - cases;
        EXPECT_EQ(configCursor, c.cursorAfter) << "case " << &c - cases;
        EXPECT_TRUE(keysLeftInQueue().empty()) << "case " << &c - cases;
    }

    // Either arrow flips a yes/no setting, from yes as from no.
    for (int line : {2, 3})
        for (int32_t from : {0, 1})
            for (SDLKey key : {L, R}) {
                configCursor = line;
                GameConfig config;
                (line == 2 ? config.randomStart : config.torus) = from;
                runKeys(config, {key});
                std::array<int32_t, 4> expected{4, 2, 0, 0};
                expected[line] = 1 - from;
                EXPECT_EQ(settings(config), expected) << line << " " << from << " " << key;
            }

    // The mouse does nothing on this screen, not even over "Terminer >>".
    configCursor = 0;
    GameConfig config;
    pushClick(100, configLineTop(config, 4) + 5);
    pushClick(100, configLineTop(config, 0) + 5, SDL_BUTTON_RIGHT);
    runKeys(config, {D});
    EXPECT_EQ(settings(config), settings({4, 2, 0, 0}));
    EXPECT_EQ(configCursor, 1);
}

TEST_F(ConfigTest, ReturnOnASettingDoesNothingAndLeavesFromTerminer) {
    // The keys queued after the leaving Return are left for whoever reads the queue next.
    GameConfig config;
    constexpr SDLKey Ret = SDLK_RETURN;
    pushKeys({Ret, D, Ret, D, Ret, R, D, Ret, D, Ret, U, L});
    runConfig(window, config);
    EXPECT_EQ(configCursor, 4);
    EXPECT_EQ(settings(config), settings({4, 2, 1, 0}));
    EXPECT_EQ(keysLeftInQueue(), (Keys{U, L}));
}

TEST_F(ConfigTest, EscapeAndQuitRequestLeaveKeepingTheChanges) {
    GameConfig config;
    pushKeys({R, R, R, R, R, R, SDLK_ESCAPE, R});
    runConfig(window, config);
    EXPECT_EQ(settings(config), settings({10, 2, 0, 0}));
    EXPECT_EQ(keysLeftInQueue(), (Keys{R}));

    // A quit request ends this screen only: the video system stays up for the menu.
    pushKeys({D, R, D, D, L});
    pushQuit();
    pushKeys({U, R});
    runConfig(window, config);
    EXPECT_EQ(settings(config), settings({10, 3, 0, 1}));
    EXPECT_EQ(configCursor, 3);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_EQ(keysLeftInQueue(), (Keys{U, R}));
}

TEST_F(ConfigTest, PaintsTheSettingsWithTheCursorLineHighlightedAndKeptBetweenVisits) {
    ASSERT_NE(font(30), nullptr);
    ASSERT_NE(picture("./rc/background.bmp"), nullptr);

    // The defaults, as the screen first opens; the colour count is shown less one.
    GameConfig config;
    runKeys(config, {});
    EXPECT_TRUE(painted(config, 0,
                        {"< Taille du jeu : 4 >", "< Nombre de couleurs : 1 >",
                         "< Etat initial : Non >", "< Jouer sur un tore : Non >"}));

    // Every setting at its other end, the cursor left on the colours, where the screen
    // reopens whatever the window showed in between.
    config = GameConfig{17, 4, 0, 0};
    runKeys(config, {R, D, D, L, D, R, U, U, R});
    ASSERT_EQ(settings(config), settings({18, 5, 1, 1}));
    const std::array<const char*, 4> ends = {"< Taille du jeu : 18 >", "< Nombre de couleurs : 4 >",
                                             "< Etat initial : Oui >",
                                             "< Jouer sur un tore : Oui >"};
    EXPECT_TRUE(painted(config, 1, ends));
    fillJunk();
    pushQuit();
    runConfig(window, config);
    EXPECT_TRUE(painted(config, 1, ends));

    // Any setting other than 0 reads as yes.
    configCursor = 4;
    config = GameConfig{2, 2, -1, 7};
    drawConfig(window, config);
    EXPECT_TRUE(painted(config, 4,
                        {"< Taille du jeu : 2 >", "< Nombre de couleurs : 1 >",
                         "< Etat initial : Oui >", "< Jouer sur un tore : Oui >"}));
}

TEST_F(ConfigTest, MissingFontOrBackgroundCrashesNothing) {
    std::filesystem::remove("rc/Chalkduster.ttf");
    GameConfig config;
    runKeys(config, {R, R, D, R, D, D, D});
    EXPECT_EQ(settings(config), settings({6, 3, 0, 0}));
    // No text at all: the window is the bare background.
    EXPECT_TRUE(shows(SDL_GetVideoSurface(), picture("./rc/background.bmp"), 0, 0));

    // Without the background either, the screen still runs over what the window held.
    std::filesystem::remove("rc/background.bmp");
    releaseAssets();
    fillJunk();
    runKeys(config, {U, U, L});
    EXPECT_EQ(settings(config), settings({6, 3, 1, 0}));
    EXPECT_EQ(pixel(SDL_GetVideoSurface(), 320, 240), junkRgb);
}

} // namespace
