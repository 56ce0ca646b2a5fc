// The configuration screen, driven by keys through SDL's queue and compared pixel for pixel.
#include "screen_test.h"

using ConfigTest = ScreenTest;
constexpr SDLKey R = SDLK_RIGHT, L = SDLK_LEFT, U = SDLK_UP, D = SDLK_DOWN, Ret = SDLK_RETURN,
                 Esc = SDLK_ESCAPE, Quit = SDLK_UNKNOWN;

// The screen for these settings, line `lit` highlighted; the colour line shows the count less one.
static Surface configScreen(const GameConfig& c, int lit) {
    const auto yes = [](int32_t v) { return std::string(v != 0 ? "Oui >" : "Non >"); };
    const std::string lines[] = {"< Taille du jeu : " + std::to_string(c.size) + " >",
                                 "< Nombre de couleurs : " + std::to_string(c.colorCount - 1) +
                                     " >",
                                 "< Etat initial : " + yes(c.randomStart),
                                 "< Jouer sur un tore : " + yes(c.torus), "Terminer >>"};
    Surface s = canvas(windowWidth, windowHeight);
    put(s, configPicture, 0, 0);
    int y = titleY + putText(s, menuFontPoints, "Configuration", white, titleX, titleY) + titleGap;
    for (int line = 0; line <= lastConfigItem; ++line)
        y += putText(s, menuFontPoints, lines[line], line == lit ? highlight : white, itemX, y) +
             (line == lastConfigItem - 1 ? lastLineGap : lineGap);
    return s;
}

TEST_F(ConfigTest, KeysChangeTheSettingsAndTheCursorWithinTheirLimits) {
    // The cursor, the settings, the keys (a quit request follows them), the settings and the
    // cursor after them, and the events the screen leaves in the queue.
    // clang-format off
    const std::tuple<int, GameConfig, std::vector<SDLKey>, GameConfig, int, int> cases[] = {
        {0, {3, 2, 0, 0}, {L, L}, {2, 2, 0, 0}, 0, 0}, {2, {}, {R, L, R}, {4, 2, 1, 0}, 2, 0},
        {0, {17, 2, 0, 0}, {R, R}, {18, 2, 0, 0}, 0, 0}, {2, {}, {U, R, U, U}, {4, 3, 0, 0}, 0, 0},
        {1, {4, 4, 0, 0}, {R, R}, {4, 5, 0, 0}, 1, 0}, {3, {7, 3, 1, 1}, {L}, {7, 3, 1, 0}, 3, 0},
        {1, {4, 3, 0, 0}, {L, L}, {4, 2, 0, 0}, 1, 0},
        {2, {}, {D, D, D, D, D, SDLK_a, SDLK_SPACE, SDLK_TAB}, {}, 4, 0},
        // The arrows do nothing on "Terminer >>"; any setting other than 0 reads as yes.
        {4, {2, 2, -1, 7}, {R, L}, {2, 2, -1, 7}, 4, 0},
        // Return leaves from "Terminer >>" only; Escape and a quit request leave from any line.
        {0, {}, {Ret, D, Ret, D, D, D, Ret, U}, {}, 4, 2},
        {0, {}, {R, Esc, R}, {5, 2, 0, 0}, 0, 2}, {1, {}, {R, Quit, R}, {4, 3, 0, 0}, 1, 2}};
    // clang-format on
    for (int i = 0; const auto& [cursor, start, keys, end, cursorEnd, left] : cases) {
        SCOPED_TRACE("case " + std::to_string(i++));
        configCursor = cursor;
        GameConfig config = start;
        for (SDLKey k : keys) queue({k == Quit ? quitRequest() : key(k)});
        queue({quitRequest()});
        runConfig(menuWindow(), config);
        // The settings and the cursor, as the window shows them.
        EXPECT_EQ(difference(configScreen(end, cursorEnd)), "");
        EXPECT_EQ(drain(), left);
    }
}
