// What the benchmark and its preloaded shim share: the events they play and the file through
// which a process started by the benchmark reports its peak memory.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "board/game_config.h"
#include "screens/layout.h"

// Clicks of the scripted session whose peak memory the memory goal weighs.
inline constexpr int sessionClicks = 1000;
// Written by the shim in the working directory: the process's peak resident memory in KiB.
inline constexpr const char* peakFile = "bench-peak.txt";
// Set in a process's environment, the shim plays the session instead of ending at the first flip.
inline constexpr const char* sessionVariable = "KELVO_BENCH_SESSION";

inline SDL_Event keyDown(SDLKey key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    return e;
}

// The i-th click over the left half of an 18 x 18 board, row by row. On a torus the columns far
// from that half never change, so no run of these clicks wins the game.
inline SDL_Event leftHalfClick(int64_t i) {
    constexpr int columns = maxGridSize / 2;
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_RELEASED;
    e.button.x = Uint16(boardLeft + tileSize * (i % columns) + tileSize / 2);
    e.button.y = Uint16(boardTop + tileSize * (i / columns % maxGridSize) + tileSize / 2);
    return e;
}
