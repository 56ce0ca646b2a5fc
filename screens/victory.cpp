// The victory screen: its own 640 x 480 window, the message in black at the top, centred.
#include "screens/victory.h"

#include <cstdio>

#include "screens/display.h"
#include "screens/game.h"

std::string victoryMessage(int moves) {
    char text[64];
    std::snprintf(text, sizeof text, "Vous avez reussi en %d coups.", moves);
    return text;
}

void showVictory() {
    SDL_Surface* screen = openWindow(windowWidth, windowHeight, SDL_HWSURFACE, true);
    draw(screen, picture(victoryPicture), 0, 0);
    if (SDL_Surface* message = textPicture(victoryFontPoints, victoryMessage(moveCount), black))
        draw(screen, message, (windowWidth - message->w) / 2, messageTop);
    show(screen);
    for (;;) {
        SDL_Event event = waitEvent();
        if (event.type == SDL_KEYDOWN || event.type == SDL_QUIT) return;
    }
}
