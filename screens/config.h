// The configuration screen: the player sets the board size, the number of colours, the random
// start and the torus of the run's settings with the arrow keys.
#pragma once

#include <SDL.h>

#include "board/game_config.h"

// The highlighted line, 0 ... lastConfigItem; kept between visits so the screen reopens where
// the player left it.
extern int configCursor;

// The screen's event loop: every change goes straight into config. Returns on Return on
// "Terminer >>", on Escape or on a quit request, after repainting.
void runConfig(SDL_Surface* screen, GameConfig& config);
