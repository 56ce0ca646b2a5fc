// The victory screen: its own 640 x 480 window, the message in black at the top, centred, and the
// fewest clicks in smaller type under it.
#include "screens/victory.h"

#include <cstdio>

#include "screens/display.h"

namespace {

// The message shown for a number of moves.
std::string victoryMessage(int moves) {
    char text[64];
    std::snprintf(text, sizeof text, "Vous avez reussi en %d coups.", moves);
    return text;
}

} // namespace

std::string minimumMessage(int64_t clicks, bool proven) {
    return std::string("Le minimum etait ") + (proven ? "de " : "au mieux de ") +
           std::to_string(clicks) + " coups.";
}

void showVictory(int32_t moves, const std::string& minimumLine) {
    SDL_Surface* screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
    paint(screen, picture(victoryPicture), 0, 0);
    if (SDL_Surface* message = textPicture(victoryFontPoints, victoryMessage(moves), black))
        paint(screen, message, (windowWidth - message->w) / 2, messageTop);
    if (SDL_Surface* line =
            minimumLine.empty() ? nullptr : textPicture(minimumFontPoints, minimumLine, black))
        paint(screen, line, (windowWidth - line->w) / 2, minimumLineTop);
    show(screen);
    for (;;) {
        SDL_Event event = waitEvent();
        if (event.type == SDL_KEYDOWN || event.type == SDL_QUIT) return;
    }
}
