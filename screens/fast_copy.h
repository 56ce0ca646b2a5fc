// The two shortcuts of the game's repaint, kept apart from the plain drawing of display.cpp.
// They serve two goals of `make bench` (SDL's dummy driver): one click on an 18 x 18 torus board
// of 5 colours within 4 copies of a 700 x 765 frame with memcpy, and the bare repaint within 1.5
// of them. With SDL_BlitSurface and the whole background a click took about 5.5 such copies and
// the repaint 4: the background under the board is copied only to be covered by the 324 tiles,
// and SDL's blit writes it with streaming stores, past the cache that the tiles then miss.
#pragma once

#include <SDL.h>

#include "board/grid.h"

// Copies the part `from` of an opaque picture in the window's own pixel layout to (x, y), row by
// row with memcpy. Draws nothing and returns false when the picture has another layout or any
// transparency, or when the copy would leave the picture or the window's clipping rectangle.
bool copyRows(SDL_Surface* screen, SDL_Surface* picture, SDL_Rect from, int x, int y);

// Draws the game's background at (0, 0), less the board's square when the tiles drawn next hide
// it all.
void drawGameBackground(SDL_Surface* screen, SDL_Surface* background, const Grid& board);
