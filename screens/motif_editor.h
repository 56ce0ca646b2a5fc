// The motif editor: the nine values of the motif shown as a block of tiles, switched between
// 0 and 1 with the left mouse button, saved to the motif file on Return.
#pragma once

#include <SDL.h>

#include "board/motif.h"

// Reads the motif file, then edits currentMotif until Return (save and leave), Escape or a quit
// request (leave without saving; currentMotif keeps the changes).
void runMotifEditor(SDL_Surface* screen);
