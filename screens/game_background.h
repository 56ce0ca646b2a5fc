// The game's background painted around the board only: the tiles cover the rest, so copying it
// there would only cost time (a goal of `make bench`, which README's Speed section explains).
#pragma once

#include <SDL.h>

#include "board/grid.h"

// Paints the game's background at (0, 0), less the board's square when the tiles drawn next hide
// it all.
void paintGameBackground(SDL_Surface* screen, SDL_Surface* background, const Grid& board);
