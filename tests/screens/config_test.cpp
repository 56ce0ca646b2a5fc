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
    Surface s = canvas(configPicture);
    int y = titleY + putText(s, menuFontPoints, "Configuration", white, titleX, titleY) + titleGap;
    for (int line = 0; line <= lastConfigItem; ++line)
        y += putText(s, menuFontPoints, lines[line], line == lit ? highlight : white, itemX, y) +
             (line == lastConfigItem - 1 ? lastLineGap : lineGap);
    return s;
}

// The cursor before and after the keys (a quit request follows them), the events the screen
// leaves in the queue, and the settings before and after.
struct ConfigRow {
    int cursor = 0, cursorEnd = cursor, left = 0;
    GameConfig start = {}, end = {};
    std::vector<SDLKey> keys = {};
};

TEST_F(ConfigTest, KeysChangeTheSettingsAndTheCursorWithinTheirLimits) {
    // clang-format off
    const ConfigRow rows[] = {
        {.cursor = 0, .start = {.size = 3}, .end = {.size = 2}, .keys = {L, L}},
        {.cursor = 2, .end = {.randomStart = 1}, .keys = {R, L, R}},
        {.cursor = 0, .start = {.size = 17}, .end = {.size = 18}, .keys = {R, R}},
        {.cursor = 2, .cursorEnd = 0, .end = {.colorCount = 3}, .keys = {U, R, U, U}},
        {.cursor = 1, .start = {.colorCount = 4}, .end = {.colorCount = 5}, .keys = {R, R}},
        {.cursor = 3, .start = {7, 3, 1, 1}, .end = {7, 3, 1, 0}, .keys = {L}},
        {.cursor = 1, .start = {.colorCount = 3}, .end = {.colorCount = 2}, .keys = {L, L}},
        {.cursor = 2, .cursorEnd = 4, .keys = {D, D, D, D, D, SDLK_a, SDLK_SPACE, SDLK_TAB}},
        // The arrows do nothing on "Terminer >>"; any setting other than 0 reads as yes.
        {.cursor = 4, .start = {2, 2, -1, 7}, .end = {2, 2, -1, 7}, .keys = {R, L}},
        // Return leaves from "Terminer >>" only; Escape and a quit request leave from any line.
        {.cursor = 0, .cursorEnd = 4, .left = 2, .keys = {Ret, D, Ret, D, D, D, Ret, U}},
        {.cursor = 0, .left = 2, .end = {.size = 5}, .keys = {R, Esc, R}},
        {.cursor = 1, .left = 2, .end = {.colorCount = 3}, .keys = {R, Quit, R}}};
    // clang-format on
    for (int i = 0; const ConfigRow& row : rows) {
        SCOPED_TRACE("row " + std::to_string(i++));
        configCursor = row.cursor;
        GameConfig config = row.start;
        for (SDLKey k : row.keys) queue({k == Quit ? quitRequest() : key(k)});
        queue({quitRequest()});
        runConfig(menuWindow(), config);
        // The settings and the cursor, as the window shows them.
        EXPECT_EQ(difference(configScreen(row.end, row.cursorEnd)), "");
        EXPECT_EQ(drain(), row.left);
    }
}
