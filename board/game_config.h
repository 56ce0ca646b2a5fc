// The settings of a game, owned by the main menu for the whole run.
#pragma once

#include <cstdint>

#include "board/grid.h"

struct GameConfig {
    int32_t size = 4;        // board side, 2 ... 18
    int32_t colorCount = 2;  // number of colours k, 2 ... 5
    int32_t randomStart = 0; // 1: the board starts at random
    int32_t torus = 0;       // not 0: the motif wraps around the edges

    bool operator==(const GameConfig&) const = default;
};

// The rules start at random only when randomStart is 1; the settings screen says "Oui" for any
// value but 0. A game wraps the motif round the edges when torus is not 0.
inline bool startsAtRandom(const GameConfig& config) { return config.randomStart == 1; }
inline bool showsRandomStart(const GameConfig& config) { return config.randomStart != 0; }
inline bool wrapsAround(const GameConfig& config) { return config.torus != 0; }

inline constexpr int32_t minBoardSize = 2;
inline constexpr int32_t minColorCount = 2;
inline constexpr int32_t maxColorCount = 5;
