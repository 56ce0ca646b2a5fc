// The yardstick for the game's start-up time and memory: a bare SDL program that opens the
// game's first window (the menu's size, 32 bits, the caption) and flips once.
#include <SDL.h>

#include "screens/display.h"

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return 1;
    SDL_Surface* screen = SDL_SetVideoMode(windowWidth, windowHeight, 32, SDL_HWSURFACE);
    if (!screen) return 1;
    SDL_WM_SetCaption(windowCaption, nullptr);
    SDL_Flip(screen);
    SDL_Quit();
    return 0;
}
