// The game's background drawn around the board only, one of the game's two repaint shortcuts
// (the other is the row copy of row_copy.h, which every draw tries first). They serve two goals
// of `make bench` (SDL's dummy driver): one click on an 18 x 18 torus board of 5 colours within 4
// copies of a 700 x 765 frame with memcpy, and the bare repaint within 2 of them. With
// SDL_BlitSurface and the whole background a click took about 5.5 such copies and the repaint 4:
// the background under the board is copied only to be covered by the 324 tiles, and SDL's blit
// writes it with streaming stores, past the cache that the tiles then miss.
#pragma once

#include <SDL.h>

#include "board/grid.h"

// Draws the game's background at (0, 0), less the board's square when the tiles drawn next hide
// it all.
void drawGameBackground(SDL_Surface* screen, SDL_Surface* background, const Grid& board);
