// The configuration screen: five lines of text, one highlighted, driven by the arrow keys,
// Return and Escape.
#include "screens/config.h"

#include <cstdio>
#include <string>

#include "screens/display.h"

int configCursor = 0;

namespace {

constexpr const char* configTitle = "Configuration";
constexpr int sizeLine = 0;
constexpr int colorLine = 1;
constexpr int randomLine = 2;
constexpr int torusLine = 3;

std::string formatted(const char* format, int value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The text of a line for these settings; the colour line shows one less than the count.
std::string lineText(const GameConfig& config, int line) {
    switch (line) {
    case sizeLine:
        return formatted("< Taille du jeu : %d >", config.size);
    case colorLine:
        return formatted("< Nombre de couleurs : %d >", config.colorCount - 1);
    case randomLine:
        return showsRandomStart(config) ? "< Etat initial : Oui >" : "< Etat initial : Non >";
    case torusLine:
        return wrapsAround(config) ? "< Jouer sur un tore : Oui >" : "< Jouer sur un tore : Non >";
    default:
        return "Terminer >>";
    }
}

// Both arrows flip a yes/no setting.
void toggle(int32_t& setting) { setting = (setting + 1) % 2; }

// Right (+1) or Left (-1) on a line: sizes and counts stop at their limits.
void change(GameConfig& config, int line, int step) {
    switch (line) {
    case sizeLine:
        if (step > 0 ? config.size < maxGridSize : config.size > minBoardSize) config.size += step;
        break;
    case colorLine:
        if (step > 0 ? config.colorCount < maxColorCount : config.colorCount > minColorCount)
            config.colorCount += step;
        break;
    case randomLine:
        toggle(config.randomStart);
        break;
    case torusLine:
        toggle(config.torus);
        break;
    default:
        break;
    }
}

// Top edge of a line of the screen (0 ... lastConfigItem) showing these settings.
int configLineTop(const GameConfig& config, int line) {
    int y = titleY + textHeight(menuFontPoints, configTitle) + titleGap;
    for (int i = 0; i < line; ++i)
        y += textHeight(menuFontPoints, lineText(config, i)) +
             (i == lastConfigItem - 1 ? lastLineGap : lineGap);
    return y;
}

// Paints the title and the five lines, the one at configCursor highlighted, and flips.
void drawConfig(SDL_Surface* screen, const GameConfig& config) {
    paint(screen, picture(configPicture), 0, 0);
    paintText(screen, menuFontPoints, configTitle, white, titleX, titleY);
    for (int line = 0; line <= lastConfigItem; ++line)
        paintText(screen, menuFontPoints, lineText(config, line),
                  line == configCursor ? highlight : white, itemX, configLineTop(config, line));
    show(screen);
}

// Applies one key to the settings and the cursor; true when the key ends the screen.
bool configKey(GameConfig& config, int& cursor, SDLKey key) {
    switch (key) {
    case SDLK_UP:
        if (cursor > 0) --cursor;
        return false;
    case SDLK_DOWN:
        if (cursor < lastConfigItem) ++cursor;
        return false;
    case SDLK_RETURN:
        return cursor == lastConfigItem;
    case SDLK_ESCAPE:
        return true;
    case SDLK_RIGHT:
        change(config, cursor, +1);
        return false;
    case SDLK_LEFT:
        change(config, cursor, -1);
        return false;
    default:
        return false;
    }
}

} // namespace

void runConfig(SDL_Surface* screen, GameConfig& config) {
    drawConfig(screen, config);
    for (bool leave = false; !leave;) {
        SDL_Event event = waitEvent();
        if (event.type == SDL_QUIT)
            leave = true;
        else if (event.type == SDL_KEYDOWN)
            leave = configKey(config, configCursor, event.key.keysym.sym);
        drawConfig(screen, config);
    }
}
